// The pattern window as the operator edits a pattern: clicks, line editing,
// committing values, the repeat count and the preview's callers.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QtTest>

#include "platform/Controls.h"
#include "platform/PictureBox.h"
#include "support/PatternWindow.h"

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
        QTableWidget* g = w->MSFlexGrid1;
        g->scrollToItem(g->item(row - 1, column - 1));
        const QPoint centre = g->visualItemRect(g->item(row - 1, column - 1)).center();
        QTest::mousePress(g->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseRelease(g->viewport(), Qt::LeftButton, {}, centre);
    }
    void Enter(QLineEdit* field) { QTest::keyClick(field, Qt::Key_Return); }
    static QColor Face(QPushButton* b) { return b->palette().color(QPalette::Button); }
    int PreviewShapes() const { return int(w->PicturePreview->Shapes().size()); }
};
}

class TestPatternWindow : public QObject {
    Q_OBJECT
private slots:
    void StartUp()
    {
        Window p(true);
        QVERIFY(!p.w->CmdRunP2->isEnabled());
        QVERIFY(p.w->CmdRunP1->isEnabled());
        QVERIFY(p.w->RepeatForever);
        QVERIFY(!p.w->CmdInsert->isEnabled() && !p.w->CmdDelete->isEnabled());
        QCOMPARE(p.PreviewShapes(), 6);   // the grid alone
        QCOMPARE(p.state.PreviewMaxTime, 0.0f);
    }

    void ClickLoadsTheStep()
    {
        Window p;
        p.Steps(Steps(7));
        p.Click(7, 2);
        QCOMPARE(p.w->TextVoltage->text(), QStringLiteral("10.000"));
        QCOMPARE(p.w->TextTime->text(), QStringLiteral("7.000"));
        QCOMPARE(p.w->TextNo->text(), QStringLiteral(" 7"));
        QVERIFY(p.w->TextVoltage->hasFocus());
        // The step-number column moves the step but leaves the fields alone.
        p.w->TextTime->setText(QStringLiteral("typed"));
        p.w->MSFlexGrid1_MouseDown(5, 0);
        QCOMPARE(p.w->TextNo->text(), QStringLiteral(" 5"));
        QCOMPARE(p.w->TextTime->text(), QStringLiteral("typed"));
        // The spinner steps from its own value, not from the clicked row.
        p.w->UpDownNo->StepUp();
        QCOMPARE(p.w->TextNo->text(), QStringLiteral("2"));
        QCOMPARE(p.w->TextTime->text(), QStringLiteral("2.000"));
    }

    void LineEditingStates()
    {
        Window p;
        p.Steps(Steps(4));
        QTest::mouseClick(p.w->CmdEdit, Qt::LeftButton);
        QVERIFY(p.w->CmdInsert->isEnabled() && p.w->CmdDelete->isEnabled());
        QCOMPARE(p.w->CmdEdit->text(), QStringLiteral("셀 편집"));
        QTest::mouseClick(p.w->CmdInsert, Qt::LeftButton);
        p.Click(2, 1);
        p.Click(2, 1);   // stays armed
        QCOMPARE(p.Grid(2, 1), QString());
        QCOMPARE(p.Grid(4, 1), QStringLiteral("2.000"));
        QCOMPARE(p.w->TextTime->text(), QString());   // the new empty step

        QTest::mouseClick(p.w->CmdDelete, Qt::LeftButton);
        QCOMPARE(p.Face(p.w->CmdDelete), Armed);
        QCOMPARE(p.Face(p.w->CmdInsert), NotArmed);
        p.Click(1, 1);
        QCOMPARE(p.Grid(1, 1), QString());   // row 2 (empty) moved up; row 1 was a pattern of one
        QTest::mouseClick(p.w->CmdEdit, Qt::LeftButton);
        QCOMPARE(p.w->CmdEdit->text(), QStringLiteral("라인 편집"));
        QVERIFY(!p.w->CmdInsert->isEnabled() && !p.w->CmdDelete->isEnabled());
        QCOMPARE(p.Face(p.w->CmdDelete), NotArmed);
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

    void CommitStep_data()
    {
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("voltage");
        QTest::addColumn<QString>("current");
        QTest::addColumn<int>("enterIn");   // 0 time, 1 voltage, 2 current
        QTest::addColumn<QStringList>("row");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<int>("focus");
        QTest::addColumn<bool>("redrawn");
        QTest::newRow("enter in time") << "5" << "12" << "1.5" << 0 << QStringList{"5.000", "12.000", "1.500"}
                                       << QStringList{"5.000", "12.000", "1.500"} << 1 << false;
        QTest::newRow("enter in current") << "5" << "12" << "1.5" << 2 << QStringList{"5.000", "12.000", "1.500"}
                                          << QStringList{"5.000", "12.000", "1.500"} << 0 << true;
        QTest::newRow("negative voltage") << "5" << "-3" << "1" << 1 << QStringList{"5.000", "9.000", "9.000"}
                                          << QStringList{"5.000", "ERROR", "1"} << 1 << false;
    }
    void CommitStep()
    {
        QFETCH(QString, time);
        QFETCH(QString, voltage);
        QFETCH(QString, current);
        QFETCH(int, enterIn);
        QFETCH(QStringList, row);
        QFETCH(QStringList, fields);
        QFETCH(int, focus);
        QFETCH(bool, redrawn);
        Window p;
        p.Steps({{"0.000", "1.000", "1.000"}, {"9.000", "9.000", "9.000"}});
        p.Click(2, 1);
        p.w->DrawPatternPreview();
        QCOMPARE(p.state.PreviewMaxTime, 9.0f);
        p.w->TextTime->setText(time);
        p.w->TextVoltage->setText(voltage);
        p.w->TextCurrent->setText(current);
        QLineEdit* fieldsInOrder[] = {p.w->TextTime, p.w->TextVoltage, p.w->TextCurrent};
        fieldsInOrder[enterIn]->setFocus();
        p.Enter(fieldsInOrder[enterIn]);
        QCOMPARE((QStringList{p.Grid(2, 1), p.Grid(2, 2), p.Grid(2, 3)}), row);
        QCOMPARE((QStringList{p.w->TextTime->text(), p.w->TextVoltage->text(), p.w->TextCurrent->text()}), fields);
        QCOMPARE(QApplication::focusWidget(), fieldsInOrder[focus]);
        // Only a redraw picks up the new time of step 2.
        QCOMPARE(p.state.PreviewMaxTime, redrawn ? float(row.at(0).toDouble()) : 9.0f);
    }

    void PreviewLagsWhereTheOperatorExpectsIt()
    {
        Window p;
        p.Steps({{"0.000", "15.000", "1.000"}, {"10.000", "30.000", "1.000"}});
        QCOMPARE(p.PreviewShapes(), 6);   // the table changed behind the preview
        p.w->OptionCC->setChecked(true);
        QCOMPARE(p.state.PreviewMaxTime, 10.0f);
        const int drawn = p.PreviewShapes();
        QVERIFY(drawn > 6);
        p.w->CmdEdit_Click();
        p.w->CmdDelete_Click();
        p.w->MSFlexGrid1_MouseDown(2, 1);   // deleting a line does not redraw
        QCOMPARE(p.PreviewShapes(), drawn);
        p.w->UpDownMaxCurrent->StepUp();   // nor does a maximum
        QCOMPARE(p.PreviewShapes(), drawn);
        p.w->CmdNewFile_Click();
        QCOMPARE(p.PreviewShapes(), 6);
    }

    void RepeatCountIsWired()
    {
        Window p;
        p.w->LabelRedo->setText(QStringLiteral("5"));
        p.w->TextReDo->setText(QStringLiteral("250"));
        p.Enter(p.w->TextReDo);
        QCOMPARE(p.w->TextReDo->text(), QStringLiteral("100"));
        QCOMPARE(p.w->UpDownReDo->Value(), 100);
        QVERIFY(!p.w->RepeatForever);
        QCOMPARE(p.w->LabelRedo->text(), QStringLiteral("0"));
        p.w->UpDownReDo->SetValue(0);
        QCOMPARE(p.w->TextReDo->text(), QStringLiteral("연속"));
        QVERIFY(p.w->RepeatForever);
    }
};

QTEST_MAIN(TestPatternWindow)
#include "test_pattern_window.moc"
