// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A night of unattended monitoring, shortened to an hour: the real main window
// monitors both outputs of the simulated supply and logs them, while the
// supply's adapter is pulled every 50 s and plugged in again 10 s later (on
// average: 9.5 to 10.5 s, so the return meets the console's once-a-second
// check at any point of it, as a hand would), coming back under the other of
// two kernel names each time, as a USB adapter does, with its stable by-id
// name following it. Some replies are garbled on the way. The supply's record stamps each return and each command
// on the monotonic clock; this program stamps each log record on the same
// clock, and what the console cost while it waited.
//
// With --runner, tarvio-run monitors instead of the window, as a service
// would start it: its records are stamped as they appear in the day's file
// (told by the file system, and read every 10 ms besides), and its memory
// and CPU are read from /proc.
//
//   bench_soak [--minutes N] [--vanish-every S] [--return-after S]
//              [--return-jitter S] [--garble-every N] [--log-ms MS] [--same-name]
//              [--runner]
//     --return-after   the mean time gone; each return comes up to half the
//                      jitter (default 1 s) earlier or later
//     --same-name      every return keeps the first kernel name
//     --runner         tarvio-run monitor instead of the console's window
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>

#include <cstdio>
#include <map>

#include <unistd.h>

#include "BenchConsole.h"
#include "BenchSupport.h"
#include "console/MeasurementLog.h"
#include "console/QueryBatch.h"
#include "platform/Controls.h"
#include "platform/Fonts.h"

namespace {

struct Settings {
    double Minutes = 60;
    double VanishEvery = 50;
    double ReturnAfter = 10;
    double ReturnJitter = 1;
    int GarbleEvery = 97;   // prime, so the spoiled reply falls on each of the four queries in turn
    int LogMs = 500;   // the console's own default
    bool SameName = false;
    bool Runner = false;
};

bool ParseArguments(int argc, char** argv, Settings& s)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        const bool hasValue = i + 1 < argc;
        bool ok = hasValue;
        if (arg == "--same-name" || arg == "--runner") {
            (arg == "--runner" ? s.Runner : s.SameName) = true;
            continue;
        }
        if (!hasValue)
            return false;
        const QByteArray value(argv[++i]);
        if (arg == "--minutes")
            s.Minutes = value.toDouble(&ok);
        else if (arg == "--vanish-every")
            s.VanishEvery = value.toDouble(&ok);
        else if (arg == "--return-after")
            s.ReturnAfter = value.toDouble(&ok);
        else if (arg == "--return-jitter")
            s.ReturnJitter = value.toDouble(&ok);
        else if (arg == "--garble-every")
            s.GarbleEvery = value.toInt(&ok);
        else if (arg == "--log-ms")
            s.LogMs = value.toInt(&ok);
        else
            return false;
        if (!ok)
            return false;
    }
    return s.Minutes > 0 && s.VanishEvery > 0 && s.ReturnJitter >= 0 && s.ReturnAfter - s.ReturnJitter / 2 >= 0
        && s.GarbleEvery > 0 && s.LogMs >= 500;
}

struct Stamp {
    double Seconds;
    QString Kind;
};

// The supply's record, reduced to what the soak measures: returns, vanishings
// and commands received.
std::vector<Stamp> ReadRecord(const QString& path)
{
    std::vector<Stamp> stamps;
    for (const bench::RecordLine& line : bench::ReadSimRecord(path))
        if (line.Kind == QLatin1String("VANISH") || line.Kind == QLatin1String("RETURN")
            || line.Kind == QLatin1String("LF") || line.Kind == QLatin1String("CR"))
            stamps.push_back({line.Seconds, line.Kind == QLatin1String("CR") ? QStringLiteral("LF") : line.Kind});
    return stamps;
}

// A stretch in which the device was on the line: from its appearance to its
// vanishing (or the end of the run).
struct Window {
    double From = 0, To = 0;
    double FirstPoll = -1;     // first command the supply received in it
    double FirstRecord = -1;   // first log record written in it
    long Records = 0;
    long Expected = 0;
    bool Ambiguous = false;    // the window ended within a whisker of a log tick
};

// Appended log lines, counted as they come: the log's folder is read after
// each log tick, so every record gets the time it was written.
class LogCounter {
public:
    explicit LogCounter(QString folder) : folder_(std::move(folder)) {}
    long NewRecords()
    {
        long added = 0;
        for (const QString& name : QDir(folder_).entryList({QStringLiteral("*_MS.txt")}, QDir::Files, QDir::Name)) {
            QFile file(QDir(folder_).filePath(name));
            qint64& offset = offsets_[name];
            if (file.size() <= offset || !file.open(QIODevice::ReadOnly) || !file.seek(offset))
                continue;
            const QByteArray bytes = file.readAll();
            offset += bytes.size();
            added += bytes.count('\n');
        }
        return added;
    }

private:
    QString folder_;
    std::map<QString, qint64> offsets_;
};

// User plus system CPU seconds of another process, from /proc; -1 when unreadable.
double ProcessCpuSeconds(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    // The command name may hold spaces; the fields are counted after its ")".
    const QByteArray stat = file.readAll();
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    return double(fields.at(11).toLongLong() + fields.at(12).toLongLong()) / double(sysconf(_SC_CLK_TCK));
}

QString LastInfoLines(QTextDocument* document, int count)
{
    QStringList lines;
    for (QTextBlock block = document->lastBlock(); block.isValid() && lines.size() < count; block = block.previous())
        if (!block.text().trimmed().isEmpty())
            lines.prepend(QStringLiteral("    ") + block.text());
    return lines.join(QLatin1Char('\n'));
}

QString LoadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).section(QLatin1Char(' '), 0, 2)
                                          : QString();
}

} // namespace

int main(int argc, char** argv)
{
    Settings settings;
    if (!ParseArguments(argc, argv, settings)) {
        std::fprintf(stderr,
                     "usage: %s [--minutes N] [--vanish-every S] [--return-after S] [--return-jitter S]"
                     " [--garble-every N] [--log-ms MS] [--same-name] [--runner]\n",
                     argv[0]);
        return 2;
    }

    QTemporaryDir work;
    const QDir dir(work.path());
    for (const char* sub : {"dev", "by-id", "logs"})
        dir.mkpath(QString::fromLatin1(sub));
    const QString kernelName = dir.filePath(QStringLiteral("dev/ttyUSB0"));
    const QString renamed = dir.filePath(QStringLiteral("dev/ttyUSB1"));
    const QString stableName = dir.filePath(QStringLiteral("by-id/usb-Sim_Supply_QPX-30R03D-if00-port0"));
    const QString record = dir.filePath(QStringLiteral("record.tsv"));
    const QString logFolder = dir.filePath(QStringLiteral("logs"));
    // Read by the port when it is made: the stable names live in our folder.
    qputenv("TARVIO_SERIAL_BY_ID", QFile::encodeName(dir.filePath(QStringLiteral("by-id"))));

    bench::PreferOffscreen();
    QApplication app(argc, argv);
    InstallFontSubstitutions();

    QStringList simArgs = {QStringLiteral("--link"), kernelName, QStringLiteral("--stable-link"), stableName,
                           QStringLiteral("--vanish-every"), QString::number(settings.VanishEvery),
                           QStringLiteral("--return-after"),
                           QString::number(settings.ReturnAfter - settings.ReturnJitter / 2),
                           QStringLiteral("--return-jitter"), QString::number(settings.ReturnJitter),
                           QStringLiteral("--garble-every"), QString::number(settings.GarbleEvery),
                           QStringLiteral("--record"), record};
    if (!settings.SameName)
        simArgs << QStringLiteral("--return-as") << renamed;
    QProcess sim;
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const double simStarted = bench::MonotonicSeconds();
    sim.start(QStringLiteral(TARVIO_SIM_PATH), simArgs);
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000) || !QFileInfo(stableName).isSymLink()) {
        std::fprintf(stderr, "tarvio-sim did not start\n");
        return 1;
    }
    // Its stdout names each new terminal; nobody needs it, but the pipe must not fill.
    QObject::connect(&sim, &QProcess::readyReadStandardOutput, [&sim] { sim.readAllStandardOutput(); });

    // The console, or tarvio-run in its place; the console's window exists
    // in both cases, so the benchmark's own footprint is the same.
    bench::Console console(kernelName);
    frmMain& window = console.Window;
    QProcess runner;
    const int pollMs = PollIntervalMs(false);
    double monitoringFrom = bench::MonotonicSeconds();
    if (settings.Runner) {
        runner.setProcessChannelMode(QProcess::SeparateChannels);
        runner.start(QStringLiteral(TARVIO_RUN_PATH),
                     {QStringLiteral("monitor"), QStringLiteral("--outputs"), QStringLiteral("2"), QStringLiteral("--interval"),
                      QString::number(settings.LogMs), QStringLiteral("--log-folder"), logFolder, QStringLiteral("--port"),
                      kernelName});
        if (!runner.waitForStarted(5000)) {
            std::fprintf(stderr, "tarvio-run did not start\n");
            return 1;
        }
    } else {
        window.Controller().LogFolder = logFolder;
        FindControl<UpDown>(window, "UpDownTi")->SetValue(settings.LogMs);
        FindControl<QRadioButton>(window, "OptionDual")->setChecked(true);
        if (!console.OpenComOne()) {
            std::fprintf(stderr, "the port did not open: %s\n", qPrintable(console.Services.Messages.join(' ')));
            return 1;
        }
        FindControl<QRadioButton>(window, "OptionMonitorCmd")->setChecked(true);
        if (!FindControl<QTimer>(window, "Timer3")->isActive() || !FindControl<QTimer>(window, "Timer4")->isActive()) {
            std::fprintf(stderr, "monitoring did not start\n");
            return 1;
        }
        monitoringFrom = bench::MonotonicSeconds();
    }
    const double runSeconds = settings.Minutes * 60 + 10;
    std::printf("soak (%s): %.4g minutes of dual monitoring, poll %d ms, log %d ms; the adapter vanishes every %.4g s"
                " and returns after %.4g s (+-%.4g s)%s; every %d-th reply garbled\n",
                settings.Runner ? "tarvio-run" : "console", settings.Minutes, pollMs, settings.LogMs,
                settings.VanishEvery, settings.ReturnAfter, settings.ReturnJitter / 2,
                settings.SameName ? "" : " under the other kernel name", settings.GarbleEvery);
    std::fflush(stdout);

    // A console left running overnight has long filled its message panel;
    // filling it (about 3.7 MB, see bench_long_monitoring) would otherwise
    // pass for growth of the hour.
    const QString stamp = LogTimestamp(QDateTime::currentDateTime());
    for (int line = 0; !settings.Runner && line < frmMain::MaxInfoLines; line += 2) {
        FindControl<TextPanel>(window, "TextInfo")->InsertText(BuildDualEchoLine(1, QStringLiteral("12.000"), QStringLiteral("1.200"), stamp));
        FindControl<TextPanel>(window, "TextInfo")->InsertText(BuildDualEchoLine(2, QStringLiteral("5.000"), QStringLiteral("0.500"), stamp));
    }
    QCoreApplication::processEvents();

    // Each record, stamped after the log tick that wrote it; the runner's
    // ticks are not seen from here, so its file is read when the file system
    // says it changed (a poll every 10 ms alone stamped a record written just
    // before a pull as written after it).
    LogCounter counter(logFolder);
    std::vector<double> recordTimes;
    long ticks = 0, emptyTicks = 0;
    bool present = true;
    auto countRecords = [&] {
        const double now = bench::MonotonicSeconds();
        const long added = counter.NewRecords();
        for (long n = added; n > 0; --n)
            recordTimes.push_back(now);
        return added;
    };
    QTimer readLog;
    readLog.setTimerType(Qt::PreciseTimer);
    QObject::connect(&readLog, &QTimer::timeout, countRecords);
    QStringList runnerLines;
    QFileSystemWatcher logWatcher;
    if (settings.Runner) {
        readLog.start(10);
        logWatcher.addPath(logFolder);
        auto watchFiles = [&] {
            for (const QString& name : QDir(logFolder).entryList({QStringLiteral("*_MS.txt")}, QDir::Files))
                if (!logWatcher.files().contains(QDir(logFolder).filePath(name)))
                    logWatcher.addPath(QDir(logFolder).filePath(name));
            countRecords();
        };
        QObject::connect(&logWatcher, &QFileSystemWatcher::directoryChanged, watchFiles);
        QObject::connect(&logWatcher, &QFileSystemWatcher::fileChanged, countRecords);
        QObject::connect(&runner, &QProcess::readyReadStandardError, [&] {
            for (const QByteArray& line : runner.readAllStandardError().split('\n'))
                if (!line.trimmed().isEmpty())
                    runnerLines << QString::fromLocal8Bit(line);
        });
    } else {
        QObject::connect(FindControl<QTimer>(window, "Timer4"), &QTimer::timeout, [&] {
            ++ticks;
            if (countRecords() == 0 && present)
                ++emptyTicks;
        });
    }
    const qint64 runnerPid = settings.Runner ? runner.processId() : 0;
    auto resident = [&] { return settings.Runner ? bench::ResidentKb(pid_t(runnerPid)) : bench::ResidentKb(); };
    auto cpu = [&] { return settings.Runner ? ProcessCpuSeconds(runnerPid) : bench::OwnCpuSeconds(); };
    // The runner's memory counts from its first record, once it has settled.
    for (QElapsedTimer waited; settings.Runner && recordTimes.empty();) {
        if (!waited.isValid())
            waited.start();
        if (waited.elapsed() > 10000) {
            std::fprintf(stderr, "tarvio-run wrote no record\n");
            return 1;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }

    // The stable link comes and goes with the device: the gaps, as the
    // console lived them, and what they cost it. Event-driven, so the
    // measurement adds nothing to the waiting itself.
    const long residentAtStart = resident();
    long residentAtFirstReturn = -1;
    double gapCpu = 0, gapWall = 0, gapCpuFrom = 0, gapFrom = 0;
    int returnsSeen = 0;
    QFileSystemWatcher watcher({dir.filePath(QStringLiteral("by-id"))});
    QObject::connect(&watcher, &QFileSystemWatcher::directoryChanged, [&] {
        const bool now = QFileInfo(stableName).isSymLink();
        if (now == present)
            return;
        present = now;
        const double t = bench::MonotonicSeconds();
        const double cpuNow = cpu();
        if (!present) {
            gapFrom = t;
            gapCpuFrom = cpuNow;
            return;
        }
        gapWall += t - gapFrom;
        gapCpu += cpuNow - gapCpuFrom;
        const long rss = resident();
        if (++returnsSeen == 1)
            residentAtFirstReturn = rss;
        std::printf("  return %3d at %7.1f s: VmRSS %ld kB, %zu records so far\n", returnsSeen, t - simStarted, rss,
                    recordTimes.size());
        std::fflush(stdout);
    });
    QObject::connect(&sim, &QProcess::finished, &app, [&] {
        std::fprintf(stderr, "tarvio-sim ended early\n");
        app.exit(1);
    });
    const double endAt = simStarted + runSeconds;
    QTimer end;
    end.setTimerType(Qt::PreciseTimer);
    end.setSingleShot(true);
    QObject::connect(&end, &QTimer::timeout, &app, &QApplication::quit);
    end.start(int((endAt - bench::MonotonicSeconds()) * 1000));
    QObject::connect(&runner, &QProcess::finished, &app, [&] {
        std::fprintf(stderr, "tarvio-run ended early\n");
        app.exit(1);
    });
    const int exitCode = app.exec();
    const double endedAt = bench::MonotonicSeconds();
    const long residentAtEnd = resident();
    if (settings.Runner) {
        QObject::disconnect(&runner, nullptr, nullptr, nullptr);
        runner.terminate();
        runner.waitForFinished(5000);
        countRecords();
    }
    QObject::disconnect(&sim, nullptr, nullptr, nullptr);
    sim.terminate();
    sim.waitForFinished(3000);
    if (exitCode != 0)
        return exitCode;

    // The windows the device was present, from the supply's own record.
    const std::vector<Stamp> stamps = ReadRecord(record);
    std::vector<Window> windows{Window{monitoringFrom, endedAt}};
    for (const Stamp& s : stamps) {
        if (s.Kind == QLatin1String("VANISH")) {
            windows.back().To = s.Seconds;
        } else if (s.Kind == QLatin1String("RETURN")) {
            windows.push_back(Window{s.Seconds, endedAt});
        } else if (windows.back().FirstPoll < 0 && s.Seconds >= windows.back().From) {
            windows.back().FirstPoll = s.Seconds;
        }
    }
    long recordsInGaps = 0;
    for (double t : recordTimes) {
        bool placed = false;
        for (Window& w : windows) {
            if (t >= w.From && t <= w.To) {
                if (w.FirstRecord < 0)
                    w.FirstRecord = t;
                ++w.Records;
                placed = true;
                break;
            }
        }
        recordsInGaps += placed ? 0 : 1;
    }
    // Poll and log timers start together when monitoring resumes, one poll
    // interval before the first poll; from there a record is due every log
    // interval until the device goes.
    const double logSeconds = settings.LogMs / 1000.0;
    long expected = 0, written = 0, missing = 0;
    int resumes = 0, cycles = 0;
    std::vector<double> toPoll, toRecord;
    std::printf("\n  cycle   back at   first poll   first record   records/expected\n");
    for (size_t i = 0; i < windows.size(); ++i) {
        Window& w = windows[i];
        // The runner's own start is not seen from here: its first poll tells when it began.
        const double resumedAt = i == 0 && !settings.Runner ? monitoringFrom : w.FirstPoll - pollMs / 1000.0;
        const double due = (w.To - resumedAt) / logSeconds;
        w.Expected = w.FirstPoll < 0 ? long(std::floor((w.To - w.From) / logSeconds)) : long(std::floor(due));
        w.Ambiguous = due - std::floor(due) < 0.05;
        // A return too close to the end of the run to have resumed is not a cycle.
        const bool counted = i > 0 && w.From + 5 < endedAt;
        if (i > 0 && counted) {
            ++cycles;
            const bool resumed = w.FirstPoll >= 0 && w.FirstRecord >= 0;
            resumes += resumed ? 1 : 0;
            if (w.FirstPoll >= 0)
                toPoll.push_back(w.FirstPoll - w.From);
            if (w.FirstRecord >= 0)
                toRecord.push_back(w.FirstRecord - w.From);
        }
        if (i == 0 || counted) {
            expected += w.Expected;
            written += w.Records;
            missing += std::max(0L, w.Expected - w.Records - (w.Ambiguous ? 1 : 0));
        }
        std::printf("  %5zu %9.1f %10.3f s %12.3f s %9ld/%ld%s\n", i, w.From - simStarted,
                    w.FirstPoll < 0 ? std::nan("") : w.FirstPoll - w.From,
                    w.FirstRecord < 0 ? std::nan("") : w.FirstRecord - w.From, w.Records, w.Expected,
                    counted || i == 0 ? "" : "  (at the end, not counted)");
    }

    bench::Report report(settings.Runner ? QStringLiteral("runner_soak") : QStringLiteral("soak"));
    report.Note(QStringLiteral("minutes"), settings.Minutes);
    report.Note(QStringLiteral("vanishEverySeconds"), settings.VanishEvery);
    report.Note(QStringLiteral("returnAfterSeconds"), settings.ReturnAfter);
    report.Note(QStringLiteral("returnJitterSeconds"), settings.ReturnJitter);
    report.Note(QStringLiteral("garbleEvery"), settings.GarbleEvery);
    report.Note(QStringLiteral("logMs"), settings.LogMs);
    report.Note(QStringLiteral("renamedOnReturn"), !settings.SameName);
    report.Note(QStringLiteral("program"), settings.Runner ? QStringLiteral("tarvio-run") : QStringLiteral("tarvio"));
    report.Note(QStringLiteral("messageBoxes"), int(console.Services.Messages.size()));
    report.Note(QStringLiteral("load"), LoadAverage());
    report.Figure(QStringLiteral("cycles"), QStringLiteral("vanish/return cycles"), cycles, QString(), 0);
    report.Target(QStringLiteral("resumes"), QStringLiteral("resumes achieved"), resumes, QStringLiteral("of cycles"),
                  cycles, 0, true);
    report.Target(QStringLiteral("returnToPollMedianS"), QStringLiteral("return to first poll, median"),
                  bench::Median(toPoll), QStringLiteral("s"), 1.2, 3);
    report.Target(QStringLiteral("returnToPollMaxS"), QStringLiteral("return to first poll, max"),
                  bench::Percentile(toPoll, 100), QStringLiteral("s"), 2.0, 3);
    report.Figure(QStringLiteral("returnToRecordMedianS"), QStringLiteral("return to first record, median"),
                  bench::Median(toRecord), QStringLiteral("s"), 3);
    report.Figure(QStringLiteral("returnToRecordMaxS"), QStringLiteral("return to first record, max"),
                  bench::Percentile(toRecord, 100), QStringLiteral("s"), 3);
    report.Figure(QStringLiteral("recordsWritten"), QStringLiteral("records written while present"), double(written),
                  QString(), 0);
    report.Figure(QStringLiteral("recordsExpected"), QStringLiteral("records expected while present"),
                  double(expected), QString(), 0);
    report.Target(QStringLiteral("recordsMissing"), QStringLiteral("records missing"), double(missing), QString(), 0, 0);
    report.Target(QStringLiteral("recordsInGaps"), QStringLiteral("records written in the gaps"), double(recordsInGaps),
                  QString(), 0, 0);
    if (!settings.Runner) {
        report.Figure(QStringLiteral("logTicks"), QStringLiteral("log ticks"), double(ticks), QString(), 0);
        report.Figure(QStringLiteral("logTicksWithoutRecord"),
                      QStringLiteral("log ticks that wrote nothing, device present"), double(emptyTicks), QString(), 0);
    }
    report.Figure(QStringLiteral("residentStartMB"), QStringLiteral("VmRSS at the start"), residentAtStart / 1024.0,
                  QStringLiteral("MB"), 1);
    report.Figure(QStringLiteral("residentEndMB"), QStringLiteral("VmRSS at the end"), residentAtEnd / 1024.0,
                  QStringLiteral("MB"), 1);
    report.Target(QStringLiteral("residentGrowthMB"), QStringLiteral("VmRSS growth over the run"),
                  (residentAtEnd - residentAtStart) / 1024.0, QStringLiteral("MB"), 2, 2);
    report.Figure(QStringLiteral("residentGrowthAfterFirstReturnMB"),
                  QStringLiteral("VmRSS growth after the first return"),
                  residentAtFirstReturn < 0 ? std::nan("") : (residentAtEnd - residentAtFirstReturn) / 1024.0,
                  QStringLiteral("MB"), 2);
    report.Figure(QStringLiteral("waitedSeconds"), QStringLiteral("time waited (stable link gone)"), gapWall,
                  QStringLiteral("s"), 1);
    report.Figure(QStringLiteral("waitingCpuSeconds"), QStringLiteral("CPU time while waiting"), gapCpu,
                  QStringLiteral("s"), 3);
    report.Target(QStringLiteral("waitingCpuPercent"), QStringLiteral("CPU while waiting"),
                  gapWall > 0 ? 100 * gapCpu / gapWall : std::nan(""), QStringLiteral("% core"), 0.5, 3);
    report.Print(QStringLiteral("Soak, %1 (%2 minutes, %3 cycles, %4 message boxes)")
                     .arg(settings.Runner ? QStringLiteral("tarvio-run") : QStringLiteral("console"))
                     .arg(settings.Minutes)
                     .arg(cycles)
                     .arg(console.Services.Messages.size()));
    if (settings.Runner) {
        std::printf("\ntarvio-run said %lld lines, %lld of them reconnections; the last:\n",
                    qint64(runnerLines.size()), qint64(runnerLines.filter(QStringLiteral("다시 연결됨")).size()));
        for (const QString& line : runnerLines.mid(std::max<qsizetype>(0, runnerLines.size() - 6)))
            std::printf("    %s\n", qPrintable(line));
    } else if (!report.AllMet())
        std::printf("\nThe message panel at the end:\n%s\n", qPrintable(LastInfoLines(FindControl<TextPanel>(window, "TextInfo")->document(), 20)));
    for (const QString& message : console.Services.Messages)
        std::printf("message box: %s\n", qPrintable(message));
    return report.AllMet() ? 0 : 1;
}
