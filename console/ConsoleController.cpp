// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/ConsoleController.h"

#include <QDeadlineTimer>

#include "console/ProgramState.h"
#include "console/QueryBatch.h"
#include "link/SerialPort.h"

namespace {
constexpr int LampResetMs = 300;
constexpr int PollIntervalAtStartMs = 200;
constexpr int ReconnectCheckMs = 1000;
}

ConsoleController::ConsoleController(ProgramState& state, SerialPort& port, ConsoleView& view)
    : Clock([] { return QDeadlineTimer::current().deadline(); }), state_(state), port_(port), view_(view),
      watch_(port.Files())
{
}

void ConsoleController::Load()
{
    if (!port_.IsOpen()) {
        port_.SetReceiveThreshold(1);
        port_.SetRequestToSend(true);
    }
    view_.EnableSendButton(false);
    state_.RepeatIdle = -1;
    view_.StopTimer(ConsoleTimer::Repeat);
    view_.SetTimerInterval(ConsoleTimer::Repeat, view_.RepeatSpinnerValue());
    view_.SetTimerInterval(ConsoleTimer::Lamps, LampResetMs);
    view_.StartTimer(ConsoleTimer::Lamps);
    view_.StopTimer(ConsoleTimer::Poll);
    view_.SetTimerInterval(ConsoleTimer::Poll, PollIntervalAtStartMs);
    view_.StopTimer(ConsoleTimer::Log);
    view_.SetTimerInterval(ConsoleTimer::Log, view_.MonitorSpinnerValue());
    view_.StopTimer(ConsoleTimer::Reconnect);
    view_.SetTimerInterval(ConsoleTimer::Reconnect, ReconnectCheckMs);
}

void ConsoleController::Activate()
{
    view_.ShowPortStatus(QStringLiteral("COM %1 : %2").arg(port_.PortNumber()).arg(port_.Settings()));
    ApplyCommandMode();
}

void ConsoleController::ApplyCommandMode()
{
    if (!port_.IsOpen()) {
        view_.EnableModeGroup(false);
        return;
    }
    view_.EnableModeGroup(true);
    const bool single = view_.SingleLayoutSelected();
    ReceiveState& rx = state_.Receive;
    // A new cycle starts from its first reply; a half line belongs to the old one.
    auto restartCycle = [&rx] {
        rx.PollIndex = 0;
        rx.LineBuffer.clear();
    };
    // Both polling modes take the log interval from the field as it reads now.
    auto armPolling = [this, single] {
        view_.SetTimerInterval(ConsoleTimer::Poll, PollIntervalMs(single));
        view_.SetTimerInterval(ConsoleTimer::Log, view_.MonitorIntervalText().toInt());
    };
    switch (view_.SelectedMode()) {
    case CommandMode::Line:
        view_.EnableComposer(true);
        view_.StopTimer(ConsoleTimer::Poll);
        view_.StopTimer(ConsoleTimer::Log);
        rx.PollIndex = 0;
        break;
    case CommandMode::Monitor:
        view_.EnableComposer(false);
        // Monitoring always keeps the port settings locked, also when it is
        // resumed after the port was lost and opened again.
        view_.EnablePortButton(false);
        state_.SendText = BuildMonitorBatch(single, view_.NewModelSelected());
        armPolling();
        view_.StartTimer(ConsoleTimer::Poll);
        view_.StartTimer(ConsoleTimer::Log);
        restartCycle();
        break;
    case CommandMode::SetMonitor:
        view_.EnableComposer(false);
        view_.LightSendLamp();
        state_.SendText = BuildSetMonitorBatch(single);
        armPolling();
        port_.Write(state_.SendText.toLatin1());
        // Sent once: a later poll or repeat tick must not send it again.
        state_.SendText.clear();
        view_.StopTimer(ConsoleTimer::Poll);
        view_.StopTimer(ConsoleTimer::Log);
        restartCycle();
        break;
    case CommandMode::Pattern:
        view_.EnableComposer(false);
        view_.StopTimer(ConsoleTimer::Poll);
        view_.StopTimer(ConsoleTimer::Log);
        restartCycle();
        view_.OpenPatternWindow();
        break;
    }
}

void ConsoleController::SelectMode(CommandMode mode)
{
    switch (mode) {
    case CommandMode::Line:
        view_.EnableModelGroup(true);
        view_.EnablePortButton(true);
        break;
    case CommandMode::Monitor:
        view_.EnableModelGroup(false);
        view_.EnablePortButton(false);
        break;
    case CommandMode::SetMonitor:
        view_.EnablePortButton(true);
        break;
    case CommandMode::Pattern:
        view_.EnableModelGroup(false);
        view_.EnablePortButton(true);
        break;
    }
    ApplyCommandMode();
}

void ConsoleController::SendButtonPressed()
{
    const QString command = view_.CommandText();
    if (view_.SelectedMode() != CommandMode::Line || command.isEmpty())
        return;
    state_.SendText = command + QLatin1Char('\n');
    const bool repeat = view_.RepeatChecked();
    const bool repeating = state_.RepeatIdle != -1;
    // Stopping a repeat sends nothing new, so it adds nothing to recall.
    if (!repeat || !repeating)
        history_.Add(command);
    if (!repeat) {
        SendNow();
        return;
    }
    if (!repeating) {
        view_.EnableModelGroup(false);
        // An interval of 0 never fires, where a Qt timer of 0 ms would fire continuously.
        if (view_.TimerInterval(ConsoleTimer::Repeat) > 0)
            view_.StartTimer(ConsoleTimer::Repeat);
        state_.RepeatIdle = 0;
        view_.ShowRepeatRunning(true);
        view_.EnableModeGroup(false);
    } else {
        StopRepeat();
    }
}

void ConsoleController::StopRepeat()
{
    view_.EnableModelGroup(true);
    view_.StopTimer(ConsoleTimer::Repeat);
    state_.RepeatIdle = -1;
    view_.ShowRepeatRunning(false);
    view_.EnableModeGroup(true);
}

void ConsoleController::SendNow()
{
    view_.LightSendLamp();
    port_.Write(state_.SendText.toLatin1());
}

void ConsoleController::RepeatIntervalChanged(int ms)
{
    view_.SetTimerInterval(ConsoleTimer::Repeat, ms);
    if (ms == 0)
        view_.StopTimer(ConsoleTimer::Repeat);
    else if (state_.RepeatIdle == 0 && !view_.TimerRunning(ConsoleTimer::Repeat))
        view_.StartTimer(ConsoleTimer::Repeat);
}

void ConsoleController::MonitorIntervalChanged(int ms)
{
    view_.SetTimerInterval(ConsoleTimer::Log, ms);
}

void ConsoleController::PortLost()
{
    view_.EnableSendButton(false);
    view_.StopTimer(ConsoleTimer::Poll);
    view_.StopTimer(ConsoleTimer::Log);
    // A repeat resumed unattended would send the operator's command into
    // whatever state the supply came back in.
    if (state_.RepeatIdle == 0)
        StopRepeat();
    view_.EnablePortButton(true);
    ApplyCommandMode();
    if (!state_.Dialog.AutoReconnect)
        return;
    watch_.Lost(Clock());
    if (!watch_.Waiting())
        return;
    view_.ShowPortLabel(PortLabel::Waiting);
    view_.StartTimer(ConsoleTimer::Reconnect);
}

void ConsoleController::PortDialogShown(bool shown)
{
    watch_.SetPaused(shown);
}

void ConsoleController::PortOpenedByOperator()
{
    EndWait();
    if (port_.IsOpen())
        watch_.Opened(port_.DeviceName());
}

void ConsoleController::PortClosedByOperator()
{
    EndWait();
}

void ConsoleController::EndWait()
{
    if (!watch_.Waiting())
        return;
    watch_.End();
    view_.StopTimer(ConsoleTimer::Reconnect);
    if (!port_.IsOpen())
        view_.ShowPortLabel(PortLabel::Closed);
}

void ConsoleController::ReconnectTick()
{
    const ReconnectWatch::Check check = watch_.Tick();
    if (!check.Message.isEmpty())
        view_.InsertInfoLine(check.Message);
    if (!check.TryOpen)
        return;
    const OpenResult result = port_.OpenPath(watch_.WatchedPath());
    if (!result.Ok()) {
        const QString refusal = watch_.Refused(result);
        if (!refusal.isEmpty())
            view_.InsertInfoLine(refusal);
        return;
    }
    view_.StopTimer(ConsoleTimer::Reconnect);
    view_.InsertInfoLine(watch_.Reopened(Clock()));
    view_.ShowPortLabel(PortLabel::Open);
    view_.EnableSendButton(true);
    awaitingReply_ = true;
    Activate();
}
