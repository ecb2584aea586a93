// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QStringList>

#include <map>

#include "console/ConsoleController.h"

// The console window's controls as plain fields; enabled states start unknown
// (-1) so a test sees which ones a decision touched.
struct FakeConsoleView : ConsoleView {
    struct Timer {
        int Interval = -1;
        bool Running = false;
    };
    CommandMode Mode = CommandMode::Line;
    bool Single = true, NewModel = true, Repeat = false;
    QString Command, MonitorText = QStringLiteral("500");
    int RepeatSpinner = 50, MonitorSpinner = 500;

    int ModeGroup = -1, ModelGroup = -1, PortButton = -1, SendButton = -1, Composer = -1;
    bool RepeatCheckCleared = false, RepeatCaptionRunning = false;
    int LampsLit = 0, ReceiveLampsLit = 0, PatternWindows = 0;
    QString PortStatus;
    PortState State = PortState::Closed;
    QString InfoText;
    QStringList Info;   // InfoText's lines
    std::map<ConsoleTimer, Timer> Timers;

    CommandMode SelectedMode() const override { return Mode; }
    bool SingleLayoutSelected() const override { return Single; }
    bool NewModelSelected() const override { return NewModel; }
    bool RepeatChecked() const override { return Repeat; }
    QString CommandText() const override { return Command; }
    QString MonitorIntervalText() const override { return MonitorText; }
    int RepeatSpinnerValue() const override { return RepeatSpinner; }
    int MonitorSpinnerValue() const override { return MonitorSpinner; }
    void EnableModeGroup(bool on) override { ModeGroup = on; }
    void EnableModelGroup(bool on) override { ModelGroup = on; }
    void EnablePortButton(bool on) override { PortButton = on; }
    void EnableSendButton(bool on) override { SendButton = on; }
    // The window clears the repeat check along with the composer.
    void EnableComposer(bool on) override
    {
        Composer = SendButton = on;
        if (!on) {
            Repeat = false;
            RepeatCheckCleared = true;
        }
    }
    void ShowRepeatRunning(bool running) override { RepeatCaptionRunning = running; }
    void LightSendLamp() override { ++LampsLit; }
    void ShowPortStatus(const QString& text) override { PortStatus = text; }
    void LightReceiveLamp() override { ++ReceiveLampsLit; }
    void ShowPortState(PortState state) override { State = state; }
    void InsertInfoText(const QString& text) override
    {
        InfoText += text;
        Info = InfoText.split(QStringLiteral("\r\n"));
        if (Info.last().isEmpty())
            Info.removeLast();
    }
    void ClearInfoText() override
    {
        InfoText.clear();
        Info.clear();
    }
    void OpenPatternWindow() override { ++PatternWindows; }
    void SetTimerInterval(ConsoleTimer t, int ms) override { Timers[t].Interval = ms; }
    int TimerInterval(ConsoleTimer t) const override { return Timers.count(t) ? Timers.at(t).Interval : -1; }
    void StartTimer(ConsoleTimer t) override { Timers[t].Running = true; }
    void StopTimer(ConsoleTimer t) override { Timers[t].Running = false; }
    bool TimerRunning(ConsoleTimer t) const override { return Timers.count(t) && Timers.at(t).Running; }
};
