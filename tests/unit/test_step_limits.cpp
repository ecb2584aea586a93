// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Which step values the supply would refuse, and how many steps of a run that makes.
#include <QtTest>

#include "pattern/StepLimits.h"
#include "support/PatternTables.h"
#include "support/Rows.h"

class TestStepLimits : public QObject {
    Q_OBJECT
private slots:
    void Refuses()
    {
        static const struct { const char* name; int column; const char* cell; bool refused; } rows[] = {
            {"voltage at the maximum", 2, "30.000", false},
            {"voltage just above", 2, "30.001", true},
            {"negative voltage", 2, "-0.001", true},
            {"zero voltage", 2, "0.000", false},
            {"current at the maximum", 3, "5.000", false},
            {"current above, under the voltage maximum", 3, "5.001", true},
            {"empty cell", 3, "", false},
            {"negative time never reaches the supply", 1, "-5.000", false}};
        const StepLimits limits = StepLimits::FromTexts(QStringLiteral("30.000"), QStringLiteral("5.000"));
        for (const auto& r : rows)
            ROW_COMPARE(r.name, limits.Refuses(r.column, QString::fromLatin1(r.cell)), r.refused);
    }

    void RefusedStepsOfARun()
    {
        static const struct { const char* name; const char* steps; int refused; } rows[] = {
            {"none", "0 30 5|1 0 0", 0},
            {"both values of one step count once", "0 -1 9|1 5 1", 1},
            {"each refused step", "0 31 1|1 5 -1|2 5 1|3 5 6", 3},
            {"steps past the run's end are not sent", "0 31 1|1 5 |2 31 1", 1}};
        const StepLimits limits = StepLimits::FromTexts(QStringLiteral("30"), QStringLiteral("5"));
        for (const auto& r : rows)
            ROW_COMPARE(r.name, limits.RefusedSteps(Table(QString::fromLatin1(r.steps))), r.refused);
    }
};

QTEST_APPLESS_MAIN(TestStepLimits)
#include "test_step_limits.moc"
