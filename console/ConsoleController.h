// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <functional>

#include "console/CommandHistory.h"
#include "link/ReconnectWatch.h"

class SerialPort;
struct ProgramState;

// The radio buttons of the command-mode group, in their order on the window.
enum class CommandMode { Line, Monitor, SetMonitor, Pattern };

// The console's timers that the controller decides about (Timer1, Timer2,
// Timer3, Timer4, and the reconnection check).
enum class ConsoleTimer { Repeat, Lamps, Poll, Log, Reconnect };

// What LabelComportOpen says.
enum class PortLabel { Open, Closed, Waiting };

// What the console controller reads from and writes to the main window. The
// window answers with its controls; a test answers with plain fields.
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
    virtual void ShowPortStatus(const QString& text) = 0;   // status bar panel 2
    virtual void ShowPortLabel(PortLabel label) = 0;
    virtual void InsertInfoLine(const QString& line) = 0;  // TextInfo, ended by CR LF
    virtual void OpenPatternWindow() = 0;

    virtual void SetTimerInterval(ConsoleTimer timer, int ms) = 0;
    virtual int TimerInterval(ConsoleTimer timer) const = 0;
    virtual void StartTimer(ConsoleTimer timer) = 0;
    virtual void StopTimer(ConsoleTimer timer) = 0;
    virtual bool TimerRunning(ConsoleTimer timer) const = 0;
};

// Decides what the console does: the timers at start, each command mode's
// batch, intervals, running timers and locked controls, sending once or on a
// repeat, the command history, and what an activation refreshes. It keeps no
// state of its own beyond the history; the rest is the program's.
class ConsoleController {
public:
    ConsoleController(ProgramState& state, SerialPort& port, ConsoleView& view);

    // The main window's load: timers armed (only the lamps run), send disabled.
    void Load();
    // At first display and on each return from the port dialog or the pattern window.
    void Activate();
    void ApplyCommandMode();
    // The operator (or the program) selected a mode: lock what that mode locks, then apply it.
    void SelectMode(CommandMode mode);

    // The send button: once, or starting and stopping the timed repeat.
    void SendButtonPressed();
    // A tick of the repeat or poll timer: whatever SendText holds goes out.
    void SendNow();
    void RepeatIntervalChanged(int ms);
    void MonitorIntervalChanged(int ms);
    // The port went away under us: nothing polls or logs a closed port, a
    // timed repeat ends, and the port button must work so the operator can
    // open it again. With automatic reconnection on, the wait for the device begins.
    void PortLost();

    // The port dialog: while it is open the wait pauses; 열기 and 닫기 are
    // the operator's decisions and end it.
    void PortDialogShown(bool shown);
    void PortOpenedByOperator();
    void PortClosedByOperator();
    // About once a second while waiting: reopen the device when it is back
    // and resume the selected mode as a return from the dialog would.
    void ReconnectTick();
    bool WaitingForDevice() const { return watch_.Waiting(); }

    // A reply reached a readout. After a resume the log waits for one, so no
    // record is ever made of readouts from before the loss.
    void ReadoutArrived() { awaitingReply_ = false; }
    bool LogMayRecord() const { return !awaitingReply_; }

    CommandHistory& History() { return history_; }
    // Monotonic milliseconds, for how long a device was gone.
    std::function<qint64()> Clock;

private:
    void StopRepeat();
    void EndWait();

    ProgramState& state_;
    SerialPort& port_;
    ConsoleView& view_;
    CommandHistory history_;
    ReconnectWatch watch_;
    bool awaitingReply_ = false;
};
