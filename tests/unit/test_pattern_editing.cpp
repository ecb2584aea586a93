// The pattern window's entry rules: what a committed field becomes, how the
// step number and the repeat count are read, and line editing's modes.
#include <QtTest>

#include "pattern/PatternEditing.h"
#include "support/PatternTables.h"

class TestPatternEditing : public QObject {
    Q_OBJECT
private slots:
    void StepValue_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("whole number") << "5" << "5.000" << true;
        QTest::newRow("unit after the number") << "12.5V" << "12.500" << true;
        QTest::newRow("rounded to three decimals") << "0.0625" << "0.063" << true;
        QTest::newRow("negative") << "-3" << "ERROR" << false;
        QTest::newRow("negative a half-thousandth") << "-0.0005" << "ERROR" << false;
        QTest::newRow("negative that rounds to zero") << "-0.0004" << "0.000" << true;
        QTest::newRow("an earlier ERROR reads 0") << "ERROR" << "0.000" << true;
    }
    void StepValue()
    {
        QFETCH(QString, typed);
        const FieldValue value = AcceptStepValue(typed);
        QTEST(value.Text, "shown");
        QTEST(value.Accepted, "accepted");
    }

    void StepNumber_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("row");
        QTest::newRow("as shown after a click") << " 7" << 7;
        QTest::newRow("first") << "1" << 1;
        QTest::newRow("last") << "100" << 100;
        QTest::newRow("half to even") << "2.5" << 2;
        QTest::newRow("0 keeps the step") << "0" << 42;
        QTest::newRow("101 keeps the step") << "101" << 42;
    }
    void StepNumber()
    {
        QFETCH(QString, typed);
        QTEST(TypedStepRow(typed, 42), "row");
    }

    void RepeatCount_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("spinner");
        QTest::addColumn<QString>("shown");
        QTest::newRow("one") << "1" << 1 << "1";
        QTest::newRow("seven") << "7" << 7 << "7";
        QTest::newRow("half to even, down") << "2.5" << 2 << "2";
        QTest::newRow("a half is none: for ever") << "0.5" << 0 << "연속";
        QTest::newRow("zero: for ever") << "0" << 0 << "연속";
        QTest::newRow("hundred") << "100" << 100 << "100";
        QTest::newRow("more than a hundred") << "101" << 100 << "100";
        QTest::newRow("beyond any integer") << "1e300" << 100 << "100";
    }
    void RepeatCount()
    {
        QFETCH(QString, typed);
        QFETCH(int, spinner);
        QCOMPARE(TypedRepeatCount(typed), spinner);
        QTEST(RepeatCountText(spinner), "shown");
        QCOMPARE(RepeatsForever(spinner), spinner == 0);
    }

    void Arming_data()
    {
        QTest::addColumn<QString>("clicks");   // E edit, I insert, D delete, R reset
        QTest::addColumn<QString>("state");    // line edit mode, insert armed, delete armed
        QTest::newRow("fresh") << "" << "---";
        QTest::newRow("into line editing") << "E" << "M--";
        QTest::newRow("insert") << "EI" << "MI-";
        QTest::newRow("delete after insert") << "EID" << "M-D";
        QTest::newRow("insert after delete") << "EDI" << "MI-";
        QTest::newRow("leaving disarms insert") << "EIE" << "---";
        QTest::newRow("leaving disarms delete") << "EDE" << "---";
        QTest::newRow("reset") << "EIR" << "---";
    }
    void Arming()
    {
        QFETCH(QString, clicks);
        LineEditArming arming;
        for (const QChar c : clicks) {
            if (c == QLatin1Char('E'))
                arming.ToggleLineEditMode();
            else if (c == QLatin1Char('I'))
                arming.ArmInsert();
            else if (c == QLatin1Char('D'))
                arming.ArmDelete();
            else
                arming.Reset();
        }
        const QString state = QString(arming.LineEditMode() ? QLatin1Char('M') : QLatin1Char('-'))
            + (arming.InsertArmed() ? QLatin1Char('I') : QLatin1Char('-'))
            + (arming.DeleteArmed() ? QLatin1Char('D') : QLatin1Char('-'));
        QTEST(state, "state");
    }

    void ClickOnTheGrid_data()
    {
        QTest::addColumn<QString>("arm");   // I, D or nothing
        QTest::addColumn<int>("steps");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("row2");   // row 2's time afterwards
        using O = LineEditArming::Outcome;
        QTest::newRow("nothing armed") << "" << 3 << int(O::Untouched) << "2";
        QTest::newRow("insert") << "I" << 3 << int(O::Changed) << "";
        QTest::newRow("insert into a full table") << "I" << 100 << int(O::Refused) << "2";
        QTest::newRow("delete") << "D" << 3 << int(O::Changed) << "3";
    }
    void ClickOnTheGrid()
    {
        QFETCH(QString, arm);
        QFETCH(int, steps);
        QStringList rows;
        for (int n = 1; n <= steps; ++n)
            rows << QString::number(n) + QStringLiteral(" 1 1");
        PatternTable table = Table(rows.join(QLatin1Char('|')));
        LineEditArming arming;
        arming.ToggleLineEditMode();
        if (arm == QLatin1String("I"))
            arming.ArmInsert();
        else if (arm == QLatin1String("D"))
            arming.ArmDelete();
        QTEST(int(arming.ApplyClick(table, 2)), "outcome");
        QTEST(table.Cell(2, 1), "row2");
    }
};

QTEST_APPLESS_MAIN(TestPatternEditing)
#include "test_pattern_editing.moc"
