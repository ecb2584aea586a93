// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <QString>
#include <memory>

#include "console/CommandHistory.h"
#include "console/ConsoleReadings.h"
#include "console/PollCheck.h"
#include "core/Clock.h"
#include "link/PortChoices.h"
#include "link/ReceiveParser.h"
#include "link/ReconnectWatch.h"

class MeasurementLogFile;
class SerialPort;

// The radio buttons of the command-mode group, in their order on the window.
enum class CommandMode { Line, Monitor, SetMonitor, Pattern };

// The console's timers that the controller decides about (Timer1, Timer2,
// Timer3, Timer4, and the reconnection check).
enum class ConsoleTimer { Repeat, Lamps, Poll, Log, Reconnect };

// Where the console's port stands; LabelComportOpen says it, and the send
// button is usable only while it is open.
enum class PortState { Open, Closed, Waiting };

// What the console controller reads from and writes to the main window. The
// window answers with its controls; a test, or a program without a window,
// answers with plain fields.
class ConsoleView {
public:
    virtual ~ConsoleView() = default;

    virtual CommandMode SelectedMode() const = 0;
    virtual bool SingleLayoutSelected() const = 0;
    virtual bool NewModelSelected() const = 0;
    virtual bool RepeatChecked() const = 0;          // CheckRedo
    virtual QString CommandText() const = 0;         // TextCommand
    virtual QString MonitorIntervalText() const = 0; // txtTim
    virtual int RepeatSpinnerValue() const = 0;      // UpDownReDo
    virtual int MonitorSpinnerValue() const = 0;     // UpDownTi

    virtual void EnableModeGroup(bool on) = 0;       // FrameRedo
    virtual void EnableModelGroup(bool on) = 0;      // FrameModelSelect
    virtual void EnablePortButton(bool on) = 0;      // CmdComport
    virtual void EnableSendButton(bool on) = 0;      // CmdStartStop
    // The keyword panel, the command field and the send button together;
    // locking them also clears the repeat check box.
    virtual void EnableComposer(bool on) = 0;
    virtual void ShowRepeatRunning(bool running) = 0;   // the send button's caption
    virtual void LightSendLamp() = 0;
    virtual void LightReceiveLamp() = 0;
    virtual void ShowPortStatus(const QString& text) = 0;   // status bar panel 2
    virtual void ShowPortState(PortState state) = 0;        // LabelComportOpen
    // TextInfo: text goes in at its insertion point, each line ended by CR LF.
    virtual void InsertInfoText(const QString& text) = 0;
    virtual void ClearInfoText() = 0;
    virtual void OpenPatternWindow() = 0;

    virtual void SetTimerInterval(ConsoleTimer timer, int ms) = 0;
    virtual int TimerInterval(ConsoleTimer timer) const = 0;
    virtual void StartTimer(ConsoleTimer timer) = 0;
    virtual void StopTimer(ConsoleTimer timer) = 0;
    virtual bool TimerRunning(ConsoleTimer timer) const = 0;
};

// The console's session: what it sends and when, where each reply goes, the
// readings, the port's state and its reconnection, and the measurement log.
// The main window shows it and hands it the operator's clicks; a program
// without a window can drive it the same way.
//
// A reply's route: the port's receive event (MSComm1_OnComm) -> the receive
// parser, with this object as its target -> a readout in Readings() (whose
// observers are the labels, the trend plot and the log's freshness gate) or a
// line in TextInfo. The log tick composes its record from Readings().
class ConsoleController : public QObject, public PortRequests, private ReceiveTarget {
    Q_OBJECT
public:
    ConsoleController(const CommInitChoices& choices, SerialPort& port, ConsoleView& view,
                      MonotonicClock clock = SteadyNow);
    ~ConsoleController() override;

    // The main window's load: timers armed (only the lamps run), send disabled.
    void Load();
    // At first display and on each return from the port dialog or the pattern window.
    void Activate();
    void ApplyCommandMode();
    // The operator (or the program) selected a mode: lock what that mode locks, then apply it.
    void SelectMode(CommandMode mode);
    // The single/dual choice changed: the readings of one layout do not join the other's.
    void LayoutChanged();

    // The send button: once, or starting and stopping the timed repeat.
    void SendButtonPressed();
    // A tick of the repeat timer: whatever SendText holds goes out.
    void SendNow();
    // A tick of the poll timer: the cycle and the supply's silence are
    // checked, then the batch goes out.
    void PollTick();
    void RepeatIntervalChanged(int ms);
    void MonitorIntervalChanged(int ms);
    // The port's line event: received characters are routed, the rest told.
    void MSComm1_OnComm(int code);
    // Timer4: echo the measured readouts and append the day's log record.
    void LogTick();

    // The port dialog: while it is open the wait pauses. 열기 and 닫기 are
    // the operator's decisions and end it.
    void PortDialogShown(bool shown);
    Outcome OpenRequested(const CommInitChoices& choices) override;
    void CloseRequested() override;
    // About once a second while waiting: reopen the device when it is back
    // and resume the selected mode as a return from the dialog would.
    void ReconnectTick();

    PortState Port() const;
    const ConsoleReadings& Readings() const { return readings_; }
    ConsoleReadings& Readings() { return readings_; }
    CommandHistory& History() { return history_; }
    // Every sender stores its complete write here, terminators included.
    const QString& SendText() const { return sendText_; }
    // No timed repeat is running (the documented RepeatIdle of -1; 0 while one runs).
    bool RepeatIdle() const { return repeatIdle_; }
    ReceiveState& Receive() { return receive_; }
    // The next log tick would write a record: each readout of the layout has
    // answered since monitoring (re)started, and one at least since the last record.
    bool LogMayRecord() const;

    // Where the measurement log goes; chosen at the first record when empty.
    QString LogFolder;
    // The local clock the log's timestamps read.
    WallClock LogClock = LocalNow;

signals:
    // An open that OpenRequested left under way (a device server being
    // reached) has ended; a failure is for the window's message box, as the
    // dialog shows the failure of a local port.
    void OpenFinished(const Outcome& outcome);

private:
    // The port finished opening, for the operator or for the reconnection.
    void PortOpenFinished(const Outcome& outcome);
    // The port is open: what the operator's 열기 or a return does next.
    void OpenedForOperator();
    void Reopened();
    // The port went away under us: nothing polls or logs a closed port, a
    // timed repeat ends, and the port button must work so the operator can
    // open it again. With automatic reconnection on, the wait for the device begins.
    void PortLost(const QString& device, const QString& reason);
    void StopRepeat();
    void RestartMeasuring();
    unsigned LayoutReadouts() const;
    void EndWait();
    void ShowPortState();
    void AppendLogRecord(const QDateTime& now, const QString& record);

    // ReceiveTarget: the mode, poll timer and layout as they stand at each line feed.
    bool PollTimerRunning() const override;
    bool MonitorModeSelected() const override;
    bool SetMonitorModeSelected() const override;
    bool SingleLayoutSelected() const override;
    void ShowReadout(Readout which, const QString& text) override;
    void InsertInfoText(const QString& text) override;
    void ClearInfoText() override;

    const CommInitChoices& choices_;
    SerialPort& port_;
    ConsoleView& view_;
    MonotonicClock clock_;
    QString sendText_;
    bool repeatIdle_ = true;
    ReceiveState receive_;
    ConsoleReadings readings_;
    CommandHistory history_;
    ReconnectWatch watch_;
    PollCheck poll_;
    // Measured readouts (bits by Readout) that answered since monitoring
    // (re)started, and since the last record.
    unsigned answered_ = 0, fresh_ = 0;
    // The message lines of one read go into TextInfo with one insertion.
    bool batchingInfo_ = false;
    QString infoBatch_;
    std::unique_ptr<MeasurementLogFile> log_;
};
