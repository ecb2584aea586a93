// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// How punctually a pattern run reaches the instrument: the real pattern window
// (or, with --runner, tarvio-run as a script starts it) plays on the
// simulated supply, whose record stamps each command's arrival on the
// monotonic clock. Each arrival is compared with the tick the run engine
// sends it on, counted from the run's first command.
//
//   bench_pattern_timing [--quick] [--busy] [--measure MS] [--runner]
//     --quick       about 30 s instead of about 5 minutes
//     --busy        a busy loop on every other core while the pattern plays
//     --measure MS  measure while running, every MS milliseconds; the steps'
//                   lateness is then counted with the queries between them
//     --runner      tarvio-run plays the pattern file instead of the window
// A 10 ms probe timer watches the window's event loop throughout; with
// TARVIO_BENCH_PLOT=1 the trend window is open and drawing the readings.
#include <QApplication>
#include <QCheckBox>
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

std::vector<Arrival> ReadRecord(const QString& path, const char* kind = "CR")
{
    std::vector<Arrival> arrivals;
    for (const bench::RecordLine& line : bench::ReadSimRecord(path))
        if (line.Kind == QLatin1String(kind))
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
    int measureMs = 0;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--quick")
            quick = true;
        else if (arg == "--busy")
            busy = true;
        else if (arg == "--measure" && i + 1 < argc)
            measureMs = QByteArray(argv[++i]).toInt();
        else if (arg == "--runner")
            runner = true;
        else {
            std::fprintf(stderr, "usage: %s [--quick] [--busy] [--measure MS] [--runner]\n", argv[0]);
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
    std::vector<double> probeTimes;
    int sharedTicks = 0;
    RunSummary measured;
    if (runner) {
        // The runner gets the core the console would have; this process only waits.
        const QString file = dir.filePath(QStringLiteral("pattern.txt"));
        if (!SavePattern(file, table).Ok()) {
            std::fprintf(stderr, "the pattern file could not be written\n");
            return 1;
        }
        QStringList args{QStringLiteral("pattern"), file, QStringLiteral("--output"), QStringLiteral("P1"),
                         QStringLiteral("--repeat"), QString::number(plan.Repeats), QStringLiteral("--port"), link,
                         QStringLiteral("--quiet")};
        if (measureMs > 0)
            args << QStringLiteral("--measure") << QString::number(measureMs) << QStringLiteral("--report")
                 << dir.path();
        QProcess run;
        run.setProcessChannelMode(QProcess::ForwardedChannels);
        run.setChildProcessModifier([consoleCpu] { bench::PinTo(0, consoleCpu); });
        run.start(QStringLiteral(TARVIO_RUN_PATH), args);
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
        if (measureMs > 0) {
            FindControl<QCheckBox>(*pattern, "CheckMeasure")->setChecked(true);
            FindControl<QLineEdit>(*pattern, "TextMeasureInterval")->setText(QString::number(measureMs));
        }
        QObject::connect(FindControl<QTimer>(*pattern, "Timer4"), &QTimer::timeout,
                         [&] { tickTimes.push_back(bench::MonotonicSeconds()); });

        // How long the event loop is kept from anything else, the receive handler included.
        QTimer probe;
        probe.setTimerType(Qt::PreciseTimer);
        QObject::connect(&probe, &QTimer::timeout, [&] { probeTimes.push_back(bench::MonotonicSeconds()); });
        probe.start(10);
        // After the window's own handler on each tick: did this tick send a step and a query both?
        size_t stepsSeen = 0;
        int queriesSeen = 0;
        QObject::connect(FindControl<QTimer>(*pattern, "Timer4"), &QTimer::timeout, [&] {
            const size_t steps = pattern->Measured().Report().Rows().size();
            const int queries = pattern->Measured().QueriesSent();
            sharedTicks += steps != stepsSeen && queries != queriesSeen;
            stepsSeen = steps;
            queriesSeen = queries;
        });

        pattern->CmdRunP1_Click();
        // A measured run ends by itself once its last questions are answered.
        WaitUntil([&] { return pattern->Engine().Finished(false, plan.Repeats) || !pattern->Engine().Running(); },
                  int(plannedSeconds * 1000) + 20000);
        probe.stop();
        measured = pattern->Measured().Report().Summary();
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
    report.Note(QStringLiteral("measureMs"), measureMs);
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
    // What only the window shows from inside the process.
    if (!runner) {
        report.Figure(QStringLiteral("timerLatenessP99Ms"), QStringLiteral("run timer alone: p99"),
                      bench::Percentile(timerLateness, 99), QStringLiteral("ms"));
        report.Figure(QStringLiteral("timerLatenessMaxMs"), QStringLiteral("run timer alone: max"),
                      timerLateness.empty() ? std::nan("")
                                            : *std::max_element(timerLateness.begin(), timerLateness.end()),
                      QStringLiteral("ms"));
        std::vector<double> gaps;
        for (size_t i = 1; i < probeTimes.size(); ++i)
            gaps.push_back((probeTimes[i] - probeTimes[i - 1]) * 1000);
        report.Figure(QStringLiteral("longestStallMs"), QStringLiteral("longest 10 ms probe gap"),
                      gaps.empty() ? std::nan("") : *std::max_element(gaps.begin(), gaps.end()), QStringLiteral("ms"));
    }
    if (measureMs > 0) {
        const std::vector<Arrival> replies = ReadRecord(record, "OUT");
        const double seconds = arrivals.back().Seconds - arrivals.front().Seconds;
        report.Figure(QStringLiteral("queriesAnsweredPerSecond"), QStringLiteral("queries answered per second"),
                      double(replies.size()) / seconds, QStringLiteral("/s"));
    }
    if (measureMs > 0 && !runner) {
        report.Target(QStringLiteral("ticksWithStepAndQuery"), QStringLiteral("ticks that sent a step and a query"),
                      double(sharedTicks), QString(), 0, 0);
        report.Figure(QStringLiteral("reportReadings"), QStringLiteral("readings in the run report"),
                      double(measured.Readings), QString());
        report.Figure(QStringLiteral("reportLateP99Ms"), QStringLiteral("run report: lateness p99 at the port"),
                      measured.LateP99Ms, QStringLiteral("ms"));
    }
    report.Print(QStringLiteral("Pattern timing, %1 (%2, %3 commands%4)")
                     .arg(runner ? QStringLiteral("tarvio-run") : QStringLiteral("pattern window"))
                     .arg(busy ? QStringLiteral("other cores busy") : QStringLiteral("idle"))
                     .arg(arrivals.size())
                     .arg(measureMs > 0 ? QStringLiteral(", measuring every %1 ms").arg(measureMs) : QString()));
    return 0;
}
