// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The console's controls as its session reads and writes them.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "console/frmMain.h"

namespace {
const QColor LampSent(0, 255, 0);
const QColor LampReceived(255, 255, 0);
}

CommandMode frmMain::SelectedMode() const
{
    if (OptionMonitorCmd->isChecked())
        return CommandMode::Monitor;
    if (OptionSetCmd->isChecked())
        return CommandMode::SetMonitor;
    if (OptionPatternCmd->isChecked())
        return CommandMode::Pattern;
    return CommandMode::Line;
}

bool frmMain::NewModelSelected() const { return OptionNew->isChecked(); }
bool frmMain::RepeatChecked() const { return CheckRedo->isChecked(); }
QString frmMain::CommandText() const { return TextCommand->text(); }
QString frmMain::MonitorIntervalText() const { return txtTim->text(); }
int frmMain::RepeatSpinnerValue() const { return UpDownReDo->Value(); }
int frmMain::MonitorSpinnerValue() const { return UpDownTi->Value(); }
void frmMain::EnableModeGroup(bool on) { FrameRedo->setEnabled(on); }
void frmMain::EnableModelGroup(bool on) { FrameModelSelect->setEnabled(on); }
void frmMain::EnablePortButton(bool on) { CmdComport->setEnabled(on); }
void frmMain::EnableSendButton(bool on) { CmdStartStop->setEnabled(on); }

void frmMain::EnableComposer(bool on)
{
    FrameSelCmd->setEnabled(on);
    TextCommand->setEnabled(on);
    CmdStartStop->setEnabled(on);
    if (!on)
        CheckRedo->setChecked(false);
}

void frmMain::ShowRepeatRunning(bool running)
{
    CmdStartStop->setText(running ? tr("명령 중지") : tr("명령 전송"));
}

void frmMain::LightSendLamp() { ShapeSend->SetFillColor(LampSent); }
void frmMain::LightReceiveLamp() { ShapeReceive->SetFillColor(LampReceived); }
void frmMain::ShowPortStatus(const QString& text) { SetStatusText(2, text); }

void frmMain::ShowPortState(PortState state)
{
    const QString texts[] = {tr("열렸음"), tr("닫혔음"), tr("재연결 대기")};
    LabelComportOpen->setText(texts[int(state)]);
}

void frmMain::InsertInfoText(const QString& text) { TextInfo->InsertText(text); }
void frmMain::ClearInfoText() { TextInfo->ClearText(); }

QTimer& frmMain::TimerFor(ConsoleTimer timer)
{
    QTimer* const timers[] = {&Timer1, &Timer2, &Timer3, &Timer4, &TimerReconnect};
    return *timers[int(timer)];
}

const QTimer& frmMain::TimerFor(ConsoleTimer timer) const
{
    return const_cast<frmMain*>(this)->TimerFor(timer);
}

void frmMain::SetTimerInterval(ConsoleTimer timer, int ms) { TimerFor(timer).setInterval(ms); }
int frmMain::TimerInterval(ConsoleTimer timer) const { return TimerFor(timer).interval(); }
void frmMain::StartTimer(ConsoleTimer timer) { TimerFor(timer).start(); }
void frmMain::StopTimer(ConsoleTimer timer) { TimerFor(timer).stop(); }
bool frmMain::TimerRunning(ConsoleTimer timer) const { return TimerFor(timer).isActive(); }

bool frmMain::SingleLayoutSelected() const { return OptionSingle->isChecked(); }

