// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/frmMain.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <utility>

#include "console/CommandTable.h"
#include "console/ProgramState.h"
#include "console/ReferenceTexts.h"
#include "pattern/frmPattern.h"
#include "platform/CommInit.h"
#include "plot/PlotWindow.h"
#include "plot/Readings.h"
#include "link/SerialPort.h"
#include "platform/Controls.h"
#include "platform/Services.h"

namespace {
const QColor LampIdle(192, 192, 192);
}

frmMain::frmMain(ProgramState& state, SerialPort& port, UiServices& services, QWidget* parent)
    : QMainWindow(parent), state_(state), port_(port), services_(services), controller_(state.Dialog, port, *this)
{
    const std::pair<QTimer*, const char*> timers[] = {
        {&Timer1, "Timer1"}, {&Timer2, "Timer2"}, {&Timer3, "Timer3"}, {&Timer4, "Timer4"}, {&TimerReconnect, "TimerReconnect"}};
    for (const auto& [timer, name] : timers) {
        timer->setTimerType(Qt::PreciseTimer);
        // Children, so that tests find them by name as they find the controls.
        timer->setParent(this);
        timer->setObjectName(QLatin1String(name));
    }
    BuildControls();
    TextInfo->SetMaximumLines(MaxInfoLines + 1);   // the last line end opens one more block
    ConnectHandlers();
    ConnectPlot();
    Form_Load();
}

frmMain::~frmMain()
{
    for (QTimer* t : {&Timer1, &Timer2, &Timer3, &Timer4, &TimerReconnect})
        t->stop();
}

void frmMain::ConnectHandlers()
{
    connect(&Timer1, &QTimer::timeout, this, &frmMain::Timer1_Timer);
    connect(&Timer2, &QTimer::timeout, this, &frmMain::Timer2_Timer);
    connect(&Timer3, &QTimer::timeout, this, &frmMain::Timer3_Timer);
    connect(&Timer4, &QTimer::timeout, this, &frmMain::Timer4_Timer);
    connect(&TimerReconnect, &QTimer::timeout, this, &frmMain::TimerReconnect_Timer);
    connect(CmdStartStop, &QPushButton::clicked, this, &frmMain::CmdStartStop_Click);
    connect(UpDownReDo, &UpDown::Change, this, &frmMain::UpDownReDo_Change);
    connect(UpDownTi, &UpDown::Change, this, &frmMain::UpDownTi_Change);
    connect(&controller_.Readings(), &ConsoleReadings::Arrived, this,
            [this](Readout which, const QString& text) { ReadoutLabel(which)->setText(text); });
    connect(CmdComport, &QPushButton::clicked, this, &frmMain::CmdComport_Click);
    // Option handlers follow the selection itself, however it was made.
    auto onSelected = [this](QRadioButton* option, void (frmMain::*handler)()) {
        connect(option, &QRadioButton::toggled, this, [this, handler](bool on) {
            if (on)
                (this->*handler)();
        });
    };
    onSelected(OptionSingle, &frmMain::OptionSingle_Click);
    onSelected(OptionDual, &frmMain::OptionDual_Click);
    onSelected(OptionLineCmd, &frmMain::OptionLineCmd_Click);
    onSelected(OptionMonitorCmd, &frmMain::OptionMonitorCmd_Click);
    onSelected(OptionSetCmd, &frmMain::OptionSetCmd_Click);
    onSelected(OptionPatternCmd, &frmMain::OptionPatternCmd_Click);
    onSelected(OptionCommand, &frmMain::OptionCommand_Click);
    onSelected(OptionError, &frmMain::OptionError_Click);
    onSelected(OptionETC, &frmMain::OptionETC_Click);

    for (const CommandEntry& entry : CommandTable())
        connect(FrameSelCmd->findChild<QPushButton*>(QLatin1String(entry.Button)), &QPushButton::clicked, this,
                [this, &entry] { CommandButton_Click(entry); });
    for (const KeypadKey& key : KeypadKeys())
        connect(FrameSelCmd->findChild<QPushButton*>(QLatin1String(key.Button)), &QPushButton::clicked, this,
                [this, &key] { KeypadKey_Click(key); });
    // Enter in the field is a press of the send button, and only when that button could be pressed.
    connect(TextCommand, &QLineEdit::returnPressed, CmdStartStop, &QPushButton::click);
    TextCommand->installEventFilter(this);
}

void frmMain::Form_Load()
{
    ApplyMainLayout();
    ShowReferenceText();
    controller_.Load();
    txtTim->setText(QString::number(UpDownTi->Value()));
    TextReDo->setText(QString::number(UpDownReDo->Value()));
    ShapeSend->SetFillColor(LampIdle);
    ShapeReceive->SetFillColor(LampIdle);
}

void frmMain::Form_Activate()
{
    controller_.Activate();
}

void frmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        Form_Activate();
    }
}

void frmMain::closeEvent(QCloseEvent* event)
{
    for (QTimer* t : {&Timer1, &Timer2, &Timer3, &Timer4, &TimerReconnect})
        t->stop();
    // Closing the console ends the program: a pattern run stops with its
    // window before the port goes, and no window of ours stays behind.
    if (patternWindow_)
        patternWindow_->close();
    if (plotWindow_)
        plotWindow_->close();
    port_.Close();
    event->accept();
}

void frmMain::SetStatusText(int panel, const QString& text)
{
    if (panel == 1)
        sbrInfo->setText(text);
    else if (panel == 2)
        sbrComm->setText(text);
}

void frmMain::ApplyMainLayout()
{
    const bool dual = !OptionSingle->isChecked();
    for (QWidget* w : P2Controls())
        w->setVisible(dual);
}

void frmMain::OptionSingle_Click()
{
    ApplyMainLayout();
    controller_.LayoutChanged();
}

void frmMain::OptionDual_Click()
{
    ApplyMainLayout();
    controller_.LayoutChanged();
}

void frmMain::ApplyCommandMode()
{
    controller_.ApplyCommandMode();
}

void frmMain::OptionLineCmd_Click()
{
    controller_.SelectMode(CommandMode::Line);
}

void frmMain::OptionMonitorCmd_Click()
{
    controller_.SelectMode(CommandMode::Monitor);
}

void frmMain::OptionSetCmd_Click()
{
    controller_.SelectMode(CommandMode::SetMonitor);
}

void frmMain::OptionPatternCmd_Click()
{
    controller_.SelectMode(CommandMode::Pattern);
}

void frmMain::OpenPatternWindow()
{
    if (patternWindow_) {
        patternWindow_->raise();
        return;
    }
    auto* window = new frmPattern(state_.Pattern, port_, services_, OptionSingle->isChecked(), &controller_);
    patternWindow_ = window;
    connect(window, &frmPattern::Closed, this, &frmMain::PatternWindowClosed);
    setEnabled(false);
    window->show();
}

void frmMain::PatternWindowClosed()
{
    OptionLineCmd->setChecked(true);
    setEnabled(true);
    Form_Activate();
}

void frmMain::CmdStartStop_Click()
{
    controller_.SendButtonPressed();
}

void frmMain::Timer1_Timer()
{
    controller_.SendNow();
}

void frmMain::Timer3_Timer()
{
    controller_.PollTick();
}

void frmMain::UpDownReDo_Change()
{
    TextReDo->setText(QString::number(UpDownReDo->Value()));
    controller_.RepeatIntervalChanged(UpDownReDo->Value());
}

void frmMain::UpDownTi_Change()
{
    txtTim->setText(QString::number(UpDownTi->Value()));
    controller_.MonitorIntervalChanged(UpDownTi->Value());
}

void frmMain::Timer4_Timer()
{
    controller_.LogTick();
}

QLabel* frmMain::ReadoutLabel(Readout which) const
{
    QLabel* const readouts[] = {Label_P1_Voltage,     Label_P1_Current,     Label_P2_Voltage,
                                Label_P2_Current,     Label_P1_Set_Voltage, Label_P1_Set_Current,
                                Label_P2_Set_Voltage, Label_P2_Set_Current};
    return readouts[int(which)];
}

void frmMain::Timer2_Timer()
{
    ShapeSend->SetFillColor(LampIdle);
    ShapeReceive->SetFillColor(LampIdle);
}

void frmMain::CmdComport_Click()
{
    if (!commInit_)
        commInit_ = new CommInit(port_, state_.Dialog, services_, controller_, this);
    controller_.PortDialogShown(true);
    commInit_->Exec();
    controller_.PortDialogShown(false);
    Form_Activate();
}

void frmMain::TimerReconnect_Timer()
{
    controller_.ReconnectTick();
}

void frmMain::OptionCommand_Click()
{
    ShowReferenceText();
}

void frmMain::OptionError_Click()
{
    ShowReferenceText();
}

void frmMain::OptionETC_Click()
{
    ShowReferenceText();
}

void frmMain::ShowReferenceText()
{
    ReferenceList list;
    if (OptionCommand->isChecked())
        list = ReferenceList::Commands;
    else if (OptionError->isChecked())
        list = ReferenceList::Errors;
    else if (OptionETC->isChecked())
        list = ReferenceList::Models;
    else
        return;
    TextMessage->ClearText();
    TextMessage->InsertText(ReferenceText(list));
    // Just after the first character, which brings the first line back into view.
    TextMessage->SetInsertionPoint(1);
}

void frmMain::CommandButton_Click(const CommandEntry& entry)
{
    TextCommand->setText(entry.FieldText);
    SetStatusText(1, HelpLine(entry));
}

void frmMain::KeypadKey_Click(const KeypadKey& key)
{
    if (key.Appends.isEmpty()) {
        CmdDel_Click();
        return;
    }
    // Always at the end, wherever the caret stands.
    TextCommand->setText(TextCommand->text() + key.Appends);
}

void frmMain::CmdDel_Click()
{
    const QString text = TextCommand->text();
    if (!text.isEmpty())
        TextCommand->setText(text.left(text.size() - 1));
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == TextCommand && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up) {
            TextCommand->setText(controller_.History().Older(TextCommand->text()));
            return true;
        }
        if (key == Qt::Key_Down) {
            TextCommand->setText(controller_.History().Newer(TextCommand->text()));
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
