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

    int ModeGroup = -1, SendButton = -1;
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
    int RepeatSpinnerValue() const override { return 50; }
    int MonitorSpinnerValue() const override { return 500; }
    void EnableModeGroup(bool on) override { ModeGroup = on; }
    void EnableModelGroup(bool) override {}
    void EnablePortButton(bool) override {}
    void EnableSendButton(bool on) override { SendButton = on; }
    // The window clears the repeat check along with the composer.
    void EnableComposer(bool on) override
    {
        SendButton = on;
        if (!on)
            Repeat = false;
    }
    void ShowRepeatRunning(bool) override {}
    void LightSendLamp() override {}
    void ShowPortStatus(const QString&) override {}
    void LightReceiveLamp() override {}
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
    void OpenPatternWindow() override {}
    void SetTimerInterval(ConsoleTimer t, int ms) override { Timers[t].Interval = ms; }
    int TimerInterval(ConsoleTimer t) const override { return Timers.count(t) ? Timers.at(t).Interval : -1; }
    void StartTimer(ConsoleTimer t) override { Timers[t].Running = true; }
    void StopTimer(ConsoleTimer t) override { Timers[t].Running = false; }
    bool TimerRunning(ConsoleTimer t) const override { return Timers.count(t) && Timers.at(t).Running; }
};
