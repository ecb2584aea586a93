// The pattern run tick by tick: when each step goes out, what it sends, and
// how repetitions are counted and end.
#include <QtTest>

#include "support/PatternTables.h"
#include "pattern/RunEngine.h"

namespace {
// The (1-based) ticks that sent a step, and RepeatsDone after each tick that ended a repetition.
QList<int> Play(RunEngine& e, const StepArrays& a, int ticks, bool repeatForever, int limit,
                QList<int>* repeats = nullptr)
{
    QList<int> sent;
    for (int t = 1; t <= ticks; ++t) {
        const RunEngine::Tick tick = e.OnTick(a, repeatForever, limit);
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
    void SendTicks_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QList<int>>("sends");
        QTest::newRow("three steps twice") << "0 5 1|2 10 1|4 0 0" << 2 << QList<int>{1, 38, 74, 75, 112, 148};
        QTest::newRow("0 s and 1 s three times") << "0 1 1|1 2 1" << 3 << QList<int>{1, 20, 21, 40, 41, 60};
        QTest::newRow("first step at 1 s") << "1 5 1|2 6 1" << 2 << QList<int>{20, 38, 58, 76};
        QTest::newRow("equal times") << "0 1 1|0 2 1|0 3 1" << 2 << QList<int>{1, 2, 3, 4, 5, 6};
        QTest::newRow("times out of order") << "0 1 1|2 2 1|1 3 1" << 1 << QList<int>{1, 38, 39};
        QTest::newRow("row 4 incomplete") << "0 1 1|0 2 1|0 3 1|0  1|0 5 1" << 1 << QList<int>{1, 2, 3};
    }
    void SendTicks()
    {
        QFETCH(QString, steps);
        QFETCH(int, limit);
        QFETCH(QList<int>, sends);
        RunEngine engine;
        StepArrays arrays;
        QVERIFY(engine.Start(Table(steps), arrays, 1));
        QList<int> repeats;
        QCOMPARE(Play(engine, arrays, 400, false, limit, &repeats), sends);
        QList<int> counted;
        for (int n = 1; n <= limit; ++n)
            counted << n;
        QCOMPARE(repeats, counted);
        QVERIFY(engine.Running());
    }

    // Where a lost line stopped the run, as the operator is told it.
    void LastSentStep_data()
    {
        QTest::addColumn<int>("ticks");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("repetition");
        QTest::newRow("nothing sent yet") << 0 << 0 << 1;
        QTest::newRow("first step") << 1 << 1 << 1;
        QTest::newRow("second step") << 38 << 2 << 1;
        QTest::newRow("last step ends the repetition") << 74 << 3 << 1;
        QTest::newRow("into the second repetition") << 75 << 1 << 2;
    }
    void LastSentStep()
    {
        QFETCH(int, ticks);
        RunEngine engine;
        StepArrays arrays;
        QVERIFY(engine.Start(Table("0 5 1|2 10 1|4 0 0"), arrays, 2));
        Play(engine, arrays, ticks, true, 0);
        QTEST(engine.LastSent().Step, "step");
        QTEST(engine.LastSent().Repetition, "repetition");
        QFETCH(int, step);
        QVERIFY(RunLostMessage(2, engine.LastSent()).startsWith(QStringLiteral("통신포트 연결이 끊어져 P2 ")));
        QCOMPARE(RunLostMessage(2, engine.LastSent()).contains(QStringLiteral("마지막으로 보낸 단계 %1").arg(step)), step > 0);
    }

    void CommandBytes_data()
    {
        QTest::addColumn<int>("output");
        QTest::addColumn<QString>("step");
        QTest::addColumn<QByteArray>("command");
        QTest::newRow("P1") << 1 << "0.000 12.500 1.000" << QByteArray("APPL P1,12.5,1\r");
        QTest::newRow("P2 below one") << 2 << "0.000 0.500 0.125" << QByteArray("APPL P2,0.5,0.125\r");
        QTest::newRow("leading number of a cell") << 2 << "0.000 3.25V 0.000" << QByteArray("APPL P2,3.25,0\r");
    }
    void CommandBytes()
    {
        QFETCH(int, output);
        QFETCH(QString, step);
        QFETCH(QByteArray, command);
        RunEngine engine;
        StepArrays arrays;
        QVERIFY(engine.Start(Table(step), arrays, output));
        QCOMPARE(engine.OnTick(arrays, true, 0).Command, command);
    }

    // Saving and running stage the cells they read, a cut-short row up to its first gap.
    void StagesTheLeadingSteps_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("next");   // the staged row after the last complete step
        QTest::newRow("time only") << "0 1 1|2 2 2|3  3" << 2 << "3 -1 -1";
        QTest::newRow("time and voltage") << "0 1 1|2 2 2|3 4 " << 2 << "3 4 -1";
        QTest::newRow("no time") << " 1 1" << 0 << "-1 -1 -1";
        QTest::newRow("complete rows only") << "0 1 1|2 2 2" << 2 << "-1 -1 -1";
    }
    void StagesTheLeadingSteps()
    {
        QFETCH(QString, steps);
        QFETCH(int, count);
        StepArrays arrays;
        for (auto* column : {&arrays.StepTime, &arrays.StepVoltage, &arrays.StepCurrent})
            column->fill(-1);
        QCOMPARE(StageLeadingSteps(Table(steps), arrays), count);
        const int k = count + 1;
        QTEST(QStringLiteral("%1 %2 %3").arg(arrays.StepTime[k]).arg(arrays.StepVoltage[k]).arg(arrays.StepCurrent[k]), "next");
        if (count > 0)
            QCOMPARE(arrays.StepCurrent[count], 2.0);
    }

    void NoRunWithoutACompleteFirstRow()
    {
        RunEngine engine;
        StepArrays arrays;
        QVERIFY(!engine.Start(Table(QStringLiteral("0 1 |1 2 1")), arrays, 1));
        QVERIFY(!engine.Running());
        QVERIFY(Play(engine, arrays, 5, true, 0).isEmpty());
    }

    void StopResetsAndSendsNothing()
    {
        RunEngine engine;
        StepArrays arrays;
        QVERIFY(engine.Start(Table(QStringLiteral("0 1 1|1 2 1")), arrays, 1));
        Play(engine, arrays, 25, true, 0);
        QCOMPARE(engine.RepeatsDone(), 1);
        engine.Stop();
        QVERIFY(!engine.Running());
        QCOMPARE(engine.RunTicks(), 0);
        QCOMPARE(engine.NextStep(), 1);
        QCOMPARE(engine.RepeatsDone(), 0);
        QVERIFY(Play(engine, arrays, 50, true, 0).isEmpty());
    }

    void RepeatLimitIsReadAtEveryTick()
    {
        RunEngine engine;
        StepArrays arrays;
        QVERIFY(engine.Start(Table(QStringLiteral("0 1 1|1 2 1")), arrays, 1));
        QCOMPARE(Play(engine, arrays, 30, false, 1), (QList<int>{1, 20}));
        QVERIFY(engine.Finished(false, 1));
        // Finished ticks are not counted: a raised limit resumes with step 1 at once.
        QCOMPARE(Play(engine, arrays, 30, false, 2), (QList<int>{1, 20}));
        engine.ResetRepeatsDone();
        QCOMPARE(Play(engine, arrays, 21, false, 1), (QList<int>{1, 20}));
    }

    void RepeatsDoneStopsAt32767()
    {
        RunEngine engine;
        StepArrays arrays;
        // A lone step at 0 s makes every tick a whole repetition.
        QVERIFY(engine.Start(Table(QStringLiteral("0 1 1")), arrays, 1));
        QCOMPARE(Play(engine, arrays, 32769, true, 0).size(), 32769);
        QCOMPARE(engine.RepeatsDone(), 32767);
    }
};

QTEST_APPLESS_MAIN(TestRunEngine)
#include "test_run_engine.moc"
