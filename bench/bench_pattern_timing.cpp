// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// How punctually a pattern run reaches the instrument: the real pattern window
// (or, with --runner, tarvio-run as a script starts it) plays on the
// simulated supply, whose record stamps each command's arrival on the
// monotonic clock. Each arrival is compared with the tick the run engine
// sends it on, counted from the run's first command.
//
//   bench_pattern_timing [--quick] [--busy] [--runner]
//     --quick   about 30 s instead of about 5 minutes
//     --busy    a busy loop on every other core while the pattern plays
//     --runner  tarvio-run plays the pattern file instead of the window
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

#include "BenchConsole.h"
#include "BenchSupport.h"
#include "pattern/PatternFile.h"
#include "pattern/RunEngine.h"
#include "pattern/StepValues.h"
#include "pattern/frmPattern.h"
#include "platform/Fonts.h"

namespace {

struct Plan {
    int Steps;
    double Spacing;   // seconds between step times
    int Repeats;
};

// The table holds at most 100 steps, so five minutes of a step every half
// second is 100 steps played six times.
const Plan Full{100, 0.5, 6};
const Plan Quick{60, 0.5, 1};

void FillTable(PatternTable& table, const Plan& plan)
{
    for (int k = 1; k <= plan.Steps; ++k) {
        // Values that change at every step, so each command differs from the last.
        const double volts = 1 + (k % 25) * 0.5;
        const double amps = 0.5 + (k % 4) * 0.25;
        table.SetStep(k, PatternStep{FormatThreeDecimals((k - 1) * plan.Spacing), FormatThreeDecimals(volts),
                                     FormatThreeDecimals(amps)});
    }
}

struct Send {
    long Tick;         // 1 = the run timer's first firing
    QString Command;   // without its CR, as the supply records it
};

// What the engine sends and on which tick, in order, worked out offline.
std::vector<Send> ExpectedSends(const PatternTable& table, int repeats)
{
    RunEngine engine;
    std::vector<Send> sends;
    if (!engine.Start(table, 1))
        return sends;
    for (long tick = 1; !engine.Finished(false, repeats); ++tick) {
        const RunEngine::Tick t = engine.OnTick(false, repeats);
        if (t.Sent)
            sends.push_back({tick, QString::fromLatin1(t.Command).trimmed()});
    }
    return sends;
}

struct Arrival {
    double Seconds;
    QString Command;
};

std::vector<Arrival> ReadRecord(const QString& path)
{
    std::vector<Arrival> arrivals;
    for (const bench::RecordLine& line : bench::ReadSimRecord(path))
        if (line.Kind == QLatin1String("CR"))
            arrivals.push_back({line.Seconds, line.Text});
    return arrivals;
}

void WaitUntil(const std::function<bool()>& done, int timeoutMs, int checkEveryMs = 250)
{
    QEventLoop loop;
    QTimer check, limit;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (done())
            loop.quit();
    });
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    check.start(checkEveryMs);
    limit.setSingleShot(true);
    limit.start(timeoutMs);
    if (!done())
        loop.exec();
}

} // namespace

int main(int argc, char** argv)
{
    bool quick = false, busy = false, runner = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--quick")
            quick = true;
        else if (arg == "--busy")
            busy = true;
        else if (arg == "--runner")
            runner = true;
        else {
            std::fprintf(stderr, "usage: %s [--quick] [--busy] [--runner]\n", argv[0]);
            return 2;
        }
    }
    const Plan plan = quick ? Quick : Full;

    // The console keeps the first core; the loops, when asked for, take the others.
    std::vector<int> cpus = bench::AllowedCpus();
    const int consoleCpu = cpus.empty() ? 0 : cpus.front();
    std::unique_ptr<bench::BusyCores> load;
    if (busy && cpus.size() > 1)
        load = std::make_unique<bench::BusyCores>(std::vector<int>(cpus.begin() + 1, cpus.end()));

    bench::PreferOffscreen();
    QApplication app(argc, argv);
    InstallFontSubstitutions();

    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("com1"));
    const QString record = dir.filePath(QStringLiteral("record.txt"));
    // Started before the console pins itself, so the supply may run on any core.
    QProcess sim;
    sim.setProgram(QStringLiteral(TARVIO_SIM_PATH));
    sim.setArguments({QStringLiteral("--link"), link, QStringLiteral("--record"), record});
    sim.start();
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000) || !QFile::exists(link)) {
        std::fprintf(stderr, "the simulated supply did not start\n");
        return 1;
    }
    PatternTable table;
    FillTable(table, plan);
    const std::vector<Send> expected = ExpectedSends(table, plan.Repeats);
    const double plannedSeconds = double(expected.back().Tick - expected.front().Tick) * TickSeconds;
    std::printf("pattern timing (%s): %d steps %.1f s apart, played %d time(s): %zu commands over %.3f s%s\n",
                runner ? "tarvio-run" : "pattern window", plan.Steps, plan.Spacing, plan.Repeats, expected.size(),
                plannedSeconds, busy ? (load ? ", other cores busy" : ", no other core to load") : ", idle");
    std::fflush(stdout);
    // When the run timer itself fired, apart from the line and the supply (the window only).
    std::vector<double> tickTimes;
    tickTimes.reserve(size_t(plannedSeconds / TickSeconds) + 100);

    if (runner) {
        // The runner gets the core the console would have; this process only waits.
        const QString file = dir.filePath(QStringLiteral("pattern.txt"));
        if (!SavePattern(file, table).Ok()) {
            std::fprintf(stderr, "the pattern file could not be written\n");
            return 1;
        }
        QProcess run;
        run.setProcessChannelMode(QProcess::ForwardedChannels);
        run.setChildProcessModifier([consoleCpu] { bench::PinTo(0, consoleCpu); });
        run.start(QStringLiteral(TARVIO_RUN_PATH),
                  {QStringLiteral("pattern"), file, QStringLiteral("--output"), QStringLiteral("P1"),
                   QStringLiteral("--repeat"), QString::number(plan.Repeats), QStringLiteral("--port"), link,
                   QStringLiteral("--quiet")});
        if (!run.waitForFinished(int(plannedSeconds * 1000) + 20000) || run.exitCode() != 0) {
            std::fprintf(stderr, "tarvio-run did not end well (exit %d)\n", run.exitCode());
            return 1;
        }
    } else {
        bench::PinTo(0, consoleCpu);
        bench::Console console(link);
        if (!console.OpenComOne()) {
            std::fprintf(stderr, "COM 1 did not open: %s\n", qPrintable(console.Services.Messages.join(' ')));
            return 1;
        }
        FindControl<QRadioButton>(console.Window, "OptionPatternCmd")->setChecked(true);
        auto* pattern = qobject_cast<frmPattern*>(console.Window.PatternWindow());
        if (!pattern) {
            std::fprintf(stderr, "the pattern window did not open\n");
            return 1;
        }
        FillTable(pattern->Table(), plan);
        pattern->ShowTable();
        pattern->DrawPatternPreview();
        FindControl<QLineEdit>(*pattern, "TextReDo")->setText(QString::number(plan.Repeats));
        pattern->TextReDo_KeyPress();
        QObject::connect(FindControl<QTimer>(*pattern, "Timer4"), &QTimer::timeout,
                         [&] { tickTimes.push_back(bench::MonotonicSeconds()); });
        pattern->CmdRunP1_Click();
        WaitUntil([&] { return pattern->Engine().Finished(false, plan.Repeats); }, int(plannedSeconds * 1000) + 20000);
        pattern->close();
    }
    // The last command is still on its way to the supply's record.
    WaitUntil([&] { return ReadRecord(record).size() >= expected.size(); }, 3000, 50);
    sim.terminate();
    sim.waitForFinished(3000);

    const std::vector<Arrival> arrivals = ReadRecord(record);
    bench::Report report(runner ? QStringLiteral("runner_pattern_timing") : QStringLiteral("pattern_timing"));
    report.Note(QStringLiteral("program"), runner ? QStringLiteral("tarvio-run") : QStringLiteral("tarvio"));
    report.Note(QStringLiteral("load"), busy ? QStringLiteral("busy") : QStringLiteral("idle"));
    report.Note(QStringLiteral("busyLoops"), int(load ? load->Count() : 0));
    report.Note(QStringLiteral("quick"), quick);
    report.Note(QStringLiteral("commandsExpected"), int(expected.size()));
    report.Note(QStringLiteral("commandsArrived"), int(arrivals.size()));
    size_t matching = 0;
    while (matching < std::min(arrivals.size(), expected.size())
           && arrivals[matching].Command == expected[matching].Command)
        ++matching;
    if (arrivals.size() != expected.size() || matching != expected.size()) {
        std::fprintf(stderr, "expected %zu commands, the supply recorded %zu, the first %zu as expected\n",
                     expected.size(), arrivals.size(), matching);
        report.Target(QStringLiteral("commandsAmiss"), QStringLiteral("commands missing or out of place"),
                      double(expected.size() - matching), QString(), 0, 0);
        report.Print(QStringLiteral("Pattern timing: FAILED"));
        return 1;
    }

    // Lateness against the schedule the first command sets.
    std::vector<double> lateness;
    for (size_t i = 1; i < arrivals.size(); ++i) {
        const double due = double(expected[i].Tick - expected[0].Tick) * TickSeconds;
        lateness.push_back((arrivals[i].Seconds - arrivals[0].Seconds - due) * 1000);
    }
    // The end of the run, over its last ten commands, so one late command is
    // counted as lateness rather than as drift.
    const std::vector<double> tail(lateness.end() - std::min<size_t>(10, lateness.size()), lateness.end());

    std::vector<double> timerLateness;
    for (size_t i = 1; i < tickTimes.size(); ++i)
        timerLateness.push_back((tickTimes[i] - tickTimes[0] - double(i) * TickSeconds) * 1000);

    report.Figure(QStringLiteral("runSeconds"), QStringLiteral("run length"),
                  arrivals.back().Seconds - arrivals.front().Seconds, QStringLiteral("s"), 3);
    report.Target(QStringLiteral("latenessMedianMs"), QStringLiteral("lateness median"), bench::Median(lateness),
                  QStringLiteral("ms"), 2);
    // The runner, with no window to draw, is held to a tighter p99.
    report.Target(QStringLiteral("latenessP99Ms"), QStringLiteral("lateness p99"), bench::Percentile(lateness, 99),
                  QStringLiteral("ms"), runner ? 1 : 10);
    report.Target(QStringLiteral("latenessMaxMs"), QStringLiteral("lateness max"),
                  *std::max_element(lateness.begin(), lateness.end()), QStringLiteral("ms"), 20);
    // The first command is the reference, and a late one shifts every other figure by as much;
    // about the median the shift goes out.
    report.Figure(QStringLiteral("spreadP99Ms"), QStringLiteral("lateness p99 less the median"),
                  bench::Percentile(lateness, 99) - bench::Median(lateness), QStringLiteral("ms"));
    report.Figure(QStringLiteral("latenessMinMs"), QStringLiteral("lateness min (early)"),
                  *std::min_element(lateness.begin(), lateness.end()), QStringLiteral("ms"));
    report.Target(QStringLiteral("driftMs"), QStringLiteral("drift at the end"), std::abs(bench::Median(tail)),
                  QStringLiteral("ms"), 5);
    if (!runner) {
        report.Figure(QStringLiteral("timerLatenessP99Ms"), QStringLiteral("run timer alone: p99"),
                      bench::Percentile(timerLateness, 99), QStringLiteral("ms"));
        report.Figure(QStringLiteral("timerLatenessMaxMs"), QStringLiteral("run timer alone: max"),
                      timerLateness.empty() ? std::nan("")
                                            : *std::max_element(timerLateness.begin(), timerLateness.end()),
                      QStringLiteral("ms"));
    }
    report.Print(QStringLiteral("Pattern timing, %1 (%2, %3 commands)")
                     .arg(runner ? QStringLiteral("tarvio-run") : QStringLiteral("pattern window"))
                     .arg(busy ? QStringLiteral("other cores busy") : QStringLiteral("idle"))
                     .arg(arrivals.size()));
    return 0;
}
