// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The preview drawn as segments, the progress mark's place, and the printed listing.
#include <QtTest>

#include <cmath>
#include <limits>

#include "pattern/PatternPrintout.h"
#include "pattern/PatternTable.h"
#include "pattern/PreviewGeometry.h"
#include "support/PatternTables.h"
#include "support/Rows.h"

namespace {
constexpr int GridLines = 6;

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

class TestPatternPreview : public QObject {
    Q_OBJECT
private slots:
    void GridComesFirstInItsOrder()
    {
        const PreviewPicture p = ComposePreviewPicture(Table(QStringLiteral("0 15 1|10 30 2")), true,
                                                       QStringLiteral("30.000"), QStringLiteral("5.000"));
        // Three lines across, then three down; the middle ones solid.
        const QPoint ends[GridLines][2] = {{{0, 400}, {3200, 400}},  {{0, 800}, {3200, 800}},   {{0, 1200}, {3200, 1200}},
                                           {{800, 0}, {800, 1600}}, {{1600, 0}, {1600, 1600}}, {{2400, 0}, {2400, 1600}}};
        QVERIFY(p.Segments.size() > GridLines);
        for (int i = 0; i < GridLines; ++i) {
            const PreviewSegment& s = p.Segments.at(i);
            QCOMPARE(s.From, QPointF(ends[i][0]));
            QCOMPARE(s.To, QPointF(ends[i][1]));
            QCOMPARE(s.Colour, PreviewGridColour);
            QCOMPARE(s.Dotted, i % 3 != 1);
        }
    }

    void Staircase()
    {
        const char* rising = "0.000 15.000 1.250|10.000 30.000 5.000|20.000 0.000 2.500";
        const double inf = std::numeric_limits<double>::infinity();
        const struct { const char* name; const char* steps; bool cv; const char* maxV; double maxTime; int stepCount; const char* curve; } rows[] = {
            {"voltages against the voltage scale", rising, true, "30.000", 20, 3,
             "0,800>0,800 0,800>0,800 0,800>1600,800 1600,800>1600,0 1600,0>3200,0 3200,0>3200,1600"},
            {"currents against the current scale", rising, false, "30.000", 20, 3,
             "0,1200>0,1200 0,1200>0,1200 0,1200>1600,1200 1600,1200>1600,0 1600,0>3200,0 3200,0>3200,800"},
            {"empty table", "", true, "30.000", 0, 0, ""},
            {"single step at time 0", "0.000 12.000 1.000", true, "30.000", 0, 1, ""},
            {"empty voltage ends the scan, its time still counts", "0 10 1|5 20 1|10  1", true, "30", 10, 3,
             "0,1067>0,1067 0,1067>0,1067 0,1067>1600,1067 1600,1067>1600,533"},
            {"empty voltage under CC still draws that current", "0 10 1|5 20 2|10  4|20 1 1", false, "30", 10, 3,
             "0,1280>0,1280 0,1280>0,1280 0,1280>1600,1280 1600,1280>1600,960 1600,960>3200,960 3200,960>3200,320"},
            {"empty time ends the scan", "0 0 1|10 30 1| 30 1|40 0 1", true, "30", 10, 2,
             "0,1600>0,1600 0,1600>0,1600 0,1600>3200,1600 3200,1600>3200,0"},
            {"times not rising draw backwards", "0 0 1|20 30 1|10 15 1", true, "30", 20, 3,
             "0,1600>0,1600 0,1600>0,1600 0,1600>3200,1600 3200,1600>3200,0 3200,0>1600,0 1600,0>1600,800"},
            {"halves round to even", "0 1 1|1 3 1|3 1 1|6400 0 1", true, "3200", 6400, 4,
             "0,1600>0,1600 0,1600>0,1600 0,1600>0,1600 0,1600>0,1598 0,1598>2,1598 2,1598>2,1600 2,1600>3200,1600 3200,1600>3200,1600"},
            {"scale 0 draws the grid alone", "0 10 1|10 20 1", true, "0.000", 10, 2, ""},
            {"huge value held at the coordinate limit", "0 1e12 1|10 0 1", true, "30", 10, 2,
             "0,-1000000>0,-1000000 0,-1000000>0,-1000000 0,-1000000>3200,-1000000 3200,-1000000>3200,1600"},
            {"time beyond single precision draws the grid alone", "0 1 1|1e300 2 1", true, "30", inf, 2, ""}};
        for (const auto& r : rows) {
            const PreviewPicture p = ComposePreviewPicture(Table(QString::fromLatin1(r.steps)), r.cv,
                                                           QString::fromLatin1(r.maxV), QStringLiteral("5.000"));
            QVERIFY2(p.Segments.size() >= GridLines, r.name);
            ROW_COMPARE(r.name, Curve(p), QString::fromLatin1(r.curve));
            ROW_COMPARE(r.name, double(p.PreviewMaxTime), r.maxTime);
            ROW_COMPARE(r.name, p.PreviewStepCount, r.stepCount);
        }
    }

    void ProgressMark()
    {
        static const struct { const char* name; double stepTime; float maxTime; double x; } rows[] = {
            {"quarter of the way", 5, 20, 800},
            {"no time scale: left edge", 5, 0, 0},
            {"infinite time scale: left edge", 5, std::numeric_limits<float>::infinity(), 0},
            {"huge time held at the limit", 1e300, 1e-3f, 1000000}};
        for (const auto& r : rows)
            ROW_COMPARE(r.name, ProgressMarkCentre(r.stepTime, r.maxTime), QPointF(r.x, 70));
    }

    void Listing()
    {
        const QString rule(32, QLatin1Char('='));
        const QString head = rule + QStringLiteral("\r\n No. 시간(초) 전압(V) 전류(A)\r\n") + rule + QStringLiteral("\r\n");
        const struct { const char* name; const char* steps; QString listing; } rows[] = {
            {"empty table", "", head + rule},
            {"row 4 lacking its current",
             "0.000 5.000 1.000|10.000 12.500 0.250|20.000 0.000 0.000|30.000 1.000 |40.000 2.000 1.000",
             head + "  1   0.000   5.000   1.000\r\n  2   10.000   12.500   0.250\r\n  3   20.000   0.000   0.000\r\n" + rule},
            {"cell texts as the table holds them", "1234.500 -0.5 x", head + "  1   1234.500   -0.5   x\r\n" + rule}};
        for (const auto& r : rows)
            ROW_COMPARE(r.name, ComposePrintListing(Table(QString::fromLatin1(r.steps))), r.listing + QStringLiteral("\r\n"));
    }
};

QTEST_APPLESS_MAIN(TestPatternPreview)
#include "test_pattern_preview.moc"
