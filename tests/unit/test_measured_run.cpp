// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The pattern run tick by tick: when each step goes out, what it sends, how
// repetitions are counted and end; and measured on a clock of its own: queries
// between the steps, replies against the limits, the error queue, the report.
#include <QtTest>
#include <functional>

#include "pattern/MeasuredRun.h"
#include "support/PatternTables.h"
#include "support/Rows.h"

namespace {
// The (1-based) ticks that sent a step.
QList<int> SentTicks(RunEngine& e, int ticks, bool repeatForever, int limit)
{
    QList<int> sent;
    for (int t = 1; t <= ticks; ++t) {
        if (e.OnTick(repeatForever, limit).Sent)
            sent << t;
    }
    return sent;
}

using Answer = std::function<QStringList(const QByteArray& query)>;
QStringList Healthy(const QByteArray& q) { return q.startsWith("SYST") ? QStringList{"NO ERROR"} : QStringList{"5.000", "0.500"}; }

struct Play {
    RunEngine engine;
    MeasuredRun run;
    QList<int> stepTicks, queryTicks;
    QList<QByteArray> queries;
    QList<MeasuredRun::Reply> replies;
    int told = 0;

    Play(const char* steps, MeasuredRun::Settings settings, int ticks, const Answer& answer = Healthy, bool transmitted = true, int repeats = 2)
    {
        engine.Start(Table(QString::fromLatin1(steps)), 1);
        run.Start(settings, engine, 0, QDateTime());
        const QDateTime wall(QDate(2026, 12, 8), QTime(2, 3, 4), Qt::OffsetFromUTC, 32400);
        for (int t = 1; t <= ticks; ++t) {
            const RunEngine::Tick tick = engine.OnTick(false, repeats);
            const MeasuredRun::TickResult r = run.OnTick(t * 55000LL, wall, engine, tick, transmitted, engine.StepDueNextTick(false, repeats));
            told += r.TellUnanswered;
            if (tick.Sent)
                stepTicks << t;
            if (!r.Query.isEmpty())
                queryTicks << t, queries << r.Query;
            for (const QString& line : r.Query.isEmpty() ? QStringList() : answer(r.Query))
                replies << run.OnReply(0, line);
        }
    }
    const ReportRow& Row(int i) const { return run.Report().Rows().at(size_t(i)); }
};
using Every = MeasuredRun::Settings;   // interval, new model, voltage and current limit
}

class TestMeasuredRun : public QObject {
    Q_OBJECT
private slots:
    void SendTicks()
    {
        const struct { const char* name; const char* steps; int limit; QList<int> sends; } cases[] = {
            {"three steps twice", "0 5 1|2 10 1|4 0 0", 2, {1, 38, 74, 75, 112, 148}},
            {"first step at 1 s", "1 5 1|2 6 1", 2, {20, 38, 58, 76}},
            {"times out of order", "0 1 1|2 2 1|1 3 1", 1, {1, 38, 39}}};
        for (const auto& c : cases) {
            RunEngine engine;
            QVERIFY2(engine.Start(Table(QString::fromLatin1(c.steps)), 1), c.name);
            ROW_COMPARE(c.name, SentTicks(engine, 400, false, c.limit), c.sends);
            ROW_COMPARE(c.name, engine.RepeatsDone(), c.limit);
        }
    }

    // Where a lost line stopped the run, as the operator is told it.
    void LastSentStep()
    {
        static const struct { const char* name; int ticks, step, repetition; } cases[] = {
            {"nothing sent yet", 0, 0, 1}, {"last step ends the repetition", 74, 3, 1}, {"into the second repetition", 75, 1, 2}};
        RunEngine engine;
        QVERIFY(engine.Start(Table("0 5 1|2 10 1|4 0 0"), 2));
        int played = 0;
        for (const auto& c : cases) {
            SentTicks(engine, c.ticks - played, true, 0);
            played = c.ticks;
            ROW_COMPARE(c.name, engine.LastSent().Step, c.step);
            ROW_COMPARE(c.name, engine.LastSent().Repetition, c.repetition);
            const QString told = RunLostMessage(2, engine.LastSent());
            QVERIFY2(told.startsWith(QStringLiteral("통신포트 연결이 끊어져 P2 ")), qPrintable(told));
            ROW_COMPARE(c.name, told.contains(QStringLiteral("마지막으로 보낸 단계 %1").arg(c.step)), c.step > 0);
        }
    }

    // Saving and running read the leading complete rows, each cell's leading
    // number; a raised repeat limit resumes with step 1 at once, and the
    // count stops at 32767.
    void LeadingStepsAndTheRepeatLimit()
    {
        QCOMPARE(int(::LeadingSteps(Table(QStringLiteral("0s 1V 1A|2 2 2|3  3"))).size()), 2);
        RunEngine engine;
        QVERIFY(!engine.Start(Table(QStringLiteral("0 1 |1 2 1")), 1));   // no complete first row
        QVERIFY(engine.Start(Table(QStringLiteral("0.000 3.25V 0.125")), 2));
        QCOMPARE(engine.OnTick(true, 0).Command, QByteArray("APPL P2,3.25,0.125\r"));

        QVERIFY(engine.Start(Table(QStringLiteral("0 1 1|1 2 1")), 1));
        QCOMPARE(SentTicks(engine, 30, false, 1), (QList<int>{1, 20}));
        QCOMPARE(SentTicks(engine, 30, false, 2), (QList<int>{1, 20}));
        QVERIFY(engine.Start(Table(QStringLiteral("0 1 1")), 1));
        QCOMPARE(SentTicks(engine, 32769, true, 0).size(), 32769);
        QCOMPARE(engine.RepeatsDone(), 32767);
    }

    void QueriesKeepClearOfSteps()
    {
        Play p("0 5 1|1 6 1|2 0 0", Every{200}, 160);
        QCOMPARE(p.queryTicks.mid(0, 3), (QList<int>{2, 6, 10}));
        QCOMPARE(p.queries.first(), QByteArray("MEAS:VOLTA? P1\nMEAS:CURRA? P1\n"));
        int lastBatch = -100;
        for (int i = 0; i < p.queryTicks.size(); ++i) {
            const int t = p.queryTicks.at(i);
            QVERIFY2(!p.stepTicks.contains(t) && !p.stepTicks.contains(t + 1), qPrintable(QString::number(t)));
            if (p.queries.at(i).startsWith("MEAS"))
                QVERIFY((t - std::exchange(lastBatch, t)) * 55 >= 200);
        }
        QCOMPARE(p.queries.count("SYST:ERR?\n"), 2);
        QVERIFY(p.Row(1).Voltage.Count == 4 && p.Row(3).PlannedMs == 38.0 * 55);   // step 2 at ticks 20 to 37
        // Nothing waits behind a query that has not left the port.
        QVERIFY(Play("0 5 1|1 6 1", Every{200}, 60, Healthy, false).queries.isEmpty());
        QCOMPARE(Play("0 5 1|9 0 0", Every{500, false}, 5).queries.value(0), QByteArray("MEAS:VOLT? P1\nMEAS:CURR? P1\n"));
    }

    void SilentSupplyIsWaitedForThenCounted()
    {
        Play p("0 5 1|60 0 0", Every{200}, 60, [](const QByteArray&) { return QStringList(); });
        QCOMPARE(p.queryTicks, (QList<int>{2, 13, 24, 35, 46, 57}));   // given up after three intervals
        QCOMPARE(p.told, 1);
        QCOMPARE(p.Row(0).Missing, 2 * (p.queryTicks.size() - 1));
    }

    void RepliesAndLimits()
    {
        const struct { const char* name; const char* volts; const char* amps; std::optional<double> vLimit, aLimit; int readings; bool trips; } cases[] = {
            {"at the limit", "3.000", "0.500", 3.0, 0.5, 2, false}, {"voltage above", "3.001", "0.400", 3.0, {}, 2, true},
            {"current above, CR LF", "3.000\r", "0.612\r", {}, 0.5, 2, true}, {"not a number", "ERROR - 104", "x", 0.001, 0.001, 0, false}};
        for (const auto& c : cases) {
            Play p("0 5 1|9 0 0", Every{500, true, c.vLimit, c.aLimit}, 3, [&c](const QByteArray&) { return QStringList{c.volts, c.amps}; });
            ROW_COMPARE(c.name, p.Row(0).Voltage.Count + p.Row(0).Current.Count, c.readings);
            ROW_COMPARE(c.name, p.Row(0).Unreadable, 2 - c.readings);
            ROW_COMPARE(c.name, p.replies.at(0).Trip.has_value() || p.replies.at(1).Trip.has_value(), c.trips);
            ROW_COMPARE(c.name, p.run.Report().Summary().OutsideLimits, c.trips ? 1 : 0);
        }
    }

    void ErrorQueueAfterEachRepetition()
    {
        const struct { const char* name; QStringList queue; int reads; } cases[] = {
            {"two errors", {"ERROR - 105", "ERROR - 101"}, 3}, {"never empty", QStringList(40, "ERROR - 105"), 16}};
        for (const auto& c : cases) {
            QStringList queue = c.queue;
            Play p("0 5 1|0.5 0 0", Every{200}, 30, [&queue](const QByteArray& q) {
                return q.startsWith("SYST") ? QStringList{queue.isEmpty() ? QStringLiteral("NO ERROR") : queue.takeFirst()} : Healthy(q);
            }, true, 1);
            ROW_COMPARE(c.name, int(p.queries.count("SYST:ERR?\n")), c.reads);
            ROW_COMPARE(c.name, p.Row(1).SupplyErrors.size(), qMin(int(c.queue.size()), 16));
            ROW_COMPARE(c.name, p.run.Settled(), true);
        }
    }

    void ReportFigures()
    {

        Play p("0 5 1|0.1 6 1", Every{0}, 3);
        p.run.End(RunEnd::Stopped);
        const QList<QByteArray> lines = p.run.Report().Csv().split('\n');
        QVERIFY(lines.at(0).startsWith("repetition,step,step_time_s,planned_ms,sent_ms,late_ms,sent_at,"));
        QCOMPARE(lines.size(), 4);   // the header, two steps, the end of the last line
        QCOMPARE(lines.at(2), QByteArray("1,2,0.100,110,110.000,0.000,2026-12-08T02:03:04.000+09:00,6.000,1.000,0,,,,0,,,,0,0,,,stopped\r"));
        QCOMPARE(RunReportName(p.run.Report().StartedAt()), QStringLiteral("261208_020304_RUN.csv"));
    }

    void LimitAndIntervalFields()
    {
        const char* limits[][2] = {{"", ""}, {" 0.5 ", "0.500"}, {"-1", "ERROR"}, {"0.0004", "ERROR"}, {"5V", "ERROR"}};
        for (const auto& l : limits)
            ROW_COMPARE(l[0], AcceptLimitValue(QString::fromLatin1(l[0])).Text, QString::fromLatin1(l[1]));
        QCOMPARE(TypedMeasureInterval(QStringLiteral("150"), 500), 200);
        QCOMPARE(TypedMeasureInterval(QStringLiteral("x"), 700), 700);
    }
};

QTEST_MAIN(TestMeasuredRun)
#include "test_measured_run.moc"
