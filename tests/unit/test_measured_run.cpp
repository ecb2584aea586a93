// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A measured pattern run tick by tick on a clock of its own: when queries go
// out between the steps, what the replies do to the report and the limits,
// the error queue after a repetition, and the report's figures and file.
#include <QtTest>
#include <functional>

#include "pattern/MeasuredRun.h"
#include "support/PatternTables.h"
#include "support/Rows.h"

namespace {
using Answer = std::function<QStringList(const QByteArray& query)>;

QStringList Healthy(const QByteArray& query)
{
    if (query.startsWith("SYST:ERR?"))
        return {QStringLiteral("NO ERROR")};
    return {QStringLiteral("5.000"), QStringLiteral("0.500")};
}

struct Play {
    RunEngine engine;
    MeasuredRun run;
    qint64 us = 0;
    QList<int> stepTicks, queryTicks;
    QList<QByteArray> queries;
    QList<MeasuredRun::Reply> replies;
    int told = 0;

    Play(const char* steps, MeasuredRun::Settings settings, int repeats, int ticks, const Answer& answer = Healthy,
         bool transmitted = true)
    {
        engine.Start(Table(QString::fromLatin1(steps)), 1);
        run.Start(settings, engine, 0, QDateTime());
        for (int t = 1; t <= ticks && run.Running(); ++t) {
            us += 55000;
            const RunEngine::Tick tick = engine.OnTick(false, repeats);
            const MeasuredRun::TickResult r = run.OnTick(us, QDateTime(QDate(2026, 12, 8), QTime(2, 3, 4), Qt::OffsetFromUTC, 32400),
                                                         engine, tick, transmitted, engine.StepDueNextTick(false, repeats));
            told += r.TellUnanswered;
            if (tick.Sent)
                stepTicks << t;
            if (r.Query.isEmpty())
                continue;
            queryTicks << t;
            queries << r.Query;
            for (const QString& line : answer(r.Query))
                replies << run.OnReply(us, line);
        }
    }
    const ReportRow& Row(int i) const { return run.Report().Rows().at(size_t(i)); }
};

MeasuredRun::Settings Every(int ms, std::optional<double> volts = {}, std::optional<double> amps = {})
{
    MeasuredRun::Settings s;
    s.IntervalMs = ms;
    s.VoltageLimit = volts;
    s.CurrentLimit = amps;
    return s;
}
}

class TestMeasuredRun : public QObject {
    Q_OBJECT
private slots:
    void QueriesKeepClearOfSteps()
    {
        Play p("0 5 1|1 6 1|2 0 0", Every(200), 2, 160);
        QCOMPARE(p.stepTicks, (QList<int>{1, 20, 38, 39, 58, 76}));
        QCOMPARE(p.queryTicks.mid(0, 3), (QList<int>{2, 6, 10}));
        QCOMPARE(p.queries.first(), QByteArray("MEAS:VOLTA? P1\nMEAS:CURRA? P1\n"));
        int lastBatch = -100;
        for (int i = 0; i < p.queryTicks.size(); ++i) {
            const int t = p.queryTicks.at(i);
            QVERIFY2(!p.stepTicks.contains(t) && !p.stepTicks.contains(t + 1), qPrintable(QString::number(t)));
            if (!p.queries.at(i).startsWith("MEAS"))
                continue;
            QVERIFY((t - lastBatch) * 55 >= 200);
            lastBatch = t;
        }
        QCOMPARE(p.queries.count("SYST:ERR?\n"), 2);
        QCOMPARE(p.run.Report().Rows().size(), size_t(6));
        QCOMPARE(p.Row(1).Voltage.Count, 4);   // ticks 2..18 belong to step 1, 21..37 to step 2
        QCOMPARE(p.Row(3).PlannedMs, 38.0 * 55);
        QCOMPARE(p.Row(3).SentMs, 38.0 * 55);
        // Nothing waits behind a query that has not left the port; without measuring nothing is asked.
        QVERIFY(Play("0 5 1|1 6 1", Every(200), 1, 60, Healthy, false).queries.isEmpty());
        QVERIFY(Play("0 5 1|1 6 1", Every(0), 1, 60).queries.isEmpty());
    }

    void OldModelAsksInstantly()
    {
        MeasuredRun::Settings s = Every(500);
        s.NewModel = false;
        QCOMPARE(Play("0 5 1|9 0 0", s, 1, 5).queries.value(0), QByteArray("MEAS:VOLT? P1\nMEAS:CURR? P1\n"));
    }

    void SilentSupplyIsWaitedForThenCounted()
    {
        Play p("0 5 1|60 0 0", Every(200), 1, 60, [](const QByteArray&) { return QStringList(); });
        for (int i = 1; i < p.queryTicks.size(); ++i)
            QVERIFY((p.queryTicks.at(i) - p.queryTicks.at(i - 1)) * 55 >= MeasuredRun::TimeoutIntervals * 200);
        QCOMPARE(p.told, 1);
        QCOMPARE(p.Row(0).Missing, 2 * (p.queryTicks.size() - 1));
        QCOMPARE(p.Row(0).Voltage.Count, 0);
    }

    void RepliesAndLimits()
    {
        const struct { const char* name; const char* volts; const char* amps; std::optional<double> vLimit, aLimit; int readings, unreadable; bool trips; } cases[] = {
            {"within", "2.999", "0.500", 3.0, 0.5, 2, 0, false},
            {"at the limit", "3.000", "0.400", 3.0, {}, 2, 0, false},
            {"voltage above", "3.001", "0.400", 3.0, {}, 2, 0, true},
            {"current above, CR LF", "3.000\r", "0.612\r", {}, 0.5, 2, 0, true},
            {"not a number", "ERROR - 104", "x", 0.001, 0.001, 0, 2, false}};
        for (const auto& c : cases) {
            Play p("0 5 1|9 0 0", Every(500, c.vLimit, c.aLimit), 1, 3, [&c](const QByteArray&) {
                return QStringList{QString::fromLatin1(c.volts), QString::fromLatin1(c.amps)};
            });
            ROW_COMPARE(c.name, p.replies.size(), 2);
            ROW_COMPARE(c.name, p.Row(0).Voltage.Count + p.Row(0).Current.Count, c.readings);
            ROW_COMPARE(c.name, p.Row(0).Unreadable, c.unreadable);
            const bool tripped = p.replies.at(0).Trip.has_value() || p.replies.at(1).Trip.has_value();
            ROW_COMPARE(c.name, tripped, c.trips);
            ROW_COMPARE(c.name, p.run.Report().Summary().OutsideLimits, c.trips ? 1 : 0);
            ROW_COMPARE(c.name, p.replies.at(1).Which == MeasuredRun::Quantity::Current, true);
        }
        Play p("0 5 1|9 0 0", Every(500, {}, 0.5), 1, 3, [](const QByteArray&) { return QStringList{"3.000", "0.612"}; });
        const MeasuredRun::LimitTrip trip = *p.replies.at(1).Trip;
        QCOMPARE(trip.Reading, 0.612);
        QCOMPARE(trip.Step, 1);
        QCOMPARE(p.Row(0).LimitTrip, QStringLiteral("current 0.612 > 0.500"));
    }

    void ErrorQueueAfterEachRepetition()
    {
        const struct { const char* name; QStringList queue; int reads; } cases[] = {
            {"empty", {}, 1}, {"two errors", {"ERROR - 105", "ERROR - 101"}, 3}, {"never empty", QStringList(40, "ERROR - 105"), 16}};
        for (const auto& c : cases) {
            QStringList queue = c.queue;
            Play p("0 5 1|0.5 0 0", Every(200), 1, 40, [&queue](const QByteArray& q) {
                if (!q.startsWith("SYST:ERR?"))
                    return QStringList{"5.000", "0.500"};
                return QStringList{queue.isEmpty() ? QStringLiteral("NO ERROR") : queue.takeFirst()};
            });
            ROW_COMPARE(c.name, int(p.queries.count("SYST:ERR?\n")), c.reads);
            ROW_COMPARE(c.name, p.Row(1).SupplyErrors.size(), qMin(int(c.queue.size()), 16));
            ROW_COMPARE(c.name, p.run.Settled(), true);
        }
    }

    void Percentiles()
    {
        std::vector<double> values;
        for (int i = 200; i >= 1; --i)
            values.push_back(i);
        QCOMPARE(PercentileOf(values, 99), 198.0);
        values.resize(100);   // 200 down to 101
        QCOMPARE(PercentileOf(values, 99), 199.0);
        QCOMPARE(PercentileOf(values, 50), 150.0);
        QCOMPARE(PercentileOf({7}, 99), 7.0);
    }

    void ReportFile()
    {
        Play p("0 5 1|0.1 6 1", Every(0), 1, 10);
        p.run.End(RunEnd::Stopped);
        const QList<QByteArray> lines = p.run.Report().Csv().split('\n');
        QVERIFY(lines.at(0).startsWith("repetition,step,step_time_s,planned_ms,sent_ms,late_ms,sent_at,"));
        QCOMPARE(lines.size(), 4);   // header, two steps, the end of the last line
        QCOMPARE(lines.at(2), QByteArray("1,2,0.100,110,110.000,0.000,2026-12-08T02:03:04.000+09:00,6.000,1.000,"
                                         "0,,,,0,,,,0,0,,,stopped\r"));
        QCOMPARE(RunReportName(p.run.Report().StartedAt()), QStringLiteral("261208_020304_RUN.csv"));
        QVERIFY(!WriteRunReport(p.run.Report(), QStringLiteral("/nonexistent-folder/x.csv")).Ok());
    }

    void LimitAndIntervalFields()
    {
        const struct { const char* typed; const char* shown; bool accepted; } limits[] = {
            {"", "", true}, {" 0.5 ", "0.500", true}, {"1e1", "10.000", true}, {"abc", "ERROR", false},
            {"-1", "ERROR", false}, {"0", "ERROR", false}, {"0.0004", "ERROR", false}, {"5V", "ERROR", false}};
        for (const auto& l : limits) {
            const FieldValue v = AcceptLimitValue(QString::fromLatin1(l.typed));
            ROW_COMPARE(l.typed, v.Text, QString::fromLatin1(l.shown));
            ROW_COMPARE(l.typed, v.Accepted, l.accepted);
        }
        QCOMPARE(LimitOf(QStringLiteral("ERROR")), std::optional<double>());
        QCOMPARE(TypedMeasureInterval(QStringLiteral("150"), 500), 200);
        QCOMPARE(TypedMeasureInterval(QStringLiteral("x"), 700), 700);
        QCOMPARE(TypedMeasureInterval(QStringLiteral("1000"), 500), 1000);
    }
};

QTEST_MAIN(TestMeasuredRun)
#include "test_measured_run.moc"
