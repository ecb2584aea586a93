// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/Runner.h"

#include <QDir>
#include <QFileInfo>
#include <csignal>

#include "core/Clock.h"
#include "pattern/PatternFile.h"
#include "pattern/StepValues.h"
#include "plot/Readings.h"

namespace {
constexpr int StatusMs = 250;
constexpr int HourMs = 3600 * 1000;
constexpr int DrainCheckMs = 2;
constexpr qint64 DrainLimitMs = 2000;

// A dialog's message as one line of stderr.
QString OneLine(const QString& text)
{
    return QStringLiteral("tarvio-run: ") + QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '));
}

CommInitChoices ChoicesFor(const RunOptions& o)
{
    CommInitChoices choices = o.Choices;
    // A pattern never resumes on its own; monitoring does, as in the console.
    choices.AutoReconnect = o.Job == RunJob::Monitor;
    return choices;
}

std::function<QString(int)> Binding(const QString& path)
{
    if (path.isEmpty())
        return ResolveSystemDevice;
    return [path](int) { return path; };
}
}

Runner::Runner(const RunOptions& options, ProgressOutput& progress)
    : options_(options), progress_(progress), choices_(ChoicesFor(options)), port_(Binding(options.PortPath)),
      console_(choices_, port_, options.DualLayout, options.NewModel, options.IntervalMs),
      reporting_(options.Job == RunJob::Pattern
                 && (options.MeasureMs || options.LimitVoltage || options.LimitCurrent || !options.ReportPath.isEmpty()))
{
    for (QTimer* t : {&runTimer_, &stopAfter_, &hourly_, &status_, &drain_})
        t->setTimerType(Qt::PreciseTimer);
    runTimer_.setInterval(RunTimerMs);
    connect(&runTimer_, &QTimer::timeout, this, &Runner::PatternTick);
    stopAfter_.setSingleShot(true);
    connect(&stopAfter_, &QTimer::timeout, this, [this] { End(console_.RecordLost() ? RunExit::Tripped : RunExit::Done); });
    hourly_.setInterval(HourMs);
    connect(&hourly_, &QTimer::timeout, this, [this] { progress_.Milestone(MonitorLine()); });
    status_.setInterval(StatusMs);
    connect(&status_, &QTimer::timeout, this, &Runner::ShowStatus);
    drain_.setInterval(DrainCheckMs);
    connect(&drain_, &QTimer::timeout, this, &Runner::DrainAndFinish);
    connect(&console_, &HeadlessConsole::Message, this, [this](const QString& line) { progress_.Message(line); });
    connect(&signals_, &SignalPipe::Received, this, [this](int number) {
        progress_.Message(QStringLiteral("tarvio-run: %1: stopping").arg(number == SIGTERM ? "SIGTERM" : "SIGINT"));
        End(RunExit::Interrupted);
    });
}

int Runner::Start()
{
    if (!signals_.Ok()) {
        progress_.Message(QStringLiteral("tarvio-run: cannot watch for SIGINT and SIGTERM"));
        return RunExit::Usage;
    }
    if (options_.Job == RunJob::Pattern) {
        const int refused = StartPattern();
        if (refused >= 0)
            return refused;
    } else {
        // A folder that cannot take the records is the console's news at the
        // first record: monitoring goes on, as in the window, and the exit code tells.
        console_.Controller().LogFolder = options_.LogFolder;
    }
    const Outcome opened = console_.Open();
    if (!opened.Ok()) {
        progress_.Message(OneLine(opened.Message()));
        return RunExit::PortUnavailable;
    }
    if (port_.IsOpen()) {
        Begin();
        return -1;
    }
    // A device server answers later; a signal meanwhile ends the wait as it would end the job.
    connect(&console_.Controller(), &ConsoleController::OpenFinished, this, [this](const Outcome& outcome) {
        if (ending_)
            return;
        if (outcome.Ok()) {
            Begin();
            return;
        }
        progress_.Message(OneLine(outcome.Message()));
        ending_ = true;
        progress_.Finish();
        emit Finished(RunExit::PortUnavailable);
    }, Qt::SingleShotConnection);
    return -1;
}

void Runner::Begin()
{
    since_.start();
    if (progress_.Terminal())
        status_.start();
    if (options_.Job == RunJob::Pattern)
        console_.Select(CommandMode::Pattern);
    else
        StartMonitor();
}

int Runner::StartPattern()
{
    // Read before the port opens: a file that cannot be played sends nothing.
    const Outcome loaded = LoadPattern(options_.PatternPath, table_);
    if (!loaded.Ok()) {
        progress_.Message(OneLine(loaded.Message()));
        return RunExit::Usage;
    }
    if (table_.LeadingCompleteSteps() == 0) {
        progress_.Message(QStringLiteral("tarvio-run: %1 holds no step to play").arg(options_.PatternPath));
        return RunExit::Usage;
    }
    connect(&console_, &HeadlessConsole::PatternWindowRequested, this, &Runner::PlayPattern);
    connect(&port_, &SerialPort::DeviceLost, this, &Runner::PatternPortLost);
    return -1;
}

void Runner::PlayPattern()
{
    engine_.Start(table_, options_.Output);
    if (reporting_) {
        // As the pattern window starts its measured run: a limit alone measures at the window's first interval.
        MeasuredRun::Settings settings;
        const bool limits = options_.LimitVoltage || options_.LimitCurrent;
        settings.IntervalMs = options_.MeasureMs.value_or(limits ? MeasuredRun::IntervalAtStartMs : 0);
        settings.NewModel = console_.Controller().NewModelSelected();
        settings.VoltageLimit = options_.LimitVoltage;
        settings.CurrentLimit = options_.LimitCurrent;
        measured_.Start(settings, engine_, options_.Repeat == 0 ? 0 : engine_.RunStepCount() * options_.Repeat,
                        LocalNow());
        console_.Controller().TapReplies([this](const QString& line) { return OnRunReply(line); });
    }
    runTimer_.start();
}

void Runner::PatternTick()
{
    const bool endless = options_.Repeat == 0;
    const RunEngine::Tick tick = engine_.OnTick(endless, options_.Repeat);
    if (tick.Sent)
        port_.Write(tick.Command);
    if (tick.RepetitionDone)
        progress_.Milestone(FormatPatternProgress(PatternPosition()));
    if (measured_.Running()) {
        const MeasuredRun::TickResult r =
            measured_.OnTick(SteadyMicros(), LocalNow(), engine_, tick, port_.BytesToWrite() == 0,
                             engine_.StepDueNextTick(endless, options_.Repeat));
        if (!r.Query.isEmpty())
            port_.Write(r.Query);
        if (r.TellUnanswered)
            progress_.Message(OneLine(UnansweredMessage(measured_.Output())));
    }
    // A measured run ends once its last questions are answered, as in the window.
    if (engine_.Finished(endless, options_.Repeat) && (!measured_.Running() || measured_.Settled()))
        End(measured_.Report().Summary().SupplyErrors > 0 ? RunExit::Tripped : RunExit::Done);
}

bool Runner::OnRunReply(const QString& line)
{
    const MeasuredRun::Reply reply = measured_.OnReply(SteadyMicros(), line);
    if (!reply.Claimed)
        return false;
    if (reply.Reading) {
        const bool current = reply.Which == MeasuredRun::Quantity::Current;
        console_.Controller().Measured(measured_.Output(), current, line);
        (current ? lastCurrent_ : lastVoltage_) = reply.Text.trimmed();
    }
    if (reply.SupplyError)
        progress_.Message(QStringLiteral("tarvio-run: the supply's error queue: ") + reply.Text.trimmed());
    if (reply.Trip) {
        progress_.Message(OneLine(LimitTripMessage(measured_.Output(), *reply.Trip)));
        End(RunExit::Tripped);
    }
    return true;
}

void Runner::WriteReport(RunEnd how)
{
    measured_.End(how);
    // A folder given gets the window's file name; anything else is the file itself.
    const QString given = options_.ReportPath;
    const QDir folder(given.isEmpty() ? console_.Controller().ReportFolder() : given);
    const QString name = RunReportName(measured_.Report().StartedAt());
    const QString path = given.isEmpty() || QFileInfo(given).isDir() ? folder.filePath(name) : given;
    const Outcome written = WriteRunReport(measured_.Report(), path);
    if (!written.Ok()) {
        progress_.Message(OneLine(written.Message()));
        if (exitCode_ == RunExit::Done)
            exitCode_ = RunExit::Tripped;
        return;
    }
    for (const QString& line : RunSummaryText(measured_.Report().Summary()).split(QLatin1Char('\n')))
        progress_.Closing(QStringLiteral("tarvio-run: ") + line);
    progress_.Closing(QStringLiteral("tarvio-run: report: ") + QDir::toNativeSeparators(path));
}

PatternProgress Runner::PatternPosition() const
{
    PatternProgress p;
    const RunEngine::Position at = engine_.LastSent();
    p.Repetition = at.Repetition;
    p.Repetitions = options_.Repeat;
    p.Step = at.Step;
    p.Steps = engine_.RunStepCount();
    p.ElapsedMs = since_.elapsed();
    // What was measured last, when the run measures; otherwise what was set last.
    if (!lastVoltage_.isEmpty() || !lastCurrent_.isEmpty()) {
        p.Voltage = lastVoltage_;
        p.Current = lastCurrent_;
    } else if (at.Step > 0) {
        const StepNumbers& step = engine_.Steps().at(at.Step - 1);
        p.Voltage = ShortestDecimal(step.Voltage);
        p.Current = ShortestDecimal(step.Current);
    }
    return p;
}

void Runner::PatternPortLost()
{
    if (!engine_.Running() || ending_)
        return;
    progress_.Message(OneLine(RunLostMessage(engine_.Output(), engine_.LastSent())));
    End(RunExit::PortLost);
}

void Runner::StartMonitor()
{
    if (options_.LimitVoltage || options_.LimitCurrent)
        connect(&console_.Controller().Readings(), &ConsoleReadings::Arrived, this,
                [this](Readout which, const QString& text, qint64) { CheckLimit(which, text); });
    console_.Select(CommandMode::Monitor);
    if (options_.ForMs > 0) {
        stopAfter_.setInterval(int(options_.ForMs));
        stopAfter_.start();
    }
    hourly_.start();
}

void Runner::CheckLimit(Readout which, const QString& text)
{
    if (ending_ || !IsMeasured(which))
        return;
    const bool current = which == Readout::P1Current || which == Readout::P2Current;
    const std::optional<double>& limit = current ? options_.LimitCurrent : options_.LimitVoltage;
    // A reply that is no number (garbled, an error text) is never taken for a reading above a limit.
    const std::optional<double> value = ReadReading(text.toLatin1());
    if (!limit || !value || *value <= *limit)
        return;
    const bool second = which == Readout::P2Voltage || which == Readout::P2Current;
    progress_.Message(QStringLiteral("tarvio-run: P%1 %2 %3 %4 is above the limit of %5 %4: switching the output off")
                          .arg(second ? 2 : 1)
                          .arg(current ? QStringLiteral("current") : QStringLiteral("voltage"))
                          .arg(text.trimmed())
                          .arg(current ? QStringLiteral("A") : QStringLiteral("V"))
                          .arg(ShortestDecimal(*limit)));
    End(RunExit::Tripped);
}

QString Runner::MonitorLine() const
{
    MonitorProgress p;
    p.ElapsedMs = since_.elapsed();
    p.Records = console_.RecordsWritten();
    p.Dual = options_.DualLayout;
    const ConsoleReadings& r = const_cast<HeadlessConsole&>(console_).Controller().Readings();
    const Readout measured[4] = {Readout::P1Voltage, Readout::P1Current, Readout::P2Voltage, Readout::P2Current};
    for (int i = 0; i < 4; ++i)
        p.Readings[i] = r.Of(measured[i]).ArrivedAt < 0 ? QString() : r.Of(measured[i]).Text;
    return FormatMonitorProgress(p);
}

void Runner::ShowStatus()
{
    progress_.Status(options_.Job == RunJob::Pattern ? FormatPatternProgress(PatternPosition()) : MonitorLine());
}

void Runner::End(int exitCode)
{
    if (ending_)
        return;
    ending_ = true;
    exitCode_ = exitCode;
    // Nothing more goes out from here on but the switch-off.
    runTimer_.stop();
    console_.Stop();
    for (QTimer* t : {&stopAfter_, &hourly_})
        t->stop();
    ShowStatus();
    status_.stop();
    if (options_.Job == RunJob::Monitor)
        progress_.Milestone(MonitorLine());
    if (options_.OffOnStop || options_.LimitVoltage || options_.LimitCurrent)
        port_.Write(LimitOffCommand);
    if (reporting_) {
        const RunEnd how = exitCode == RunExit::Interrupted ? RunEnd::Stopped
                           : exitCode == RunExit::PortLost   ? RunEnd::PortLost
                           : measured_.Report().Summary().OutsideLimits > 0 ? RunEnd::LimitTripped
                                                                            : RunEnd::Completed;
        WriteReport(how);
    }
    progress_.Finish();
    // The rest waits for the event loop: End may be called from inside the port's own receive handler.
    draining_.start();
    drain_.start();
}

void Runner::DrainAndFinish()
{
    if (port_.IsOpen() && port_.BytesWaiting() > 0 && draining_.elapsed() < DrainLimitMs)
        return;
    drain_.stop();
    if (port_.BytesWaiting() > 0)
        progress_.Message(QStringLiteral("tarvio-run: the last commands did not leave the port"));
    // Let go of the replies only now: a trip ends the run from inside the tap itself.
    if (reporting_)
        console_.Controller().TapReplies({});
    port_.Close();
    emit Finished(exitCode_);
}
