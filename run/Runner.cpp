// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/Runner.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <csignal>

#include "pattern/PatternFile.h"
#include "pattern/StepValues.h"

namespace {
constexpr int StatusMs = 250;
constexpr int HourMs = 3600 * 1000;
constexpr int DrainCheckMs = 2;
constexpr qint64 DrainLimitMs = 2000;
const QByteArray OutputOff = QByteArrayLiteral("OUTP:STAT OFF\n");

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

// The same probe the console makes of its own folder: only a file created tells.
QString FolderProblem(const QString& folder)
{
    const QFileInfo info(folder);
    if (!info.isDir())
        return QStringLiteral("the log folder %1 does not exist").arg(folder);
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".tarvio-probe-XXXXXX")));
    if (!probe.open())
        return QStringLiteral("the log folder %1 cannot be written: %2").arg(folder, probe.errorString());
    return QString();
}
}

Runner::Runner(const RunOptions& options, ProgressOutput& progress)
    : options_(options), progress_(progress), choices_(ChoicesFor(options)), port_(Binding(options.PortPath)),
      console_(choices_, port_, options.DualLayout, options.NewModel, options.IntervalMs)
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
    if (options_.MeasureMs || options_.LimitVoltage || options_.LimitCurrent || !options_.ReportPath.isEmpty()) {
        progress_.Message(QStringLiteral("tarvio-run: measured runs and limits (--measure, --limit-voltage, "
                                         "--limit-current, --report) are not available in this build yet"));
        return RunExit::Usage;
    }
    if (!signals_.Ok()) {
        progress_.Message(QStringLiteral("tarvio-run: cannot watch for SIGINT and SIGTERM"));
        return RunExit::Usage;
    }
    if (options_.Job == RunJob::Pattern) {
        const int refused = StartPattern();
        if (refused >= 0)
            return refused;
    } else if (!options_.LogFolder.isEmpty()) {
        const QString problem = FolderProblem(options_.LogFolder);
        if (!problem.isEmpty()) {
            progress_.Message(QStringLiteral("tarvio-run: ") + problem);
            return RunExit::Usage;
        }
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
    runTimer_.start();
}

void Runner::PatternTick()
{
    const bool endless = options_.Repeat == 0;
    const RunEngine::Tick tick = engine_.OnTick(endless, options_.Repeat);
    if (tick.Sent)
        port_.Write(tick.Command);
    if (!tick.RepetitionDone)
        return;
    progress_.Milestone(FormatPatternProgress(PatternPosition()));
    if (engine_.Finished(endless, options_.Repeat))
        End(RunExit::Done);
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
    if (at.Step > 0) {
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
    console_.Select(CommandMode::Monitor);
    if (options_.ForMs > 0) {
        stopAfter_.setInterval(int(options_.ForMs));
        stopAfter_.start();
    }
    hourly_.start();
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
        port_.Write(OutputOff);
    draining_.start();
    DrainAndFinish();
}

void Runner::DrainAndFinish()
{
    if (port_.IsOpen() && port_.BytesWaiting() > 0 && draining_.elapsed() < DrainLimitMs) {
        if (!drain_.isActive())
            drain_.start();
        return;
    }
    drain_.stop();
    if (port_.BytesWaiting() > 0)
        progress_.Message(QStringLiteral("tarvio-run: the last commands did not leave the port"));
    port_.Close();
    progress_.Finish();
    emit Finished(exitCode_);
}
