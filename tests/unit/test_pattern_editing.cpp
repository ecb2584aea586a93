// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The pattern window's entry rules: what a committed field becomes, how the
// step number and the repeat count are read, and line editing's modes.
#include <QtTest>

#include "pattern/PatternEditing.h"
#include "support/PatternTables.h"
#include "support/Rows.h"

class TestPatternEditing : public QObject {
    Q_OBJECT
private slots:
    void StepValue()
    {
        static const struct { const char* typed; const char* shown; bool accepted; } rows[] = {
            {"5", "5.000", true}, {"12.5V", "12.500", true}, {"0.0625", "0.063", true}, {"-3", "ERROR", false},
            {"-0.0005", "ERROR", false}, {"-0.0004", "0.000", true}, {"ERROR", "0.000", true}};
        for (const auto& r : rows) {
            const FieldValue value = AcceptStepValue(QString::fromLatin1(r.typed));
            ROW_COMPARE(r.typed, value.Text, QString::fromLatin1(r.shown));
            ROW_COMPARE(r.typed, value.Accepted, r.accepted);
        }
    }

    // Rows outside 1..100 keep the current step, 42.
    void StepNumber()
    {
        static const struct { const char* typed; int row; } rows[] = {
            {" 7", 7}, {"1", 1}, {"100", 100}, {"2.5", 2}, {"0", 42}, {"101", 42}};
        for (const auto& r : rows)
            ROW_COMPARE(r.typed, TypedStepRow(QString::fromLatin1(r.typed), 42), r.row);
    }

    void RepeatCount()
    {
        static const struct { const char* typed; int spinner; const char* shown; } rows[] = {
            {"1", 1, "1"}, {"2.5", 2, "2"}, {"0.5", 0, "연속"}, {"0", 0, "연속"}, {"100", 100, "100"},
            {"101", 100, "100"}, {"1e300", 100, "100"}};
        for (const auto& r : rows) {
            ROW_COMPARE(r.typed, TypedRepeatCount(QString::fromLatin1(r.typed)), r.spinner);
            ROW_COMPARE(r.typed, RepeatCountText(r.spinner), QString::fromUtf8(r.shown));
            ROW_COMPARE(r.typed, RepeatsForever(r.spinner), r.spinner == 0);
        }
    }

    void ClickOnTheGrid()
    {
        using O = LineEditArming::Outcome;
        static const struct { const char* name; char arm; int steps; O outcome; const char* row2; } rows[] = {
            {"nothing armed", ' ', 3, O::Untouched, "2"},
            {"insert", 'I', 3, O::Changed, ""},
            {"insert into a full table", 'I', 100, O::Refused, "2"},
            {"delete", 'D', 3, O::Changed, "3"}};
        for (const auto& r : rows) {
            QStringList steps;
            for (int n = 1; n <= r.steps; ++n)
                steps << QString::number(n) + QStringLiteral(" 1 1");
            PatternTable table = Table(steps.join(QLatin1Char('|')));
            LineEditArming arming;
            arming.ToggleLineEditMode();
            if (r.arm == 'I')
                arming.ArmInsert();
            else if (r.arm == 'D')
                arming.ArmDelete();
            ROW_COMPARE(r.name, int(arming.ApplyClick(table, 2)), int(r.outcome));
            ROW_COMPARE(r.name, table.Cell(2, 1), QString::fromLatin1(r.row2));
        }
    }
};

QTEST_APPLESS_MAIN(TestPatternEditing)
#include "test_pattern_editing.moc"
