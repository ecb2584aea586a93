// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The trend plot's costs: a simulated week of dual monitoring appended to the
// sample store, its memory, redraws of a week, an hour and a minute on a
// 1280-pixel-wide chart, and a large measurement log opened in slices while
// the event loop is watched for stalls.
//   bench_plot [--quick] [--log-mb N]
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <random>
#include <time.h>

#include "BenchConsole.h"
#include "BenchSupport.h"
#include "plot/LogReader.h"
#include "plot/PlotView.h"
#include "plot/SampleStore.h"

namespace {

constexpr qint64 PollMs = 400;
constexpr qint64 WeekMs = 7LL * 24 * 3600 * 1000;

long PeakKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

void ResetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

double ThreadCpuMs()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Milliseconds of one refresh plus a full repaint of the chart, the view
// moving on by one refresh interval each time as a followed view does; the
// thread's CPU time beside the wall time tells a busy machine apart.
std::vector<double> TimeRedraws(PlotView& view, qint64 t0, qint64 t1, int times, std::vector<double>* cpuMs = nullptr)
{
    std::vector<double> ms;
    for (int i = 0; i < times; ++i) {
        QElapsedTimer clock;
        clock.start();
        const double cpu = ThreadCpuMs();
        view.SetRange(t0 - (times - i) * 250, t1 - (times - i) * 250);
        view.viewport()->repaint();
        ms.push_back(clock.nsecsElapsed() / 1e6);
        if (cpuMs)
            cpuMs->push_back(ThreadCpuMs() - cpu);
    }
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    bool quick = false;
    int logMb = 500;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--quick") {
            quick = true;
            logMb = 50;
        } else if (arg == "--log-mb" && i + 1 < argc) {
            logMb = std::max(1, QByteArray(argv[++i]).toInt());
        } else {
            std::fprintf(stderr, "usage: %s [--quick] [--log-mb N]\n", argv[0]);
            return 2;
        }
    }
    bench::PreferOffscreen();
    QApplication app(argc, argv);
    bench::Report report(QStringLiteral("plot"));
    const qint64 weekMs = quick ? WeekMs / 7 : WeekMs;
    const qint64 start = QDateTime(QDate(2026, 1, 5), QTime(8, 0)).toMSecsSinceEpoch();

    // A week at the dual poll: each of the four series gets one reading a poll.
    const long residentBefore = bench::ResidentKb();
    SampleStore store;
    std::mt19937 random(7);
    std::normal_distribution<float> noise(0.0f, 0.002f);
    std::array<qint64, 64> histogram{};   // append cost in 10 ns steps, the last one open
    QElapsedTimer appendClock;
    qint64 appends = 0;
    for (qint64 t = 0; t < weekMs; t += PollMs)
        for (int s = 0; s < PlotSeriesCount; ++s) {
            const float v = (s % 2 ? 1.2f : 12.0f) + noise(random) + (t / 3'600'000 % 2 ? 0.1f : 0.0f);
            appendClock.start();
            store.Append(s, start + t + s * 100, v);
            const qint64 ns = appendClock.nsecsElapsed();
            ++histogram[std::min<qint64>(ns / 10, qint64(histogram.size()) - 1)];
            ++appends;
        }
    auto percentileNs = [&](double p) {
        qint64 seen = 0;
        for (std::size_t b = 0; b < histogram.size(); ++b)
            if ((seen += histogram[b]) >= qint64(p / 100.0 * appends))
                return double(b * 10 + 5);
        return double(histogram.size() * 10);
    };
    report.Figure(QStringLiteral("samplesPerSeries"), QStringLiteral("samples a series"),
                  double(appends / PlotSeriesCount), QStringLiteral(""), 0);
    report.Figure(QStringLiteral("appendMedianNs"), QStringLiteral("append, median (timer included)"),
                  percentileNs(50), QStringLiteral("ns"), 0);
    report.Figure(QStringLiteral("appendP99Ns"), QStringLiteral("append, 99th percentile"), percentileNs(99),
                  QStringLiteral("ns"), 0);
    report.Target(QStringLiteral("storeMB"), QStringLiteral("store memory, counted"), store.Bytes() / 1048576.0,
                  QStringLiteral("MB"), 64);
    report.Figure(QStringLiteral("residentGrowthMB"), QStringLiteral("resident memory growth"),
                  (bench::ResidentKb() - residentBefore) / 1024.0, QStringLiteral("MB"));
    report.Figure(QStringLiteral("rawKept"), QStringLiteral("raw samples kept, share"),
                  100.0 * store.Series(0).RawCount() / (appends / PlotSeriesCount), QStringLiteral("%"), 1);

    // Redraws at 1280 pixels: the chart is handed at most two points a column.
    PlotView view(store, [&store] { return store.LastTime(); });
    view.resize(1280, 600);
    view.show();
    app.processEvents();
    const qint64 end = store.LastTime() + 1;
    const int times = quick ? 5 : 20;
    struct Span {
        const char* key;
        const char* label;
        qint64 ms;
    };
    for (const Span& span : {Span{"redrawWeekMs", "redraw, whole run", end - start},
                             Span{"redrawHourMs", "redraw, one hour", 3'600'000},
                             Span{"redrawMinuteMs", "redraw, one minute", 60'000}}) {
        TimeRedraws(view, end - span.ms, end, 2);   // warm
        std::vector<double> cpu;
        const std::vector<double> ms = TimeRedraws(view, end - span.ms, end, times, &cpu);
        report.Target(QString::fromLatin1(span.key), QString::fromLatin1(span.label) + QStringLiteral(", median"),
                      bench::Median(ms), QStringLiteral("ms"), 16);
        report.Figure(QString::fromLatin1(span.key) + QStringLiteral("Max"),
                      QString::fromLatin1(span.label) + QStringLiteral(", slowest"),
                      *std::max_element(ms.begin(), ms.end()), QStringLiteral("ms"));
        report.Figure(QString::fromLatin1(span.key) + QStringLiteral("Cpu"),
                      QString::fromLatin1(span.label) + QStringLiteral(", CPU time median"), bench::Median(cpu),
                      QStringLiteral("ms"));
    }
    {
        std::vector<double> ms;
        for (int i = 0; i < times; ++i) {
            QElapsedTimer clock;
            clock.start();
            for (int s = 0; s < PlotSeriesCount; ++s)
                store.Series(s).Decimate(start, end, 1280);
            ms.push_back(clock.nsecsElapsed() / 1e6);
        }
        report.Figure(QStringLiteral("decimateWeekMs"), QStringLiteral("decimation alone, whole run, four series"),
                      bench::Median(ms), QStringLiteral("ms"));
        ms.clear();
        for (int i = 0; i < times; ++i) {
            QElapsedTimer clock;
            clock.start();
            view.SetRange(end - 3'600'000 - i * 250, end - i * 250);
            ms.push_back(clock.nsecsElapsed() / 1e6);
        }
        report.Figure(QStringLiteral("refreshHourMs"), QStringLiteral("hand-over alone (no paint), one hour"),
                      bench::Median(ms), QStringLiteral("ms"));
    }
    report.Figure(QStringLiteral("pointsHanded"), QStringLiteral("points handed, last redraw"), view.PointsHanded(),
                  QStringLiteral(""), 0);
    view.hide();

    // A large log written to /tmp, then opened the way the window opens it,
    // with a live view refreshing every 250 ms and a 10 ms timer watching the loop.
    const QString path = QDir::temp().filePath(QStringLiteral("tarvio-bench-%1_MS.txt").arg(QCoreApplication::applicationPid()));
    {
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        QDateTime when(QDate(2026, 1, 5), QTime(0, 0));
        QByteArray block;
        qint64 written = 0, n = 0;
        while (written < qint64(logMb) << 20) {
            const QByteArray stamp = when.toString(QStringLiteral("yyMMdd")).toLatin1()
                + (when.time().hour() < 12 ? " AM " : " PM ")
                + QByteArray::number((when.time().hour() + 11) % 12 + 1).rightJustified(2, '0')
                + when.toString(QStringLiteral(":mm:ss")).toLatin1();
            block += "P1: " + QByteArray::number(12.0 + (n % 50) / 1000.0, 'f', 3) + "\r   1.200\r   P2: 5.000\r   "
                + QByteArray::number(0.3 + (n % 7) / 1000.0, 'f', 3) + "\r   " + stamp + "\r\n";
            ++n;
            when = when.addMSecs(500);
            if (block.size() > (1 << 20)) {
                written += out.write(block);
                block.clear();
            }
        }
        out.write(block);
    }
    {
        ResetPeak();
        const long peakBefore = PeakKb();
        SampleStore logStore;
        PlotView logView(logStore, [&logStore] { return logStore.LastTime(); });
        logView.resize(1280, 600);
        logView.SetSpan(0);
        logView.show();
        LogLoader loader(logStore);
        QTimer refresh, watch;
        refresh.setTimerType(Qt::PreciseTimer);
        watch.setTimerType(Qt::PreciseTimer);
        QObject::connect(&refresh, &QTimer::timeout, [&] { logView.Refresh(); });
        QElapsedTimer sinceTick, clock;
        double longestGapMs = 0;
        std::vector<double> gaps;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            const double gap = sinceTick.nsecsElapsed() / 1e6;
            longestGapMs = std::max(longestGapMs, gap);
            gaps.push_back(gap);
            sinceTick.start();
        });
        QEventLoop loop;
        QObject::connect(&loader, &LogLoader::Finished, &loop, &QEventLoop::quit);
        clock.start();
        const Outcome started = loader.Start(path);
        if (!started.Ok()) {
            std::fprintf(stderr, "%s\n", qPrintable(started.Message()));
            return 1;
        }
        sinceTick.start();
        refresh.start(250);
        watch.start(10);
        loop.exec();
        const double seconds = clock.nsecsElapsed() / 1e9;
        report.Figure(QStringLiteral("logMB"), QStringLiteral("log file size"), double(loader.Size()) / 1048576.0,
                      QStringLiteral("MB"), 0);
        report.Figure(QStringLiteral("logRecords"), QStringLiteral("log records"), double(loader.Records()),
                      QStringLiteral(""), 0);
        report.Figure(QStringLiteral("logSeconds"), QStringLiteral("log open, total"), seconds, QStringLiteral("s"));
        report.Target(QStringLiteral("logPeakMB"), QStringLiteral("log open, peak memory growth"),
                      (PeakKb() - peakBefore) / 1024.0, QStringLiteral("MB"), 64 + 32);
        report.Target(QStringLiteral("logLongestGapMs"), QStringLiteral("log open, longest 10 ms tick gap"),
                      longestGapMs, QStringLiteral("ms"), 50);
        report.Figure(QStringLiteral("logGapP99Ms"), QStringLiteral("log open, tick gap p99"),
                      bench::Percentile(gaps, 99), QStringLiteral("ms"));
    }
    QFile::remove(path);
    report.Print(QStringLiteral("trend plot"));
    return 0;
}
