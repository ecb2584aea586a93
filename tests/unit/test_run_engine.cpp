// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The pattern run tick by tick: when each step goes out, what it sends, and
// how repetitions are counted and end.
#include <QtTest>

#include "pattern/RunEngine.h"
#include "support/PatternTables.h"
#include "support/Rows.h"

namespace {
// The (1-based) ticks that sent a step, and RepeatsDone after each tick that ended a repetition.
QList<int> Play(RunEngine& e, int ticks, bool repeatForever, int limit,
                QList<int>* repeats = nullptr)
{
    QList<int> sent;
    for (int t = 1; t <= ticks; ++t) {
        const RunEngine::Tick tick = e.OnTick(repeatForever, limit);
        if (tick.Sent)
            sent << t;
        if (tick.RepetitionDone && repeats)
            *repeats << e.RepeatsDone();
    }
    return sent;
}
}

class TestRunEngine : public QObject {
    Q_OBJECT
private slots:
    void SendTicks()
    {
        const struct { const char* name; const char* steps; int limit; QList<int> sends; } cases[] = {
            {"three steps twice", "0 5 1|2 10 1|4 0 0", 2, {1, 38, 74, 75, 112, 148}},
            {"0 s and 1 s three times", "0 1 1|1 2 1", 3, {1, 20, 21, 40, 41, 60}},
            {"first step at 1 s", "1 5 1|2 6 1", 2, {20, 38, 58, 76}},
            {"equal times", "0 1 1|0 2 1|0 3 1", 2, {1, 2, 3, 4, 5, 6}},
            {"times out of order", "0 1 1|2 2 1|1 3 1", 1, {1, 38, 39}},
            {"row 4 incomplete", "0 1 1|0 2 1|0 3 1|0  1|0 5 1", 1, {1, 2, 3}}};
        for (const auto& c : cases) {
            RunEngine engine;
            QVERIFY2(engine.Start(Table(QString::fromLatin1(c.steps)), 1), c.name);
            QList<int> repeats, counted;
            ROW_COMPARE(c.name, Play(engine, 400, false, c.limit, &repeats), c.sends);
            for (int n = 1; n <= c.limit; ++n)
                counted << n;
            ROW_COMPARE(c.name, repeats, counted);
            QVERIFY2(engine.Running(), c.name);
        }
    }

    // Where a lost line stopped the run, as the operator is told it.
    void LastSentStep()
    {
        static const struct { const char* name; int ticks, step, repetition; } cases[] = {
            {"nothing sent yet", 0, 0, 1},
            {"first step", 1, 1, 1},
            {"second step", 38, 2, 1},
            {"last step ends the repetition", 74, 3, 1},
            {"into the second repetition", 75, 1, 2}};
        RunEngine engine;
        QVERIFY(engine.Start(Table("0 5 1|2 10 1|4 0 0"), 2));
        int played = 0;
        for (const auto& c : cases) {
            Play(engine, c.ticks - played, true, 0);
            played = c.ticks;
            ROW_COMPARE(c.name, engine.LastSent().Step, c.step);
            ROW_COMPARE(c.name, engine.LastSent().Repetition, c.repetition);
            const QString told = RunLostMessage(2, engine.LastSent());
            QVERIFY2(told.startsWith(QStringLiteral("통신포트 연결이 끊어져 P2 ")), qPrintable(told));
            ROW_COMPARE(c.name, told.contains(QStringLiteral("마지막으로 보낸 단계 %1").arg(c.step)), c.step > 0);
        }
    }

    void CommandBytes()
    {
        static const struct { const char* name; int output; const char* step; const char* command; } cases[] = {
            {"P1", 1, "0.000 12.500 1.000", "APPL P1,12.5,1\r"},
            {"P2 below one", 2, "0.000 0.500 0.125", "APPL P2,0.5,0.125\r"},
            {"leading number of a cell", 2, "0.000 3.25V 0.000", "APPL P2,3.25,0\r"}};
        for (const auto& c : cases) {
            RunEngine engine;
            QVERIFY2(engine.Start(Table(QString::fromLatin1(c.step)), c.output), c.name);
            ROW_COMPARE(c.name, engine.OnTick(true, 0).Command, QByteArray(c.command));
        }
    }

    // Saving and running read the leading complete rows, each cell's leading number.
    void LeadingSteps()
    {
        static const struct { const char* name; const char* steps; int count; } cases[] = {
            {"time only", "0 1 1|2 2 2|3  3", 2},
            {"time and voltage", "0 1 1|2 2 2|3 4 ", 2},
            {"no time", " 1 1", 0},
            {"units after numbers", "0s 1V 1A|2 2 2", 2},
            {"complete rows only", "0 1 1|2 2 2", 2}};
        for (const auto& c : cases) {
            const std::vector<StepNumbers> steps = ::LeadingSteps(Table(QString::fromLatin1(c.steps)));
            ROW_COMPARE(c.name, int(steps.size()), c.count);
            QVERIFY2(c.count == 0 || (steps.back().Time == 2.0 && steps.back().Current == 2.0 && steps.front().Voltage == 1.0), c.name);
        }
    }

    void StartStopAndTheRepeatLimit()
    {
        RunEngine engine;
        QVERIFY(!engine.Start(Table(QStringLiteral("0 1 |1 2 1")), 1));   // no complete first row
        QVERIFY(!engine.Running());
        QVERIFY(Play(engine, 5, true, 0).isEmpty());

        QVERIFY(engine.Start(Table(QStringLiteral("0 1 1|1 2 1")), 1));
        Play(engine, 25, true, 0);
        QCOMPARE(engine.RepeatsDone(), 1);
        engine.Stop();
        QVERIFY(!engine.Running());
        QCOMPARE(engine.RunTicks(), 0);
        QCOMPARE(engine.NextStep(), 1);
        QCOMPARE(engine.RepeatsDone(), 0);
        QVERIFY(Play(engine, 50, true, 0).isEmpty());

        QVERIFY(engine.Start(Table(QStringLiteral("0 1 1|1 2 1")), 1));
        QCOMPARE(Play(engine, 30, false, 1), (QList<int>{1, 20}));
        QVERIFY(engine.Finished(false, 1));
        // The limit is read at every tick, and finished ticks are not counted:
        // a raised limit resumes with step 1 at once.
        QCOMPARE(Play(engine, 30, false, 2), (QList<int>{1, 20}));
        engine.ResetRepeatsDone();
        QCOMPARE(Play(engine, 21, false, 1), (QList<int>{1, 20}));
    }

    void RepeatsDoneStopsAt32767()
    {
        RunEngine engine;
        // A lone step at 0 s makes every tick a whole repetition.
        QVERIFY(engine.Start(Table(QStringLiteral("0 1 1")), 1));
        QCOMPARE(Play(engine, 32769, true, 0).size(), 32769);
        QCOMPARE(engine.RepeatsDone(), 32767);
    }
};

QTEST_APPLESS_MAIN(TestRunEngine)
#include "test_run_engine.moc"
