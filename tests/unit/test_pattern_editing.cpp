// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The pattern window's rules without the window: reading texts as numbers and
// writing step values, as every cell, file and command does; what a committed
// field becomes, how the step number and the repeat count are read, which
// step values the supply would refuse; the table's fixed cells and line
// editing, the preview's curve drawn as segments and the progress mark's place.
#include <QtTest>
#include <limits>

#include "pattern/PatternEditing.h"
#include "pattern/PreviewGeometry.h"
#include "pattern/StepLimits.h"
#include "pattern/StepValues.h"
#include "support/PatternTables.h"
#include "support/Rows.h"

namespace {
constexpr int GridLines = 6;

// Each row's time cell, or "-" for an empty one, from row 1 to `rows`.
QString Times(const PatternTable& t, int rows)
{
    QStringList out;
    for (int r = 1; r <= rows; ++r)
        out << (t.Cell(r, 1).isEmpty() ? QStringLiteral("-") : t.Cell(r, 1).section(QLatin1Char('.'), 0, 0));
    return out.join(QLatin1Char(' '));
}

// The curve after the grid as "x,y>x,y" words; a segment that is not solid
// green is marked with "!" so a wrong style cannot pass unseen.
QString Curve(const PreviewPicture& p)
{
    QStringList out;
    for (int i = GridLines; i < p.Segments.size(); ++i) {
        const PreviewSegment& s = p.Segments.at(i);
        QString word = QStringLiteral("%1,%2>%3,%4").arg(s.From.x()).arg(s.From.y()).arg(s.To.x()).arg(s.To.y());
        if (s.Colour != PreviewCurveColour || s.Dotted)
            word += QLatin1Char('!');
        out << word;
    }
    return out.join(QLatin1Char(' '));
}
}

class TestPatternEditing : public QObject {
    Q_OBJECT
private slots:
    void LeadingNumberReadsTrickyTexts()
    {
        static const struct { const char* text; double value; } rows[] = {
            {"\t3\n.5", 3.5}, {"1,5", 1}, {"&o17", 15}, {"1D2", 100}, {"7E", 7}, {" - 4.25", -4.25}, {"1.2.3", 1.2},
            {"연속", 0}, {"1e999", 0}, {"-12.375V", -12.375}, {"&hFFFF FFFF FFFF FFFF", 18446744073709551615.0}, {"&H12345678901234567", 0}};
        for (const auto& r : rows)
            ROW_COMPARE(r.text, LeadingNumber(QString::fromUtf8(r.text)), r.value);
        QCOMPARE(LeadingNumber(QString(450, QLatin1Char('0')) + QLatin1Char('5')), 5.0);
    }

    void ThreeDecimals()
    {
        // Halves away from zero, judged on the decimal digits, not the binary fraction.
        static const struct { double value; const char* text; } rows[] = {
            {1.0005, "1.001"}, {1.0004999, "1.000"}, {2.675, "2.675"}, {2.6745, "2.675"}, {9.9995, "10.000"},
            {1e20, "100000000000000000000.000"}, {std::numeric_limits<double>::quiet_NaN(), "0.000"}};
        for (const auto& r : rows)
            ROW_COMPARE(r.text, FormatThreeDecimals(r.value), QString::fromLatin1(r.text));
    }

    // Step rows outside 1..100 keep the current step, 42.
    void StepValueAndStepNumber()
    {
        static const struct { const char* typed; const char* shown; bool accepted; int row; } rows[] = {
            {"12.5V", "12.500", true, 12}, {"0.0625", "0.063", true, 42}, {"-0.0005", "ERROR", false, 42},
            {"-0.0004", "0.000", true, 42}, {"ERROR", "0.000", true, 42}, {"100", "100.000", true, 100}, {"101", "101.000", true, 42}};
        for (const auto& r : rows) {
            const FieldValue value = AcceptStepValue(QString::fromLatin1(r.typed));
            ROW_COMPARE(r.typed, value.Text, QString::fromLatin1(r.shown));
            ROW_COMPARE(r.typed, value.Accepted, r.accepted);
            ROW_COMPARE(r.typed, TypedStepRow(QString::fromLatin1(r.typed), 42), r.row);
        }
    }

    void RepeatCount()
    {
        static const struct { const char* typed; int spinner; const char* shown; } rows[] = {
            {"2.5", 2, "2"}, {"0.5", 0, "연속"}, {"1e300", 100, "100"}};
        for (const auto& r : rows) {
            ROW_COMPARE(r.typed, TypedRepeatCount(QString::fromLatin1(r.typed)), r.spinner);
            ROW_COMPARE(r.typed, RepeatCountText(r.spinner), QString::fromUtf8(r.shown));
        }
    }

    void RefusedValues()
    {
        static const struct { const char* name; int column; const char* cell; bool refused; } rows[] = {
            {"voltage at the maximum", 2, "30.000", false}, {"voltage just above", 2, "30.001", true}, {"negative voltage", 2, "-0.001", true},
            {"current above, under the voltage maximum", 3, "5.001", true}, {"negative time never reaches the supply", 1, "-5.000", false}};
        const StepLimits limits = StepLimits::FromTexts(QStringLiteral("30.000"), QStringLiteral("5.000"));
        for (const auto& r : rows)
            ROW_COMPARE(r.name, limits.Refuses(r.column, QString::fromLatin1(r.cell)), r.refused);
        // Both values of one step count once; steps past the run's end are not sent.
        QCOMPARE(limits.RefusedSteps(Table(QStringLiteral("0 -1 9|1 5 -1|2 5 1|3 5 6|4 5 |5 31 1"))), 3);
    }

    void FixedCells()
    {
        PatternTable t;
        QCOMPARE(t.Cell(0, 1), QStringLiteral(" 시간"));
        QCOMPARE(t.Cell(100, 0), QStringLiteral(" 100"));
        QVERIFY(!t.SetCell(0, 1, QStringLiteral("x")) && !t.SetCell(5, 0, QStringLiteral("x")) && !t.SetCell(101, 1, QStringLiteral("x")));
        QCOMPARE(t.Cell(101, 1), QString());
    }

    void LineEditing()
    {
        // Times of rows 1..6 after inserting (I) or deleting (D) at the clicked row.
        static const struct { const char* name; const char* rows; char edit; int clicked; const char* after; } cases[] = {
            {"insert among complete steps", "1 1 1|2 1 1|3 1 1|4 1 1", 'I', 2, "1 - 2 3 4 -"},
            {"insert shifts only down to a gap", "1 1 1|2 1 1|3 1 1||5 1 1", 'I', 1, "- 1 2 3 5 -"},
            {"insert stops at an incomplete row", "1 1 1|2 1 1|3  1|4 1 1", 'I', 1, "- 1 2 4 - -"},
            {"delete keeps rows past the gap", "1 1 1|2 1 1|3 1 1||5 1 1", 'D', 1, "2 3 - - 5 -"},
            {"delete the last step", "1 1 1|2 1 1|3 1 1", 'D', 3, "1 2 - - - -"}};
        for (const auto& c : cases) {
            PatternTable t = Table(QString::fromLatin1(c.rows));
            QVERIFY2(c.edit == 'I' ? t.InsertLine(c.clicked) : t.DeleteLine(c.clicked), c.name);
            ROW_COMPARE(c.name, Times(t, 6), QString::fromLatin1(c.after));
        }
    }

    void Staircase()
    {
        const struct { const char* name; const char* steps; bool cv; const char* maxV; double maxTime; int stepCount; const char* curve; } rows[] = {
            {"currents against the current scale", "0.000 15.000 1.250|10.000 30.000 5.000|20.000 0.000 2.500", false, "30.000", 20, 3,
             "0,1200>0,1200 0,1200>0,1200 0,1200>1600,1200 1600,1200>1600,0 1600,0>3200,0 3200,0>3200,800"},
            {"empty voltage ends the scan, its time still counts", "0 10 1|5 20 1|10  1", true, "30", 10, 3,
             "0,1067>0,1067 0,1067>0,1067 0,1067>1600,1067 1600,1067>1600,533"},
            {"halves round to even", "0 1 1|1 3 1|3 1 1|6400 0 1", true, "3200", 6400, 4,
             "0,1600>0,1600 0,1600>0,1600 0,1600>0,1600 0,1600>0,1598 0,1598>2,1598 2,1598>2,1600 2,1600>3200,1600 3200,1600>3200,1600"},
            {"scale 0 draws the grid alone", "0 10 1|10 20 1", true, "0.000", 10, 2, ""},
            {"huge value held at the coordinate limit", "0 1e12 1|10 0 1", true, "30", 10, 2,
             "0,-1000000>0,-1000000 0,-1000000>0,-1000000 0,-1000000>3200,-1000000 3200,-1000000>3200,1600"},
            {"time beyond single precision draws the grid alone", "0 1 1|1e300 2 1", true, "30", std::numeric_limits<double>::infinity(), 2, ""}};
        for (const auto& r : rows) {
            const PreviewPicture p = ComposePreviewPicture(Table(QString::fromLatin1(r.steps)), r.cv, QString::fromLatin1(r.maxV), QStringLiteral("5.000"));
            ROW_COMPARE(r.name, Curve(p), QString::fromLatin1(r.curve));
            ROW_COMPARE(r.name, double(p.PreviewMaxTime), r.maxTime);
            ROW_COMPARE(r.name, p.PreviewStepCount, r.stepCount);
        }
        // Without a finite scale the mark sits at the left edge; it is held at the coordinate limit.
        QCOMPARE(ProgressMarkCentre(5, std::numeric_limits<float>::infinity()), QPointF(0, 70));
        QCOMPARE(ProgressMarkCentre(1e300, 1e-3f), QPointF(1000000, 70));
    }
};

QTEST_APPLESS_MAIN(TestPatternEditing)
#include "test_pattern_editing.moc"
