// Which step values the supply would refuse, and how many steps of a run that makes.
#include <QtTest>

#include "pattern/StepLimits.h"
#include "support/PatternTables.h"

class TestStepLimits : public QObject {
    Q_OBJECT
private slots:
    void Refuses_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<bool>("refused");
        QTest::newRow("voltage at the maximum") << 2 << "30.000" << false;
        QTest::newRow("voltage just above") << 2 << "30.001" << true;
        QTest::newRow("negative voltage") << 2 << "-0.001" << true;
        QTest::newRow("zero voltage") << 2 << "0.000" << false;
        QTest::newRow("current at the maximum") << 3 << "5.000" << false;
        QTest::newRow("current above, under the voltage maximum") << 3 << "5.001" << true;
        QTest::newRow("negative current") << 3 << "-1.000" << true;
        QTest::newRow("empty cell") << 3 << "" << false;
        QTest::newRow("negative time never reaches the supply") << 1 << "-5.000" << false;
    }
    void Refuses()
    {
        QFETCH(int, column);
        QFETCH(QString, cell);
        const StepLimits limits = StepLimits::FromTexts(QStringLiteral("30.000"), QStringLiteral("5.000"));
        QTEST(limits.Refuses(column, cell), "refused");
    }

    void RefusedStepsOfARun_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<int>("refused");
        QTest::newRow("none") << "0 30 5|1 0 0" << 0;
        QTest::newRow("both values of one step count once") << "0 -1 9|1 5 1" << 1;
        QTest::newRow("each refused step") << "0 31 1|1 5 -1|2 5 1|3 5 6" << 3;
        QTest::newRow("steps past the run's end are not sent") << "0 31 1|1 5 |2 31 1" << 1;
    }
    void RefusedStepsOfARun()
    {
        QFETCH(QString, steps);
        const StepLimits limits = StepLimits::FromTexts(QStringLiteral("30"), QStringLiteral("5"));
        QTEST(limits.RefusedSteps(Table(steps)), "refused");
    }
};

QTEST_APPLESS_MAIN(TestStepLimits)
#include "test_step_limits.moc"
