// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <QTimer>

#include "console/ConsoleController.h"

class SerialPort;

// The console's session with plain fields where the main window has
// controls, and real precise timers: the runner opens the port, selects a
// mode and lets the console's own code poll, log and reconnect. What the
// window would put in its message panel comes out as Message lines; the log
// tick's echo is kept back, since the log file already has it.
class HeadlessConsole : public QObject, private ConsoleView {
    Q_OBJECT
public:
    // After this long without a measured reply the supply counts as silent
    // and the log pauses: a record then would repeat values it no longer sends.
    static constexpr qint64 SilentAfterMs = 2000;

    HeadlessConsole(const CommInitChoices& choices, SerialPort& port, bool dualLayout, bool newModel,
                    int monitorIntervalMs, MonotonicClock clock = SteadyNow);

    ConsoleController& Controller() { return controller_; }
    // The window's load, then 열기 in the port dialog with the choices given.
    // A network port may still be connecting: Controller() says when it is done.
    Outcome Open();
    // Selects a mode as its radio button would. Pattern mode asks for the
    // pattern window (PatternWindowRequested).
    void Select(CommandMode mode);
    void Stop();

    qint64 RecordsWritten() const { return recordsWritten_; }
    bool RecordLost() const { return recordLost_; }

signals:
    void Message(const QString& line);
    void Recorded();
    void PatternWindowRequested();

private:
    // Timer4 of the console: the controller's log tick, unless the supply went silent.
    void OnLogTick();
    bool SupplySilent() const;

    CommandMode SelectedMode() const override { return mode_; }
    bool SingleLayoutSelected() const override { return !dual_; }
    bool NewModelSelected() const override { return newModel_; }
    bool RepeatChecked() const override { return false; }
    QString CommandText() const override { return QString(); }
    QString MonitorIntervalText() const override { return QString::number(intervalMs_); }
    int RepeatSpinnerValue() const override { return 50; }
    int MonitorSpinnerValue() const override { return intervalMs_; }
    void EnableModeGroup(bool) override {}
    void EnableModelGroup(bool) override {}
    void EnablePortButton(bool) override {}
    void EnableSendButton(bool) override {}
    void EnableComposer(bool) override {}
    void ShowRepeatRunning(bool) override {}
    void LightSendLamp() override {}
    void LightReceiveLamp() override {}
    void ShowPortStatus(const QString&) override {}
    void ShowPortState(PortState) override {}
    void InsertInfoText(const QString& text) override;
    void ClearInfoText() override {}
    void OpenPatternWindow() override { emit PatternWindowRequested(); }
    void SetTimerInterval(ConsoleTimer timer, int ms) override { TimerFor(timer).setInterval(ms); }
    int TimerInterval(ConsoleTimer timer) const override { return timers_[int(timer)].interval(); }
    void StartTimer(ConsoleTimer timer) override;
    void StopTimer(ConsoleTimer timer) override { TimerFor(timer).stop(); }
    bool TimerRunning(ConsoleTimer timer) const override { return timers_[int(timer)].isActive(); }
    QTimer& TimerFor(ConsoleTimer timer) { return timers_[int(timer)]; }

    const CommInitChoices& choices_;
    const bool dual_, newModel_;
    const int intervalMs_;
    MonotonicClock clock_;
    CommandMode mode_ = CommandMode::Line;
    QTimer timers_[5];   // Repeat, Lamps, Poll, Log, Reconnect, as ConsoleTimer numbers them
    ConsoleController controller_;
    qint64 logSince_ = 0;   // silence counts from here at the earliest
    int echoLinesDue_ = 0;
    bool inLogTick_ = false, failedInTick_ = false;
    bool silentTold_ = false;
    qint64 recordsWritten_ = 0;
    bool recordLost_ = false;
    QString partial_;
};
