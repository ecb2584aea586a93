// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Line editing of the pattern table: where the pattern ends, and what moves.
#include <QtTest>

#include "pattern/PatternTable.h"
#include "support/Rows.h"

namespace {
// "cccc.c" : one character per row from row 1; c = complete step, . = empty row,
// v = row with time and current but no voltage.
PatternTable Table(const QString& rows)
{
    PatternTable t;
    for (int i = 0; i < rows.size(); ++i) {
        const QString n = QString::number(i + 1);
        if (rows.at(i) != QLatin1Char('.'))
            t.SetStep(i + 1, {n + QStringLiteral(".000"), rows.at(i) == QLatin1Char('c') ? n + QStringLiteral("0.000") : QString(),
                              QStringLiteral("1.000")});
    }
    return t;
}

// Each row's time cell, or "-" for an empty one, from row 1 to `rows`.
QString Times(const PatternTable& t, int rows)
{
    QStringList out;
    for (int r = 1; r <= rows; ++r)
        out << (t.Cell(r, 1).isEmpty() ? QStringLiteral("-") : t.Cell(r, 1).section(QLatin1Char('.'), 0, 0));
    return out.join(QLatin1Char(' '));
}
}

class TestPatternTable : public QObject {
    Q_OBJECT
private slots:
    void FixedCells()
    {
        PatternTable t;
        QCOMPARE(t.Cell(0, 1), QStringLiteral(" 시간"));
        QCOMPARE(t.Cell(0, 3), QStringLiteral(" 전류"));
        QCOMPARE(t.Cell(100, 0), QStringLiteral(" 100"));
        QVERIFY(!t.SetCell(0, 1, QStringLiteral("x")));
        QVERIFY(!t.SetCell(5, 0, QStringLiteral("x")));
        QVERIFY(!t.SetCell(101, 1, QStringLiteral("x")));
        QCOMPARE(t.Cell(101, 1), QString());
        t = Table(QStringLiteral("ccc"));
        t.ClearValues();
        QCOMPARE(t.LeadingCompleteSteps(), 0);
        QCOMPARE(t.Cell(7, 0), QStringLiteral(" 7"));
    }

    void LineEditing()
    {
        // Times of rows 1..6 after inserting (I) or deleting (D) at the clicked row.
        static const struct { const char* name; const char* rows; char edit; int clicked; const char* after; } cases[] = {
            {"insert among complete steps", "cccc", 'I', 2, "1 - 2 3 4 -"},
            {"insert shifts only down to a gap", "ccc.c", 'I', 1, "- 1 2 3 5 -"},
            {"insert beyond the pattern", "cc", 'I', 4, "1 2 - - - -"},
            {"insert stops at an incomplete row", "ccvc", 'I', 1, "- 1 2 4 - -"},
            {"delete among complete steps", "cccc", 'D', 2, "1 3 4 - - -"},
            {"delete keeps rows past the gap", "ccc.c", 'D', 1, "2 3 - - 5 -"},
            {"delete the last step", "ccc", 'D', 3, "1 2 - - - -"}};
        for (const auto& c : cases) {
            PatternTable t = Table(QString::fromLatin1(c.rows));
            QVERIFY2(c.edit == 'I' ? t.InsertLine(c.clicked) : t.DeleteLine(c.clicked), c.name);
            ROW_COMPARE(c.name, Times(t, 6), QString::fromLatin1(c.after));
        }
    }

    void FullTable()
    {
        PatternTable full = Table(QString(100, QLatin1Char('c')));
        QCOMPARE(full.LeadingCompleteSteps(), 100);
        QCOMPARE(full.PatternEnd(1), 101);
        // No row 101 to take the last step: refused, nothing moved.
        PatternTable before = full;
        QVERIFY(!full.InsertLine(1));
        QVERIFY(!full.InsertLine(100));
        for (int r = 1; r <= 100; ++r)
            QCOMPARE(full.Step(r), before.Step(r));
        // Deleting closes the pattern with an empty row 100.
        QVERIFY(full.DeleteLine(50));
        QCOMPARE(full.Cell(50, 1), QStringLiteral("51.000"));
        QCOMPARE(full.Cell(99, 1), QStringLiteral("100.000"));
        QVERIFY(!full.Step(100).Complete());
        QCOMPARE(full.LeadingCompleteSteps(), 99);
        QVERIFY(full.DeleteLine(100));
        QCOMPARE(full.LeadingCompleteSteps(), 99);

        PatternTable nearlyFull = Table(QString(99, QLatin1Char('c')));
        QVERIFY(nearlyFull.InsertLine(1));
        QCOMPARE(nearlyFull.Cell(100, 1), QStringLiteral("99.000"));
        QVERIFY(!nearlyFull.Step(1).Complete());
    }
};

QTEST_APPLESS_MAIN(TestPatternTable)
#include "test_pattern_table.moc"
