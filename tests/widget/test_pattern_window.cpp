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
    void Enter(QLineEdit* field) { QTest::keyClick(field, Qt::Key_Return); }
    static QColor Face(QPushButton* b) { return b->palette().color(QPalette::Button); }
    int PreviewShapes() const { return int(FindControl<PictureBox>(*w, "PicturePreview")->Shapes().size()); }
};
}

class TestPatternWindow : public QObject {
    Q_OBJECT
private slots:
    void StartUp()
    {
        Window p(true);
        QVERIFY(!FindControl<QPushButton>(*p.w, "CmdRunP2")->isEnabled());
        QVERIFY(FindControl<QPushButton>(*p.w, "CmdRunP1")->isEnabled());
        QVERIFY(p.w->RepeatingForever());
        QVERIFY(!FindControl<QPushButton>(*p.w, "CmdInsert")->isEnabled() && !FindControl<QPushButton>(*p.w, "CmdDelete")->isEnabled());
        QCOMPARE(p.PreviewShapes(), 6);   // the grid alone
        QCOMPARE(p.state.PreviewMaxTime, 0.0f);
    }

    void ClickLoadsTheStep()
    {
        Window p;
        p.Steps(Steps(7));
        p.Click(7, 2);
        QCOMPARE(FindControl<QLineEdit>(*p.w, "TextVoltage")->text(), QStringLiteral("10.000"));
        QCOMPARE(FindControl<QLineEdit>(*p.w, "TextTime")->text(), QStringLiteral("7.000"));
        QCOMPARE(FindControl<QLineEdit>(*p.w, "TextNo")->text(), QStringLiteral(" 7"));
        QVERIFY(FindControl<QLineEdit>(*p.w, "TextVoltage")->hasFocus());
        // The step-number column moves the step but leaves the fields alone.
        FindControl<QLineEdit>(*p.w, "TextTime")->setText(QStringLiteral("typed"));
        p.w->MSFlexGrid1_MouseDown(5, 0);
        QCOMPARE(FindControl<QLineEdit>(*p.w, "TextNo")->text(), QStringLiteral(" 5"));
        QCOMPARE(FindControl<QLineEdit>(*p.w, "TextTime")->text(), QStringLiteral("typed"));
        // The spinner steps from its own value, not from the clicked row.
        FindControl<UpDown>(*p.w, "UpDownNo")->StepUp();
        QCOMPARE(FindControl<QLineEdit>(*p.w, "TextNo")->text(), QStringLiteral("2"));
        QCOMPARE(FindControl<QLineEdit>(*p.w, "TextTime")->text(), QStringLiteral("2.000"));
    }

    void LineEditingStates()
    {
        Window p;
        p.Steps(Steps(4));
        QTest::mouseClick(FindControl<QPushButton>(*p.w, "CmdEdit"), Qt::LeftButton);
        QVERIFY(FindControl<QPushButton>(*p.w, "CmdInsert")->isEnabled() && FindControl<QPushButton>(*p.w, "CmdDelete")->isEnabled());
        QCOMPARE(FindControl<QPushButton>(*p.w, "CmdEdit")->text(), QStringLiteral("셀 편집"));
        QTest::mouseClick(FindControl<QPushButton>(*p.w, "CmdInsert"), Qt::LeftButton);
        p.Click(2, 1);
        p.Click(2, 1);   // stays armed
        QCOMPARE(p.Grid(2, 1), QString());
        QCOMPARE(p.Grid(4, 1), QStringLiteral("2.000"));
        QCOMPARE(FindControl<QLineEdit>(*p.w, "TextTime")->text(), QString());   // the new empty step

        QTest::mouseClick(FindControl<QPushButton>(*p.w, "CmdDelete"), Qt::LeftButton);
        QCOMPARE(p.Face(FindControl<QPushButton>(*p.w, "CmdDelete")), Armed);
        QCOMPARE(p.Face(FindControl<QPushButton>(*p.w, "CmdInsert")), NotArmed);
        p.Click(1, 1);
        QCOMPARE(p.Grid(1, 1), QString());   // row 2 (empty) moved up; row 1 was a pattern of one
        QTest::mouseClick(FindControl<QPushButton>(*p.w, "CmdEdit"), Qt::LeftButton);
        QCOMPARE(FindControl<QPushButton>(*p.w, "CmdEdit")->text(), QStringLiteral("라인 편집"));
        QVERIFY(!FindControl<QPushButton>(*p.w, "CmdInsert")->isEnabled() && !FindControl<QPushButton>(*p.w, "CmdDelete")->isEnabled());
        QCOMPARE(p.Face(FindControl<QPushButton>(*p.w, "CmdDelete")), NotArmed);
    }

    void InsertOnAFullTableIsRefusedWithABeep()
    {
        Window p;
        p.Steps(Steps(100));
        p.w->CmdEdit_Click();
        p.w->CmdInsert_Click();
        p.w->MSFlexGrid1_MouseDown(100, 1);
        QCOMPARE(p.services.Beeps, 1);
        QCOMPARE(p.Grid(100, 1), QStringLiteral("100.000"));
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
            QCOMPARE(p.state.PreviewMaxTime, 9.0f);
            QLineEdit* fields[] = {FindControl<QLineEdit>(*p.w, "TextTime"), FindControl<QLineEdit>(*p.w, "TextVoltage"), FindControl<QLineEdit>(*p.w, "TextCurrent")};
            for (int i = 0; i < 3; ++i)
                fields[i]->setText(QString::fromLatin1(r.typed[i]));
            fields[r.enterIn]->setFocus();
            p.Enter(fields[r.enterIn]);
            for (int i = 0; i < 3; ++i) {
                ROW_COMPARE(r.name, p.Grid(2, i + 1), QString::fromLatin1(r.row[i]));
                ROW_COMPARE(r.name, fields[i]->text(), QString::fromLatin1(r.fields[i]));
            }
            QVERIFY2(QApplication::focusWidget() == fields[r.focus], r.name);
            // Only a redraw picks up the new time of step 2.
            ROW_COMPARE(r.name, p.state.PreviewMaxTime, r.redrawn ? 5.0f : 9.0f);
        }
    }

    void PreviewLagsWhereTheOperatorExpectsIt()
    {
        Window p;
        p.Steps({{"0.000", "15.000", "1.000"}, {"10.000", "30.000", "1.000"}});
        QCOMPARE(p.PreviewShapes(), 6);   // the table changed behind the preview
        FindControl<QRadioButton>(*p.w, "OptionCC")->setChecked(true);
        QCOMPARE(p.state.PreviewMaxTime, 10.0f);
        const int drawn = p.PreviewShapes();
        QVERIFY(drawn > 6);
        p.w->CmdEdit_Click();
        p.w->CmdDelete_Click();
        p.w->MSFlexGrid1_MouseDown(2, 1);   // deleting a line does not redraw
        QCOMPARE(p.PreviewShapes(), drawn);
        FindControl<UpDown>(*p.w, "UpDownMaxCurrent")->StepUp();   // nor does a maximum
        QCOMPARE(p.PreviewShapes(), drawn);
        p.w->CmdNewFile_Click();
        QCOMPARE(p.PreviewShapes(), 6);
    }

    void RepeatCountIsWired()
    {
        Window p;
        FindControl<QLabel>(*p.w, "LabelRedo")->setText(QStringLiteral("5"));
        FindControl<QLineEdit>(*p.w, "TextReDo")->setText(QStringLiteral("250"));
        p.Enter(FindControl<QLineEdit>(*p.w, "TextReDo"));
        QCOMPARE(FindControl<QLineEdit>(*p.w, "TextReDo")->text(), QStringLiteral("100"));
        QCOMPARE(FindControl<UpDown>(*p.w, "UpDownReDo")->Value(), 100);
        QVERIFY(!p.w->RepeatingForever());
        QCOMPARE(FindControl<QLabel>(*p.w, "LabelRedo")->text(), QStringLiteral("0"));
        FindControl<UpDown>(*p.w, "UpDownReDo")->SetValue(0);
        QCOMPARE(FindControl<QLineEdit>(*p.w, "TextReDo")->text(), QStringLiteral("연속"));
        QVERIFY(p.w->RepeatingForever());
    }
};

QTEST_MAIN(TestPatternWindow)
#include "test_pattern_window.moc"
