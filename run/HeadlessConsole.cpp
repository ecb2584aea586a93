// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/HeadlessConsole.h"

#include "link/SerialPort.h"

HeadlessConsole::HeadlessConsole(const CommInitChoices& choices, SerialPort& port, bool dualLayout, bool newModel,
                                 int monitorIntervalMs, MonotonicClock clock)
    : choices_(choices), dual_(dualLayout), newModel_(newModel), intervalMs_(monitorIntervalMs), clock_(clock),
      controller_(choices, port, *this, clock)
{
    for (QTimer& t : timers_)
        t.setTimerType(Qt::PreciseTimer);
    ConsoleController& c = controller_;
    // The console's timer handlers, as frmMain connects them; the lamps have nothing to grey.
    connect(&TimerFor(ConsoleTimer::Repeat), &QTimer::timeout, this, [&c] { c.SendNow(); });
    connect(&TimerFor(ConsoleTimer::Poll), &QTimer::timeout, this, [&c] { c.SendNow(); });
    connect(&TimerFor(ConsoleTimer::Log), &QTimer::timeout, this, &HeadlessConsole::OnLogTick);
    connect(&TimerFor(ConsoleTimer::Reconnect), &QTimer::timeout, this, [&c] { c.ReconnectTick(); });
    controller_.Load();
    // Nothing to grey without lamps: a timer that would only wake the process.
    TimerFor(ConsoleTimer::Lamps).stop();
}

Outcome HeadlessConsole::Open()
{
    const Outcome opened = controller_.OpenRequested(choices_);
    // A device server still being reached: the controller goes on when it answers.
    if (controller_.Port() == PortState::Open)
        controller_.Activate();
    return opened;
}

void HeadlessConsole::Select(CommandMode mode)
{
    mode_ = mode;
    controller_.SelectMode(mode);
}

void HeadlessConsole::StartTimer(ConsoleTimer timer)
{
    // Monitoring begun or resumed: the supply has had no chance to answer yet.
    if (timer == ConsoleTimer::Log)
        logSince_ = clock_();
    TimerFor(timer).start();
}

void HeadlessConsole::Stop()
{
    for (QTimer& t : timers_)
        t.stop();
}

bool HeadlessConsole::SupplySilent() const
{
    qint64 newest = logSince_;
    const ConsoleReadings& r = controller_.Readings();
    for (Readout which : {Readout::P1Voltage, Readout::P1Current, Readout::P2Voltage, Readout::P2Current})
        newest = std::max(newest, r.Of(which).ArrivedAt);
    return clock_() - newest > SilentAfterMs;
}

void HeadlessConsole::OnLogTick()
{
    if (SupplySilent()) {
        if (!silentTold_)
            emit Message(QStringLiteral("tarvio-run: the supply has not answered for %1 s; no records until it does")
                             .arg(SilentAfterMs / 1000));
        silentTold_ = true;
        return;
    }
    if (silentTold_)
        emit Message(QStringLiteral("tarvio-run: the supply answers again; records go on"));
    silentTold_ = false;
    const bool records = controller_.LogMayRecord();
    echoLinesDue_ = records ? (dual_ ? 2 : 1) : 0;
    inLogTick_ = true;
    failedInTick_ = false;
    controller_.LogTick();
    inLogTick_ = false;
    if (!records)
        return;
    if (failedInTick_) {
        recordLost_ = true;
        return;
    }
    ++recordsWritten_;
    emit Recorded();
}

void HeadlessConsole::InsertInfoText(const QString& text)
{
    if (inLogTick_) {
        if (echoLinesDue_ > 0) {
            --echoLinesDue_;
            return;
        }
        // Whatever the tick says beyond its echo is the log file's failure.
        failedInTick_ = true;
    }
    partial_ += text;
    // The panel's lines end with CR LF; a message may span several.
    qsizetype end;
    while ((end = partial_.indexOf(QLatin1Char('\n'))) >= 0) {
        QString line = partial_.left(end);
        partial_.remove(0, end + 1);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (!line.isEmpty())
            emit Message(line);
    }
}
