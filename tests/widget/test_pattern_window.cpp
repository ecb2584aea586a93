// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The pattern window as the operator edits a pattern: clicks, line editing,
// committing values, the repeat count and the preview's callers.
#include "support/PatternWindow.h"
#include "support/Rows.h"

namespace {
const QColor Armed(255, 255, 192), NotArmed(192, 192, 192);

// Steps n.000 s, 10 V, 1 A for n = 1..count.
QList<PatternStep> Steps(int count)
{
    QList<PatternStep> steps;
    for (int n = 1; n <= count; ++n)
        steps.append({QString::number(n) + QStringLiteral(".000"), QStringLiteral("10.000"), QStringLiteral("1.000")});
    return steps;
}

struct Window : PatternWindow {
    using PatternWindow::PatternWindow;
    void Click(int row, int column)
    {
        QTableView* g = GridView();
        g->scrollTo(Cell(row, column));
        const QPoint centre = g->visualRect(Cell(row, column)).center();
        QTest::mousePress(g->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseRelease(g->viewport(), Qt::LeftButton, {}, centre);
    }
    QLineEdit* Field(const char* name) const { return FindControl<QLineEdit>(*w, name); }
    QPushButton* Button(const char* name) const { return FindControl<QPushButton>(*w, name); }
    static QColor Face(QPushButton* b) { return b->palette().color(QPalette::Button); }
};
}

class TestPatternWindow : public QObject {
    Q_OBJECT
private slots:
    // A click loads the step into the fields; the step-number column only
    // moves the step; the spinner steps from its own value.
    void ClickLoadsTheStep()
    {
        Window p;
        p.Steps(Steps(7));
        p.Click(7, 2);
        QCOMPARE(p.Field("TextTime")->text(), QStringLiteral("7.000"));
        QCOMPARE(p.Field("TextNo")->text(), QStringLiteral(" 7"));
        QVERIFY(p.Field("TextVoltage")->hasFocus());
        p.Field("TextTime")->setText(QStringLiteral("typed"));
        p.w->MSFlexGrid1_MouseDown(5, 0);
        QCOMPARE(p.Field("TextNo")->text(), QStringLiteral(" 5"));
        QCOMPARE(p.Field("TextTime")->text(), QStringLiteral("typed"));
        FindControl<UpDown>(*p.w, "UpDownNo")->StepUp();
        QCOMPARE(p.Field("TextNo")->text(), QStringLiteral("2"));
        QCOMPARE(p.Field("TextTime")->text(), QStringLiteral("2.000"));
    }

    // Insert stays armed until 라인 편집 ends; a full table refuses with a beep.
    void LineEditingStates()
    {
        Window p;
        p.Steps(Steps(100));
        QVERIFY(!p.Button("CmdInsert")->isEnabled());
        QTest::mouseClick(p.Button("CmdEdit"), Qt::LeftButton);
        QTest::mouseClick(p.Button("CmdInsert"), Qt::LeftButton);
        QCOMPARE(p.Face(p.Button("CmdInsert")), Armed);
        p.Click(100, 1);
        QCOMPARE(p.services.Beeps, 1);
        QCOMPARE(p.Grid(100, 1), QStringLiteral("100.000"));
        QTest::mouseClick(p.Button("CmdEdit"), Qt::LeftButton);
        QVERIFY(!p.Button("CmdInsert")->isEnabled() && p.Face(p.Button("CmdInsert")) == NotArmed);
    }

    // Enter in a field commits the step; a refused value leaves the table as it was.
    void CommitStep()
    {
        static const struct { const char* name; const char* typed[3]; int enterIn; const char* row[3]; const char* fields[3]; int focus; bool redrawn; } rows[] = {
            {"enter in time", {"5", "12", "1.5"}, 0, {"5.000", "12.000", "1.500"}, {"5.000", "12.000", "1.500"}, 1, false},
            {"enter in current", {"5", "12", "1.5"}, 2, {"5.000", "12.000", "1.500"}, {"5.000", "12.000", "1.500"}, 0, true},
            {"negative voltage", {"5", "-3", "1"}, 1, {"5.000", "9.000", "9.000"}, {"5.000", "ERROR", "1"}, 1, false}};
        for (const auto& r : rows) {
            Window p;
            p.Steps({{"0.000", "1.000", "1.000"}, {"9.000", "9.000", "9.000"}});
            p.Click(2, 1);
            p.w->DrawPatternPreview();
            QLineEdit* fields[] = {p.Field("TextTime"), p.Field("TextVoltage"), p.Field("TextCurrent")};
            for (int i = 0; i < 3; ++i)
                fields[i]->setText(QString::fromLatin1(r.typed[i]));
            fields[r.enterIn]->setFocus();
            QTest::keyClick(fields[r.enterIn], Qt::Key_Return);
            for (int i = 0; i < 3; ++i) {
                ROW_COMPARE(r.name, p.Grid(2, i + 1), QString::fromLatin1(r.row[i]));
                ROW_COMPARE(r.name, fields[i]->text(), QString::fromLatin1(r.fields[i]));
            }
            QVERIFY2(QApplication::focusWidget() == fields[r.focus], r.name);
            // Only a redraw picks up the new time of step 2.
            ROW_COMPARE(r.name, p.state.PreviewMaxTime, r.redrawn ? 5.0f : 9.0f);
        }
    }

    // The field and the spinner follow each other, and a new count starts afresh.
    void RepeatCountIsWired()
    {
        Window p;
        QVERIFY(p.w->RepeatingForever());
        FindControl<QLabel>(*p.w, "LabelRedo")->setText(QStringLiteral("5"));
        p.Field("TextReDo")->setText(QStringLiteral("250"));
        QTest::keyClick(p.Field("TextReDo"), Qt::Key_Return);
        QCOMPARE(FindControl<UpDown>(*p.w, "UpDownReDo")->Value(), 100);
        QVERIFY(!p.w->RepeatingForever());
        QCOMPARE(FindControl<QLabel>(*p.w, "LabelRedo")->text(), QStringLiteral("0"));
        FindControl<UpDown>(*p.w, "UpDownReDo")->SetValue(0);
        QCOMPARE(p.Field("TextReDo")->text(), QStringLiteral("연속"));
        QVERIFY(p.w->RepeatingForever());
    }
};

QTEST_MAIN(TestPatternWindow)
#include "test_pattern_window.moc"
