// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/Readings.h"
#include "plot/SampleStore.h"

#include <QRandomGenerator>
#include <QtTest>
#include <algorithm>
#include <cmath>

namespace {

struct Sample {
    qint64 T;
    float V;
    bool BreakBefore;
};

// A series with uneven spacing, long silences and breaks far apart, loaded
// into `series` as it is made.
std::vector<Sample> RandomRun(quint32 seed, int count, SampleSeries* series)
{
    QRandomGenerator random(seed);
    std::vector<Sample> samples;
    qint64 t = 1'000'000;
    int sinceBreak = 0;
    for (int i = 0; i < count; ++i) {
        t += random.bounded(100) < 3 ? random.bounded(50'000) : random.bounded(1, 400);
        const bool breakHere = i > 0 && sinceBreak > 600 && random.bounded(100) < 1;
        sinceBreak = breakHere ? 0 : sinceBreak + 1;
        samples.push_back({t, float(random.bounded(-5000, 5000)) / 100.0f, breakHere});
        if (breakHere)
            series->Break();
        series->Append(t, samples.back().V);
    }
    return samples;
}

qint64 ColumnEnd(qint64 t0, qint64 t1, int columns, int p)
{
    return p == columns - 1 ? t1 : t0 + qint64(std::floor((p + 1) * (double(t1 - t0) / columns)));
}

} // namespace

// Checks the plot's sample store: decimation, the memory cap and the readings fed to it.
class TestPlotStore : public QObject {
    Q_OBJECT

private slots:
    // Every column shows exactly the extremes a full scan finds, at most two
    // points a column, and no line crosses a break.
    void DecimationMatchesAFullScan_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("from");   // view as fractions of the run
        QTest::addColumn<double>("to");
        QTest::addColumn<int>("columns");
        QTest::newRow("whole run, narrow") << 2u << 30000 << 0.0 << 1.0 << 97;
        QTest::newRow("zoomed past single samples") << 4u << 5000 << 0.5 << 0.5005 << 300;
    }
    void DecimationMatchesAFullScan()
    {
        QFETCH(quint32, seed);
        QFETCH(int, count);
        QFETCH(double, from);
        QFETCH(double, to);
        QFETCH(int, columns);
        SampleSeries series;
        const std::vector<Sample> samples = RandomRun(seed, count, &series);
        const qint64 first = samples.front().T, span = samples.back().T - first;
        const qint64 t0 = first + qint64(from * span), t1 = first + qint64(to * span);
        const std::vector<PlotRun> runs = series.Decimate(t0, t1, columns);

        // Per column: the extremes drawn against those of the samples in it.
        std::vector<float> drawnMin(columns, INFINITY), drawnMax(columns, -INFINITY);
        int inside = 0, breaksInView = 0;
        for (const PlotRun& run : runs)
            for (const PlotPoint& p : run) {
                if (p.T < t0 || p.T >= t1)
                    continue;
                ++inside;
                int col = int((p.T - t0) * columns / double(t1 - t0));
                while (col + 1 < columns && p.T >= ColumnEnd(t0, t1, columns, col))
                    ++col;
                drawnMin[col] = std::min(drawnMin[col], float(p.V));
                drawnMax[col] = std::max(drawnMax[col], float(p.V));
            }
        std::size_t k = 0;
        for (int p = 0; p < columns; ++p) {
            float lo = INFINITY, hi = -INFINITY;
            for (; k < samples.size() && samples[k].T < ColumnEnd(t0, t1, columns, p); ++k) {
                if (samples[k].T < t0)
                    continue;
                breaksInView += samples[k].BreakBefore;
                lo = std::min(lo, samples[k].V);
                hi = std::max(hi, samples[k].V);
            }
            QCOMPARE(drawnMin[p], lo);
            QCOMPARE(drawnMax[p], hi);
        }
        QVERIFY(inside <= 2 * columns + 2 * breaksInView);
        // No line crosses a break: every break in view starts a run of its own.
        QVERIFY(runs.size() >= std::size_t(breaksInView));
    }

    // Past the cap the oldest raw samples go, their extremes stay in view and
    // memory stops growing.
    void OldestSamplesLeaveASummary()
    {
        SampleStore store(2 << 20);
        const int perChunk = SampleSeries::ChunkSize;
        auto fill = [&store](qint64 from, qint64 to) {
            for (qint64 i = from; i < to; ++i)
                for (int s = 0; s < 2; ++s)
                    store.Append(s, i * 100, i == 5 ? 1000.0f : float(i % 7));
        };
        fill(0, 20 * perChunk);
        const std::size_t settled = store.Bytes();
        QVERIFY(settled <= std::size_t(2 << 20));
        fill(20 * perChunk, (2 * SampleSeries::MaxSummaries + 40) * perChunk);   // past a merge of summaries
        QVERIFY(store.Bytes() <= settled + std::size_t(SampleSeries::MaxSummaries) * 100);

        const SampleSeries& series = store.Series(0);
        QCOMPARE(store.FirstTime(), qint64(0));
        QVERIFY(series.FirstRawTime() > 20 * perChunk * 100);
        QVERIFY(series.RawCount() < 20 * perChunk);
        float top = -INFINITY;
        for (const PlotRun& run : series.Decimate(0, series.LastTime() + 1, 1280))
            for (const PlotPoint& p : run)
                top = std::max(top, float(p.V));
        QCOMPARE(top, 1000.0f);
        int raw = 0;
        series.ForEachRaw(0, series.LastTime() + 1, [&raw](qint64, float) { ++raw; });
        QCOMPARE(qint64(raw), series.RawCount());
    }

    // Samples are spaced by the monotonic clock from one wall-clock anchor;
    // set values become reference lines; non-numbers are only counted.
    void LiveReadingsStampAndRoute()
    {
        qint64 elapsed = 500;
        QDateTime wall(QDate(2005, 3, 9), QTime(14, 5, 7));
        LiveReadings live([&elapsed] { return elapsed; }, [&wall] { return wall; });
        const qint64 anchor = wall.toMSecsSinceEpoch();
        elapsed = 900;
        wall = wall.addSecs(-3600);   // the wall clock going back changes nothing
        live.Measured(3, QStringLiteral("0.250\r"), elapsed);
        live.SetValue(0, QStringLiteral("5.000\r"), elapsed);
        live.Measured(0, QStringLiteral("ERROR - 101\r"), elapsed);
        live.Interrupted();
        elapsed = 1300;
        live.Measured(3, QStringLiteral("0.300\r"), elapsed);

        const SampleStore& store = live.Store();
        QCOMPARE(live.Unreadable(), 1);
        QVERIFY(store.Series(0).Empty());
        QCOMPARE(store.Series(3).RawCount(), qint64(2));
        QCOMPARE(store.Series(3).FirstTime(), anchor + 400);
        QCOMPARE(store.Series(3).LastTime(), anchor + 800);
        QVERIFY(store.HasReferences(0));
        QCOMPARE(store.Series(3).Decimate(anchor, anchor + 1000, 100).size(), std::size_t(2));

        // Replies as the supply and the log hold them; none for what is no sample.
        const std::pair<const char*, std::optional<double>> replies[] = {{"12.000\r", 12}, {"  -0.500 \r", -0.5}, {"", {}},
            {"12.000V", {}}, {"nan", {}}, {"1e999", {}}, {"-4e38", {}}, {"3.4e38", 3.4e38}};
        for (const auto& [reply, value] : replies)
            QVERIFY2(ReadReading(QByteArrayView(reply)) == value, reply);
    }
};

QTEST_GUILESS_MAIN(TestPlotStore)
#include "test_plot_store.moc"
