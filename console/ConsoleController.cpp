// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/ConsoleController.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <utility>

#include "console/MeasurementLog.h"
#include "console/QueryBatch.h"
#include "link/LineEvents.h"
#include "link/SerialPort.h"

namespace {
constexpr int LampResetMs = 300;
constexpr int PollIntervalAtStartMs = 200;
constexpr int ReconnectCheckMs = 1000;
}

ConsoleController::ConsoleController(const CommInitChoices& choices, SerialPort& port, ConsoleView& view,
                                     MonotonicClock clock)
    : choices_(choices), port_(port), view_(view), clock_(clock), readings_(clock), watch_(port.Files())
{
    connect(&port_, &SerialPort::LineEvent, this, &ConsoleController::MSComm1_OnComm);
    connect(&port_, &SerialPort::DeviceLost, this, &ConsoleController::PortLost);
    connect(&port_, &SerialPort::OpenFinished, this, &ConsoleController::PortOpenFinished);
}

ConsoleController::~ConsoleController() = default;

void ConsoleController::Load()
{
    if (!port_.IsOpen()) {
        port_.SetReceiveThreshold(1);
        port_.SetRequestToSend(true);
    }
    ShowPortState();
    repeatIdle_ = true;
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
    ShowPortState();
    view_.ShowPortStatus(QStringLiteral("COM %1 : %2").arg(port_.PortNumber()).arg(port_.Settings()));
    ApplyCommandMode();
}

void ConsoleController::ApplyCommandMode()
{
    if (!port_.IsOpen()) {
        view_.EnableModeGroup(false);
        return;
    }
    // A timed repeat belongs to line mode; leaving it ends the repeat as
    // 명령 중지 would, before the new mode locks what it locks.
    if (view_.SelectedMode() != CommandMode::Line && !repeatIdle_) {
        StopRepeat();
        SelectMode(view_.SelectedMode());
        return;
    }
    view_.EnableModeGroup(true);
    const bool single = view_.SingleLayoutSelected();
    ReceiveState& rx = receive_;
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
        sendText_ = BuildMonitorBatch(single, view_.NewModelSelected());
        armPolling();
        view_.StartTimer(ConsoleTimer::Poll);
        view_.StartTimer(ConsoleTimer::Log);
        restartCycle();
        RestartMeasuring();
        break;
    case CommandMode::SetMonitor:
        view_.EnableComposer(false);
        view_.LightSendLamp();
        sendText_ = BuildSetMonitorBatch(single);
        armPolling();
        port_.Write(sendText_.toLatin1());
        // Sent once: a later poll or repeat tick must not send it again.
        sendText_.clear();
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
    if (mode != CommandMode::Line && !repeatIdle_)
        StopRepeat();
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
    readings_.Interrupt();
}

void ConsoleController::SendButtonPressed()
{
    const QString command = view_.CommandText();
    if (view_.SelectedMode() != CommandMode::Line || command.isEmpty())
        return;
    sendText_ = command + QLatin1Char('\n');
    const bool repeat = view_.RepeatChecked();
    // Stopping a repeat sends nothing new, so it adds nothing to recall.
    if (!repeat || repeatIdle_)
        history_.Add(command);
    if (!repeat) {
        SendNow();
        return;
    }
    if (repeatIdle_) {
        view_.EnableModelGroup(false);
        // An interval of 0 never fires, where a Qt timer of 0 ms would fire continuously.
        if (view_.TimerInterval(ConsoleTimer::Repeat) > 0)
            view_.StartTimer(ConsoleTimer::Repeat);
        repeatIdle_ = false;
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
    repeatIdle_ = true;
    view_.ShowRepeatRunning(false);
    view_.EnableModeGroup(true);
}

void ConsoleController::LayoutChanged()
{
    RestartMeasuring();
    readings_.Interrupt();
}

void ConsoleController::RestartMeasuring()
{
    poll_.Start(clock_());
    answered_ = fresh_ = 0;
}

void ConsoleController::PollTick()
{
    const qint64 now = clock_();
    PollCheck::Facts facts;
    facts.Transmitted = port_.BytesToWrite() == 0;
    facts.HalfLine = !receive_.LineBuffer.isEmpty();
    facts.CycleLength = view_.SingleLayoutSelected() ? 2 : 4;
    facts.PollIndex = receive_.PollIndex;
    facts.IntervalMs = view_.TimerInterval(ConsoleTimer::Poll);
    const PollCheck::Verdict v = poll_.Tick(now, facts);
    if (v.Realign) {
        receive_.PollIndex = 0;
        if (v.TellRealign)
            InsertInfoText(tr("응답이 빠지거나 더해져 모니터 순서를 처음부터 다시 맞췄습니다") + QStringLiteral("\r\n"));
    }
    if (v.SilenceEnded)
        InsertInfoText(tr("응답 다시 받음 (끊긴 시간 %1)").arg(FormatDuration(v.GapMs)) + QStringLiteral("\r\n"));
    if (v.SilenceBegan) {
        // Readouts from before the silence must not join those after it.
        readings_.Interrupt();
        const QString last = v.LastReplyAt < 0
            ? tr("응답 없음 (모니터 시작 후 응답 없음)")
            : tr("응답 없음 (마지막 응답 %1)").arg(LogClock().addMSecs(v.LastReplyAt - now).toString(QStringLiteral("HH:mm:ss")));
        InsertInfoText(last + QStringLiteral("\r\n"));
    }
    SendNow();
}

void ConsoleController::SendNow()
{
    view_.LightSendLamp();
    port_.Write(sendText_.toLatin1());
}

void ConsoleController::RepeatIntervalChanged(int ms)
{
    view_.SetTimerInterval(ConsoleTimer::Repeat, ms);
    if (ms == 0)
        view_.StopTimer(ConsoleTimer::Repeat);
    else if (!repeatIdle_ && !view_.TimerRunning(ConsoleTimer::Repeat))
        view_.StartTimer(ConsoleTimer::Repeat);
}

void ConsoleController::MonitorIntervalChanged(int ms)
{
    view_.SetTimerInterval(ConsoleTimer::Log, ms);
}

void ConsoleController::MSComm1_OnComm(int code)
{
    if (code == LineEventCode::Receive) {
        // One insertion and one scroll for all the lines of a read: line by
        // line, a flood stalled the window for tens of milliseconds.
        batchingInfo_ = true;
        poll_.BytesArrived(clock_());
        ReceiveParser(receive_, *this, QString::fromLatin1(port_.ReadAll()));
        batchingInfo_ = false;
        if (!infoBatch_.isEmpty())
            view_.InsertInfoText(std::exchange(infoBatch_, QString()));
        view_.LightReceiveLamp();
        return;
    }
    const QString message = LineEventMessage(code);
    if (!message.isEmpty())
        view_.InsertInfoText(message + QStringLiteral("\r\n"));
}

bool ConsoleController::PollTimerRunning() const { return view_.TimerRunning(ConsoleTimer::Poll); }
bool ConsoleController::MonitorModeSelected() const { return view_.SelectedMode() == CommandMode::Monitor; }
bool ConsoleController::SetMonitorModeSelected() const { return view_.SelectedMode() == CommandMode::SetMonitor; }
bool ConsoleController::SingleLayoutSelected() const { return view_.SingleLayoutSelected(); }

void ConsoleController::ShowReadout(Readout which, const QString& text)
{
    if (IsMeasured(which)) {
        answered_ |= 1u << int(which);
        fresh_ |= 1u << int(which);
        poll_.ReplyArrived(clock_());
    }
    readings_.Arrive(which, text);
}

void ConsoleController::InsertInfoText(const QString& text)
{
    if (batchingInfo_)
        infoBatch_ += text;
    else
        view_.InsertInfoText(text);
}

void ConsoleController::ClearInfoText()
{
    infoBatch_.clear();
    view_.ClearInfoText();
}

unsigned ConsoleController::LayoutReadouts() const
{
    return view_.SingleLayoutSelected() ? 0b0011u : 0b1111u;
}

bool ConsoleController::LogMayRecord() const
{
    const unsigned layout = LayoutReadouts();
    return (answered_ & layout) == layout && (fresh_ & layout) != 0;
}

void ConsoleController::LogTick()
{
    // Only what was measured since the last record is recorded: a silent
    // supply leaves a gap, not its last readouts under fresh timestamps. On
    // a slow line a cycle spans two ticks; a record then holds the newest
    // reply of each readout, none older than one cycle.
    if (!LogMayRecord())
        return;
    fresh_ = 0;
    const QString readouts[4] = {readings_.Of(Readout::P1Voltage).Text, readings_.Of(Readout::P1Current).Text,
                                 readings_.Of(Readout::P2Voltage).Text, readings_.Of(Readout::P2Current).Text};
    const ::LogTick tick = ComposeLogTick(view_.SingleLayoutSelected(), readouts, LogClock);
    for (const QString& line : tick.Echo)
        InsertInfoText(line);
    AppendLogRecord(tick.RecordTime, tick.Record);
}

bool ConsoleController::NewModelSelected() const
{
    return view_.NewModelSelected();
}

void ConsoleController::Measured(int output, bool current, const QString& text)
{
    const Readout which = output == 2 ? (current ? Readout::P2Current : Readout::P2Voltage)
                                      : (current ? Readout::P1Current : Readout::P1Voltage);
    readings_.Arrive(which, text);
}

QString ConsoleController::ResolvedLogFolder()
{
    // The local data folder: ~/.local/share/Tarvio on Linux, %LOCALAPPDATA%\Tarvio
    // on Windows, where the roaming one would carry a bench's logs to every PC.
    if (LogFolder.isEmpty())
        LogFolder = ChooseLogFolder(QCoreApplication::applicationDirPath(),
                                    QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
    return LogFolder;
}

void ConsoleController::AppendLogRecord(const QDateTime& now, const QString& record)
{
    ResolvedLogFolder();
    if (!log_ || log_->Folder() != LogFolder)
        log_ = std::make_unique<MeasurementLogFile>(LogFolder);
    const Outcome appended = log_->Append(now.date(), record);
    ++(appended.Ok() ? recordsAppended_ : recordsLost_);
    if (appended.Tell())
        InsertInfoText(appended.Message() + QStringLiteral("\r\n"));
}

PortState ConsoleController::Port() const
{
    if (port_.IsOpen())
        return PortState::Open;
    return watch_.Waiting() ? PortState::Waiting : PortState::Closed;
}

void ConsoleController::ShowPortState()
{
    const PortState state = Port();
    view_.ShowPortState(state);
    view_.EnableSendButton(state == PortState::Open);
}

void ConsoleController::PortLost(const QString& device, const QString& reason)
{
    InsertInfoText(DeviceLostMessage(device, reason) + QStringLiteral("\r\n"));
    view_.StopTimer(ConsoleTimer::Poll);
    view_.StopTimer(ConsoleTimer::Log);
    // A repeat resumed unattended would send the operator's command into
    // whatever state the supply came back in.
    if (!repeatIdle_)
        StopRepeat();
    view_.EnablePortButton(true);
    if (choices_.AutoReconnect)
        watch_.Lost(clock_());
    ShowPortState();
    ApplyCommandMode();
    if (watch_.Waiting())
        view_.StartTimer(ConsoleTimer::Reconnect);
    readings_.Interrupt();
}

void ConsoleController::PortDialogShown(bool shown)
{
    watch_.SetPaused(shown);
    // A reconnection under way must not open the port behind the dialog's back.
    if (shown && watch_.Waiting() && port_.Opening())
        port_.Close();
    // Runs when the dialog has closed: the port may have been reopened elsewhere.
    if (!shown)
        readings_.Interrupt();
}

Outcome ConsoleController::OpenRequested(const CommInitChoices& choices)
{
    EndWait();
    // The operator's choices now stand, not those of a connection still under way.
    if (port_.Opening())
        port_.Close();
    const QString before = port_.DeviceName();
    port_.SetPortNumber(choices.SelectedPort);
    port_.SetSettings(ComposeSettingsText(choices));
    port_.SetHandshaking(choices.SelectedFlow);
    const Outcome opened = port_.Open();
    if (port_.IsOpen())
        OpenedForOperator();
    // A repeat belongs to the port it was started on: it must not go on to
    // another supply, nor come back by itself once its port was closed.
    if (!repeatIdle_ && (!opened.Ok() || port_.DeviceName() != before))
        StopRepeat();
    ShowPortState();
    return opened;
}

void ConsoleController::OpenedForOperator()
{
    watch_.Opened(port_.DeviceName());
    const QString note = port_.LineNote();
    if (!note.isEmpty())
        InsertInfoText(note + QStringLiteral("\r\n"));
}

void ConsoleController::PortOpenFinished(const Outcome& outcome)
{
    if (watch_.Waiting()) {
        // Not there yet is all a failed attempt says while waiting.
        if (port_.IsOpen())
            Reopened();
        return;
    }
    if (port_.IsOpen()) {
        OpenedForOperator();
        Activate();
    } else {
        if (!repeatIdle_)
            StopRepeat();
        ShowPortState();
    }
    emit OpenFinished(outcome);
}

void ConsoleController::CloseRequested()
{
    EndWait();
    if (!repeatIdle_)
        StopRepeat();
    if (!port_.IsOpen() && !port_.Opening())
        return;
    port_.Close();
    ShowPortState();
}

void ConsoleController::EndWait()
{
    if (!watch_.Waiting())
        return;
    watch_.End();
    view_.StopTimer(ConsoleTimer::Reconnect);
    ShowPortState();
}

void ConsoleController::ReconnectTick()
{
    const ReconnectWatch::Check check = watch_.Tick();
    if (check.Problem.Tell())
        InsertInfoText(check.Problem.Message() + QStringLiteral("\r\n"));
    if (!check.TryOpen || port_.Opening())
        return;
    const Outcome opened = port_.OpenPath(watch_.WatchedPath());
    if (!opened.Ok()) {
        const Outcome refusal = watch_.Refused(opened);
        if (refusal.Tell())
            InsertInfoText(refusal.Message() + QStringLiteral("\r\n"));
        return;
    }
    if (port_.IsOpen())
        Reopened();
}

void ConsoleController::Reopened()
{
    view_.StopTimer(ConsoleTimer::Reconnect);
    InsertInfoText(watch_.Reopened(clock_()) + QStringLiteral("\r\n"));
    ShowPortState();
    Activate();
}
