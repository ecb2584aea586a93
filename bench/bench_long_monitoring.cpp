// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A day of dual monitoring with logging, in minutes: the main window's own
// handlers are called on a simulated clock, a poll every 400 ms answered by
// four replies and a log record every 500 ms, across midnight so a second
// day's file starts. Whatever grows with time shows as memory or as ticks
// that cost more at the end than at the start.
//
//   bench_long_monitoring [--quick] [--hours H]
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextDocument>

#include <climits>
#include <cstdio>

#include <malloc.h>

#include "BenchConsole.h"
#include "BenchSupport.h"
#include "console/MeasurementLog.h"
#include "console/QueryBatch.h"
#include "platform/Controls.h"
#include "platform/Fonts.h"

namespace {

// The instrument's side played in memory: writes vanish uncounted (a
// recording port would itself grow for a day) and replies are handed in.
class ReplyingPort : public SerialPort {
public:
    long Writes = 0;
    bool IsOpen() const override { return open_; }
    QByteArray ReadAll() override
    {
        QByteArray all;
        all.swap(waiting_);
        return all;
    }
    QString DeviceFor(int number) const override { return QStringLiteral("/dev/bench%1").arg(number); }
    void Receive(const QByteArray& bytes)
    {
        waiting_ += bytes;
        NotifyReceived(waiting_.size());
    }

protected:
    Outcome OpenDevice() override
    {
        open_ = true;
        return Outcome();
    }
    void CloseDevice() override { open_ = false; }
    qint64 PendingBytes() const override { return 0; }
    void WriteBytes(const QByteArray&) override { ++Writes; }

private:
    bool open_ = false;
    QByteArray waiting_;
};

// Bytes the allocator has handed out and not had back: growth here is memory
// still held, where growth of VmRSS alone may be the allocator keeping freed pages.
double HeapInUseMB()
{
    const struct mallinfo2 m = mallinfo2();
    return double(m.uordblks + m.hblkhd) / (1024.0 * 1024.0);
}

constexpr qint64 StepMs = 100;   // both periods are multiples of it
constexpr qint64 HourMs = 3600 * 1000;

// CPU time of this thread: what a tick costs, without the time other
// programs on the machine took the core away in the middle of it.
double ThreadCpuUs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e6 + double(now.tv_nsec) / 1e3;
}

struct Hour {
    double WallSeconds = 0;   // the hour as a whole, painting included
    double CpuSeconds = 0;
    long ResidentKb = 0;      // at the hour's end
    double HeapMB = 0;
};

// The samples of one hour: a slice of a series laid out before the run.
std::vector<double> Slice(const std::vector<double>& all, long perHour, size_t hour)
{
    return std::vector<double>(all.begin() + long(hour) * perHour, all.begin() + long(hour + 1) * perHour);
}

// Replies a supply could give, changing a little every poll so each readout
// and each record really changes.
QByteArray Reply(long poll, int query)
{
    const double base[] = {12.0, 1.2, 5.0, 0.5};
    return QByteArray::number(base[query] + double((poll * 7 + query * 13) % 97) * 0.001, 'f', 3) + '\n';
}

long CountLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    return long(file.readAll().count('\n'));
}

} // namespace

int main(int argc, char** argv)
{
    int hours = 24;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--quick")
            hours = 4;
        else if (arg == "--hours" && i + 1 < argc)
            hours = qMax(2, QByteArray(argv[++i]).toInt());
        else {
            std::fprintf(stderr, "usage: %s [--quick] [--hours H]\n", argv[0]);
            return 2;
        }
    }

    bench::PreferOffscreen();
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    QTemporaryDir logs;

    ProgramState state;
    bench::QuietServices services;
    ReplyingPort port;
    frmMain window(state, port, services);
    window.show();
    bench::OpenPlotWhenAsked(window);
    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<CommInit*>(QApplication::activeModalWidget()))
            FindControl<QPushButton>(*dialog, "CommInit_OK")->click();
    });
    window.CmdComport_Click();
    if (!port.IsOpen()) {
        std::fprintf(stderr, "the port did not open\n");
        return 1;
    }

    // Midnight falls in the middle of the run, whatever its length.
    const QDateTime start = QDateTime(QDate(2024, 6, 1), QTime(0, 0)).addMSecs(-hours * HourMs / 2);
    qint64 simulatedMs = 0;
    window.Controller().LogClock = [&] { return start.addMSecs(simulatedMs); };
    window.Controller().LogFolder = logs.path();
    FindControl<UpDown>(window, "UpDownTi")->SetValue(500);
    FindControl<QRadioButton>(window, "OptionDual")->setChecked(true);
    FindControl<QRadioButton>(window, "OptionMonitorCmd")->setChecked(true);
    const qint64 pollMs = PollIntervalMs(false);
    const qint64 logMs = FindControl<UpDown>(window, "UpDownTi")->Value();
    if (!FindControl<QTimer>(window, "Timer3")->isActive() || pollMs % StepMs || logMs % StepMs) {
        std::fprintf(stderr, "monitoring did not start as expected\n");
        return 1;
    }
    // The benchmark calls the handlers itself; the real timers stay running,
    // as the parser reads, but never come due.
    FindControl<QTimer>(window, "Timer3")->start(INT_MAX);
    FindControl<QTimer>(window, "Timer4")->start(INT_MAX);

    std::printf("long monitoring: %d simulated hours of dual monitoring, poll %lld ms, log %lld ms, from %s\n",
                hours, pollMs, logMs, qPrintable(start.toString(Qt::ISODate)));
    std::fflush(stdout);

    // Every sample has its place, written once, before the first figure is
    // taken: the benchmark's own bookkeeping must not pass for growth.
    const long pollsPerHour = long(HourMs / pollMs), logsPerHour = long(HourMs / logMs);
    std::vector<Hour> hourly(static_cast<size_t>(hours));
    std::vector<double> pollUs(size_t(pollsPerHour * hours), 0.0), logUs(size_t(logsPerHour * hours), 0.0);
    long polls = 0, logTicks = 0, firstLogWithPanelFull = -1;
    const long residentAtStart = bench::ResidentKb();
    const double heapAtStart = HeapInUseMB();
    QElapsedTimer hourClock;
    hourClock.start();
    double cpuAtHourStart = bench::OwnCpuSeconds();
    QElapsedTimer total;
    total.start();

    // One simulated step per turn of the event loop, so the window repaints
    // between them as it would between real ticks.
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        const size_t hour = size_t(simulatedMs / HourMs);
        if (simulatedMs % pollMs == 0) {
            const double t0 = ThreadCpuUs();
            window.Timer3_Timer();
            for (int query = 0; query < 4; ++query)
                port.Receive(Reply(polls, query));
            pollUs[size_t(polls++)] = ThreadCpuUs() - t0;
        }
        if (simulatedMs % logMs == 0) {
            if (firstLogWithPanelFull < 0 && FindControl<TextPanel>(window, "TextInfo")->document()->blockCount() >= frmMain::MaxInfoLines)
                firstLogWithPanelFull = logTicks;
            const double t0 = ThreadCpuUs();
            window.Timer4_Timer();
            logUs[size_t(logTicks++)] = ThreadCpuUs() - t0;
        }
        simulatedMs += StepMs;
        if (simulatedMs % HourMs == 0) {
            Hour& h = hourly[hour];
            h.WallSeconds = double(hourClock.nsecsElapsed()) / 1e9;
            h.CpuSeconds = bench::OwnCpuSeconds() - cpuAtHourStart;
            h.ResidentKb = bench::ResidentKb();
            h.HeapMB = HeapInUseMB();
            hourClock.restart();
            cpuAtHourStart = bench::OwnCpuSeconds();
            std::printf("  hour %2zu: %5.1f s, %5.1f s CPU, VmRSS %ld kB, heap in use %.2f MB\n", hour + 1,
                        h.WallSeconds, h.CpuSeconds, h.ResidentKb, h.HeapMB);
            std::fflush(stdout);
            if (simulatedMs >= hours * HourMs)
                app.quit();
        }
    });
    driver.start(0);
    app.exec();
    driver.stop();
    const double totalSeconds = double(total.nsecsElapsed()) / 1e9;

    const QStringList files = QDir(logs.path()).entryList({QStringLiteral("*_MS.txt")}, QDir::Files, QDir::Name);
    long records = 0;
    for (const QString& f : files)
        records += CountLines(QDir(logs.path()).filePath(f));
    const long expectedRecords = long(hours * HourMs / logMs);
    const bool readoutsLive = FindControl<QLabel>(window, "Label_P2_Current")->text() == QString::fromLatin1(Reply(polls - 1, 3).trimmed());

    bench::Report report(QStringLiteral("long_monitoring"));
    report.Note(QStringLiteral("simulatedHours"), hours);
    report.Note(QStringLiteral("polls"), qint64(polls));
    report.Note(QStringLiteral("logFiles"), int(files.size()));
    report.Note(QStringLiteral("logRecords"), qint64(records));
    report.Note(QStringLiteral("logRecordsExpected"), qint64(expectedRecords));
    report.Note(QStringLiteral("readoutsLive"), readoutsLive);
    report.Figure(QStringLiteral("wallSeconds"), QStringLiteral("time to simulate the run"), totalSeconds,
                  QStringLiteral("s"), 1);
    report.Figure(QStringLiteral("residentStartMB"), QStringLiteral("VmRSS at the start"), residentAtStart / 1024.0,
                  QStringLiteral("MB"), 1);
    report.Figure(QStringLiteral("residentEndMB"), QStringLiteral("VmRSS at the end"),
                  hourly.back().ResidentKb / 1024.0, QStringLiteral("MB"), 1);
    report.Target(QStringLiteral("residentGrowthMB"), QStringLiteral("VmRSS growth over the run"),
                  (hourly.back().ResidentKb - residentAtStart) / 1024.0, QStringLiteral("MB"), 10, 1);
    report.Figure(QStringLiteral("residentGrowthAfterFirstHourMB"), QStringLiteral("VmRSS growth after hour 1"),
                  (hourly.back().ResidentKb - hourly.front().ResidentKb) / 1024.0, QStringLiteral("MB"), 1);

    report.Figure(QStringLiteral("heapGrowthMB"), QStringLiteral("heap in use, growth over the run"),
                  hourly.back().HeapMB - heapAtStart, QStringLiteral("MB"), 2);
    report.Figure(QStringLiteral("heapGrowthAfterFirstHourMB"), QStringLiteral("heap in use, growth after hour 1"),
                  hourly.back().HeapMB - hourly.front().HeapMB, QStringLiteral("MB"), 2);

    const Hour& first = hourly.front();
    const Hour& last = hourly.back();
    const std::vector<double> pollFirst = Slice(pollUs, pollsPerHour, 0);
    const std::vector<double> pollLast = Slice(pollUs, pollsPerHour, hourly.size() - 1);
    const std::vector<double> logFirst = Slice(logUs, logsPerHour, 0);
    const std::vector<double> logLast = Slice(logUs, logsPerHour, hourly.size() - 1);
    report.Figure(QStringLiteral("pollFirstHourUs"), QStringLiteral("poll tick, hour 1 (median)"),
                  bench::Median(pollFirst), QStringLiteral("us"), 1);
    report.Figure(QStringLiteral("pollLastHourUs"), QStringLiteral("poll tick, last hour (median)"),
                  bench::Median(pollLast), QStringLiteral("us"), 1);
    report.Target(QStringLiteral("pollCostRatio"), QStringLiteral("poll tick, last/first"),
                  bench::Median(pollLast) / bench::Median(pollFirst), QStringLiteral("x"), 1.5);
    report.Figure(QStringLiteral("logFirstHourUs"), QStringLiteral("log tick, hour 1 (median)"),
                  bench::Median(logFirst), QStringLiteral("us"), 1);
    report.Figure(QStringLiteral("logLastHourUs"), QStringLiteral("log tick, last hour (median)"),
                  bench::Median(logLast), QStringLiteral("us"), 1);
    // TextInfo reaches its line limit within the first hour; after that a
    // record also drops the oldest line.
    const long fillEnd = firstLogWithPanelFull < 0 ? logTicks : firstLogWithPanelFull;
    report.Figure(QStringLiteral("logWhilePanelFillsUs"), QStringLiteral("log tick while TextInfo fills"),
                  bench::Median(std::vector<double>(logUs.begin(), logUs.begin() + fillEnd)), QStringLiteral("us"), 1);
    report.Figure(QStringLiteral("logOncePanelFullUs"), QStringLiteral("log tick once TextInfo is full"),
                  bench::Median(std::vector<double>(logUs.begin() + fillEnd, logUs.begin() + logTicks)),
                  QStringLiteral("us"), 1);
    report.Target(QStringLiteral("logCostRatio"), QStringLiteral("log tick, last/first"),
                  bench::Median(logLast) / bench::Median(logFirst), QStringLiteral("x"), 1.5);
    // Everything the hour cost the process, painting included, shared out over its polls.
    const double firstPerPoll = first.CpuSeconds * 1e6 / double(pollsPerHour);
    const double lastPerPoll = last.CpuSeconds * 1e6 / double(pollsPerHour);
    report.Figure(QStringLiteral("cpuPerPollFirstHourUs"), QStringLiteral("all work per poll, hour 1"),
                  firstPerPoll, QStringLiteral("us"), 1);
    report.Figure(QStringLiteral("cpuPerPollLastHourUs"), QStringLiteral("all work per poll, last hour"),
                  lastPerPoll, QStringLiteral("us"), 1);
    report.Target(QStringLiteral("allWorkCostRatio"), QStringLiteral("all work per poll, last/first"),
                  lastPerPoll / firstPerPoll, QStringLiteral("x"), 1.5);
    const bool sane = files.size() == 2 && records == expectedRecords && readoutsLive;
    report.Print(QStringLiteral("Long monitoring (%1 simulated hours, %2 log files, %3 records%4)")
                     .arg(hours)
                     .arg(files.size())
                     .arg(records)
                     .arg(sane ? QString() : QStringLiteral(", NOT AS EXPECTED")));
    return sane ? 0 : 1;
}
