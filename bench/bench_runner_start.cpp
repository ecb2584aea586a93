// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// tarvio-run beside the console, in one run: from the process's start to the
// first command the simulated supply receives, and the resident memory once
// both outputs have been monitored for a while. The two programs take turns
// on the same supply. The console's clicks (열기 in the port dialog, Dual,
// 모니터 명령) are made at once by a copy of this program that builds the real
// main window, so its figure is the console's own cost, not a hand's.
//
// Monitoring sends its first poll one poll interval after it starts, in both
// programs, and a pattern its first step on the run timer's first tick;
// "own start-up" is the first command's arrival less that wait. tarvio-run
// playing a pattern takes a third turn.
//
//   bench_runner_start [--runs N] [--monitor-s S]
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "BenchConsole.h"
#include "BenchSupport.h"
#include "console/QueryBatch.h"
#include "pattern/RunEngine.h"
#include "platform/Controls.h"
#include "platform/Fonts.h"

namespace {

// The console, its operator's clicks made at once: the child this program starts as --as-console.
int AsConsole(int argc, char** argv, const QString& link, const QString& logs)
{
    bench::PreferOffscreen();
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    bench::Console console(link);
    console.Window.Controller().LogFolder = logs;
    FindControl<QRadioButton>(console.Window, "OptionDual")->setChecked(true);
    if (!console.OpenComOne())
        return 1;
    FindControl<QRadioButton>(console.Window, "OptionMonitorCmd")->setChecked(true);
    return app.exec();
}

long StatusKb(pid_t pid, const char* field)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qsizetype(std::strlen(field))).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Commands as the supply records them, read on from where the last call stopped.
class RecordTail {
public:
    explicit RecordTail(QString path) : path_(std::move(path)) {}
    // The arrival of the first command recorded at or after `after`, or -1.
    double FirstCommandAfter(double after)
    {
        QFile file(path_);
        if (!file.open(QIODevice::ReadOnly) || !file.seek(offset_))
            return -1;
        const QByteArray bytes = file.readAll();
        const qsizetype complete = bytes.lastIndexOf('\n') + 1;
        offset_ += complete;
        for (const QByteArray& line : bytes.left(complete).split('\n')) {
            const QList<QByteArray> fields = line.split('\t');
            if (fields.size() >= 3 && (fields.at(1) == "LF" || fields.at(1) == "CR") && fields.at(0).toDouble() >= after)
                return fields.at(0).toDouble();
        }
        return -1;
    }

private:
    QString path_;
    qint64 offset_ = 0;
};

struct Sample {
    double FirstCommandMs = -1;
    long ResidentKb = -1, PeakKb = -1;
};

Sample StartOnce(const std::vector<QByteArray>& command, RecordTail& record, int monitorMs)
{
    std::vector<char*> argv;
    for (const QByteArray& a : command)
        argv.push_back(const_cast<char*>(a.constData()));
    argv.push_back(nullptr);
    Sample s;
    const double t0 = bench::MonotonicSeconds();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_RDWR);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    while (bench::MonotonicSeconds() - t0 < 10) {
        const double at = record.FirstCommandAfter(t0);
        if (at >= 0) {
            s.FirstCommandMs = (at - t0) * 1000;
            break;
        }
        usleep(1000);
    }
    if (s.FirstCommandMs >= 0) {
        usleep(useconds_t(monitorMs) * 1000);
        s.ResidentKb = StatusKb(pid, "VmRSS:");
        s.PeakKb = StatusKb(pid, "VmHWM:");
    }
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    // Whatever it sent last is read past, so the next start is timed from a quiet record.
    usleep(300000);
    record.FirstCommandAfter(bench::MonotonicSeconds());
    return s;
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 10, monitorMs = 3000;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--as-console" && i + 2 < argc)
            return AsConsole(argc, argv, QString::fromLocal8Bit(argv[i + 1]), QString::fromLocal8Bit(argv[i + 2]));
        if (arg == "--runs" && i + 1 < argc)
            runs = qMax(1, QByteArray(argv[++i]).toInt());
        else if (arg == "--monitor-s" && i + 1 < argc)
            monitorMs = qMax(1, QByteArray(argv[++i]).toInt()) * 1000;
        else {
            std::fprintf(stderr, "usage: %s [--runs N] [--monitor-s S]\n", argv[0]);
            return 2;
        }
    }

    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("com1"));
    const QString record = dir.filePath(QStringLiteral("record.txt"));
    const QString logs = dir.filePath(QStringLiteral("logs"));
    QDir().mkpath(logs);
    QProcess sim;
    sim.start(QStringLiteral(TARVIO_SIM_PATH), {QStringLiteral("--demo"), QStringLiteral("--link"), link,
                                                QStringLiteral("--record"), record});
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000) || !QFile::exists(link)) {
        std::fprintf(stderr, "the simulated supply did not start\n");
        return 1;
    }

    const std::vector<QByteArray> runner{TARVIO_RUN_PATH, "monitor", "--outputs", "2", "--port", QFile::encodeName(link),
                                         "--log-folder", QFile::encodeName(logs), "--quiet"};
    const QString pattern = dir.filePath(QStringLiteral("pattern.txt"));
    QFile patternFile(pattern);
    if (!patternFile.open(QIODevice::WriteOnly) || patternFile.write("0,5,1\r\n1,6,1\r\n") < 0)
        return 1;
    patternFile.close();
    const std::vector<QByteArray> runnerPattern{TARVIO_RUN_PATH, "pattern", QFile::encodeName(pattern), "--output", "P1",
                                                "--repeat", "forever", "--port", QFile::encodeName(link), "--quiet"};
    const std::vector<QByteArray> console{QFile::encodeName(QCoreApplication::applicationFilePath()), "--as-console",
                                          QFile::encodeName(link), QFile::encodeName(logs)};
    const double pollMs = PollIntervalMs(false);
    std::printf("start and memory: %d runs each of tarvio-run and the console monitoring both outputs and of"
                " tarvio-run playing a pattern, in turn; memory read after %d s; first poll due %.0f ms after"
                " monitoring starts, first step %d ms after a run starts\n",
                runs, monitorMs / 1000, pollMs, RunTimerMs);
    std::printf("  run  program             first command ms  VmRSS MB  VmHWM MB\n");
    const std::vector<QByteArray>* commands[3] = {&runner, &console, &runnerPattern};
    const char* names[3] = {"tarvio-run", "console", "tarvio-run pattern"};
    std::vector<double> first[3], resident[3], peak[3];
    int failures = 0;
    RecordTail tail(record);
    for (int i = 1; i <= runs; ++i)
        for (int p = 0; p < 3; ++p) {
            const Sample s = StartOnce(*commands[p], tail, monitorMs);
            std::printf("  %3d  %-18s  %16.1f  %8.1f  %8.1f\n", i, names[p], s.FirstCommandMs, s.ResidentKb / 1024.0,
                        s.PeakKb / 1024.0);
            std::fflush(stdout);
            if (s.FirstCommandMs < 0 || s.ResidentKb < 0) {
                ++failures;
                continue;
            }
            first[p].push_back(s.FirstCommandMs);
            resident[p].push_back(s.ResidentKb / 1024.0);
            peak[p].push_back(s.PeakKb / 1024.0);
        }
    sim.terminate();
    sim.waitForFinished(3000);

    bench::Report report(QStringLiteral("runner_start"));
    report.Note(QStringLiteral("runs"), runs);
    report.Note(QStringLiteral("failedRuns"), failures);
    report.Note(QStringLiteral("pollIntervalMs"), pollMs);
    report.Figure(QStringLiteral("runnerFirstCommandMs"), QStringLiteral("tarvio-run: start to first command (median)"),
                  bench::Median(first[0]), QStringLiteral("ms"), 1);
    std::vector<double> own[3];
    for (int p = 0; p < 3; ++p)
        for (double ms : first[p])
            own[p].push_back(ms - (p == 2 ? RunTimerMs : pollMs));
    report.Target(QStringLiteral("runnerOwnStartMs"), QStringLiteral("tarvio-run: own start-up (median)"),
                  bench::Median(own[0]), QStringLiteral("ms"), 50, 1);
    report.Figure(QStringLiteral("runnerOwnStartMaxMs"), QStringLiteral("tarvio-run: own start-up (slowest)"),
                  bench::Percentile(own[0], 100), QStringLiteral("ms"), 1);
    report.Target(QStringLiteral("runnerResidentMB"), QStringLiteral("tarvio-run: VmRSS monitoring (median)"),
                  bench::Median(resident[0]), QStringLiteral("MB"), 15, 1);
    report.Figure(QStringLiteral("runnerPeakMB"), QStringLiteral("tarvio-run: VmHWM (median)"), bench::Median(peak[0]),
                  QStringLiteral("MB"), 1);
    report.Figure(QStringLiteral("consoleFirstCommandMs"), QStringLiteral("console: start to first command (median)"),
                  bench::Median(first[1]), QStringLiteral("ms"), 1);
    report.Figure(QStringLiteral("consoleOwnStartMs"), QStringLiteral("console: own start-up (median)"),
                  bench::Median(own[1]), QStringLiteral("ms"), 1);
    report.Figure(QStringLiteral("consoleResidentMB"), QStringLiteral("console: VmRSS monitoring (median)"),
                  bench::Median(resident[1]), QStringLiteral("MB"), 1);
    report.Figure(QStringLiteral("consolePeakMB"), QStringLiteral("console: VmHWM (median)"), bench::Median(peak[1]),
                  QStringLiteral("MB"), 1);
    report.Figure(QStringLiteral("runnerPatternFirstCommandMs"),
                  QStringLiteral("tarvio-run pattern: start to first step (median)"), bench::Median(first[2]),
                  QStringLiteral("ms"), 1);
    report.Figure(QStringLiteral("runnerPatternOwnStartMs"), QStringLiteral("tarvio-run pattern: own start-up (median)"),
                  bench::Median(own[2]), QStringLiteral("ms"), 1);
    report.Figure(QStringLiteral("runnerPatternResidentMB"), QStringLiteral("tarvio-run pattern: VmRSS (median)"),
                  bench::Median(resident[2]), QStringLiteral("MB"), 1);
    report.Print(QStringLiteral("tarvio-run beside the console (%1 runs each)").arg(runs));
    return failures == 0 ? 0 : 1;
}
