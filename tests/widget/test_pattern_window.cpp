// The pattern window as the operator edits a pattern: clicks, line editing,
// committing values, the repeat count, the maxima and the preview's callers.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QHeaderView>
#include <QtTest>

#include "console/ProgramState.h"
#include "console/frmMain.h"
#include "pattern/frmPattern.h"
#include "platform/Controls.h"
#include "platform/PictureBox.h"
#include "support/Fakes.h"

namespace {
struct Window {
    ProgramState state;
    FakeSerialPort port;
    FakeServices services;
    frmPattern* w;
    explicit Window(bool single = false) : w(new frmPattern(state, port, services, single))
    {
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->show();
        // Focus moves are part of what is tested, so the window must be the active one.
        QApplication::setActiveWindow(w);
        (void)QTest::qWaitForWindowActive(w);
    }
    ~Window() { delete w; }
    void Steps(int count)
    {
        for (int i = 1; i <= count; ++i)
            w->Table().SetStep(i, {QString::number(i) + QStringLiteral(".000"), QStringLiteral("10.000"), QStringLiteral("1.000")});
        w->ShowTable();
    }
    QString Grid(int row, int column) const { return w->MSFlexGrid1->item(row - 1, column - 1)->text(); }
    void Click(int row, int column)
    {
        QTableWidget* g = w->MSFlexGrid1;
        g->scrollToItem(g->item(row - 1, column - 1));
        QTest::mousePress(g->viewport(), Qt::LeftButton, {}, g->visualItemRect(g->item(row - 1, column - 1)).center());
        QTest::mouseRelease(g->viewport(), Qt::LeftButton, {}, g->visualItemRect(g->item(row - 1, column - 1)).center());
    }
    void Enter(QLineEdit* field) { QTest::keyClick(field, Qt::Key_Return); }
    int PreviewShapes() const { return int(w->PicturePreview->Shapes().size()); }
};
const QColor Yellow(255, 255, 192), Grey(192, 192, 192);
}

class TestPatternWindow : public QObject {
    Q_OBJECT
private slots:
    void StartUp()
    {
        Window p(true);
        QCOMPARE(p.w->windowTitle(), QStringLiteral(" 출력 패턴 만들기"));
        QVERIFY(!p.w->CmdRunP2->isEnabled());
        QVERIFY(p.w->CmdRunP1->isEnabled());
        QCOMPARE(p.w->TextReDo->text(), QStringLiteral("연속"));
        QVERIFY(p.w->RepeatForever);
        QCOMPARE(p.w->TextMaxVoltage->text(), QStringLiteral("30.000"));
        QCOMPARE(p.w->TextMaxCurrent->text(), QStringLiteral("5.000"));
        QCOMPARE(p.w->MSFlexGrid1->horizontalHeaderItem(0)->text(), QStringLiteral(" 시간"));
        QCOMPARE(p.w->MSFlexGrid1->verticalHeaderItem(99)->text(), QStringLiteral(" 100"));
        QVERIFY(!p.w->CmdInsert->isEnabled() && !p.w->CmdDelete->isEnabled());
        QCOMPARE(p.w->Timer4.timerType(), Qt::PreciseTimer);
        QCOMPARE(p.w->Timer4.interval(), 55);
        QCOMPARE(p.PreviewShapes(), 6);   // the grid alone
        QCOMPARE(p.state.PreviewMaxTime, 0.0f);
    }

    void ClickLoadsTheStep()
    {
        Window p;
        p.Steps(7);
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
        // The header row is ignored.
        p.w->MSFlexGrid1_MouseDown(0, 2);
        QCOMPARE(p.w->TextNo->text(), QStringLiteral(" 5"));
        // The spinner steps from its own value, not from the clicked row.
        p.w->UpDownNo->StepUp();
        QCOMPARE(p.w->TextNo->text(), QStringLiteral("2"));
        QCOMPARE(p.w->TextTime->text(), QStringLiteral("2.000"));
    }

    void LineEditingStates()
    {
        Window p;
        p.Steps(4);
        QTest::mouseClick(p.w->CmdEdit, Qt::LeftButton);
        QCOMPARE(p.w->CmdEdit->text(), QStringLiteral("셀 편집"));
        QVERIFY(p.w->CmdInsert->isEnabled());
        QTest::mouseClick(p.w->CmdInsert, Qt::LeftButton);
        QCOMPARE(p.w->CmdInsert->palette().color(QPalette::Button), Yellow);
        QCOMPARE(p.w->CmdDelete->palette().color(QPalette::Button), Grey);
        p.Click(2, 1);
        p.Click(2, 1);   // stays armed
        QCOMPARE(p.Grid(2, 1), QString());
        QCOMPARE(p.Grid(3, 1), QString());
        QCOMPARE(p.Grid(4, 1), QStringLiteral("2.000"));
        QCOMPARE(p.Grid(6, 1), QStringLiteral("4.000"));
        QCOMPARE(p.w->TextTime->text(), QString());   // the new empty step

        QTest::mouseClick(p.w->CmdDelete, Qt::LeftButton);
        QVERIFY(p.w->DeleteArmed && !p.w->InsertArmed);
        p.Click(1, 1);
        QCOMPARE(p.Grid(1, 1), QString());   // row 2 (empty) moved up; row 1 was a pattern of one
        QTest::mouseClick(p.w->CmdEdit, Qt::LeftButton);
        QVERIFY(!p.w->LineEditMode && !p.w->DeleteArmed && !p.w->InsertArmed);
        QVERIFY(!p.w->CmdInsert->isEnabled());
        QCOMPARE(p.w->CmdDelete->palette().color(QPalette::Button), Grey);
    }

    void InsertOnAFullTableIsRefusedWithABeep()
    {
        Window p;
        p.Steps(100);
        p.w->CmdEdit_Click();
        p.w->CmdInsert_Click();
        p.w->MSFlexGrid1_MouseDown(100, 1);
        QCOMPARE(p.services.Beeps, 1);
        QCOMPARE(p.Grid(100, 1), QStringLiteral("100.000"));
        QCOMPARE(p.w->Table().LeadingCompleteSteps(), 100);
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
        const QStringList old{"9.000", "9.000", "9.000"};
        QTest::newRow("enter in time") << "5" << "12" << "1.5" << 0 << QStringList{"5.000", "12.000", "1.500"}
                                       << QStringList{"5.000", "12.000", "1.500"} << 1 << false;
        QTest::newRow("enter in current") << "5" << "12" << "1.5" << 2 << QStringList{"5.000", "12.000", "1.500"}
                                          << QStringList{"5.000", "12.000", "1.500"} << 0 << true;
        QTest::newRow("negative voltage") << "5" << "-3" << "1" << 1 << QStringList{"5.000", "9.000", "9.000"}
                                          << QStringList{"5.000", "ERROR", "1"} << 1 << false;
        QTest::newRow("negative time") << "-1" << "3" << "1" << 0 << old << QStringList{"ERROR", "3", "1"} << 0 << false;
        QTest::newRow("above the maximum is kept") << "1" << "150" << "0.0625" << 1
                                                   << QStringList{"1.000", "150.000", "0.063"}
                                                   << QStringList{"1.000", "150.000", "0.063"} << 2 << true;
        QTest::newRow("not a number reads 0") << "" << "abc" << "ERROR" << 2 << QStringList{"0.000", "0.000", "0.000"}
                                              << QStringList{"0.000", "0.000", "0.000"} << 0 << true;
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
        p.w->Table().SetStep(1, {"0.000", "1.000", "1.000"});
        p.w->Table().SetStep(2, {"9.000", "9.000", "9.000"});
        p.w->ShowTable();
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
        p.w->Table().SetStep(1, {"0.000", "15.000", "1.000"});
        p.w->Table().SetStep(2, {"10.000", "30.000", "1.000"});
        p.w->ShowTable();
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
        QCOMPARE(p.w->TextMaxCurrent->text(), QStringLiteral("6.000"));
        QCOMPARE(p.PreviewShapes(), drawn);
        p.w->CmdNewFile_Click();
        QCOMPARE(p.PreviewShapes(), 6);
        QCOMPARE(p.w->MSFlexGrid1->verticalHeaderItem(0)->text(), QStringLiteral(" 1"));
    }

    void RepeatCount_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("spinner");
        QTest::addColumn<bool>("endless");
        QTest::newRow("zero") << "0" << "연속" << 0 << true;
        QTest::newRow("negative") << "-4" << "연속" << 0 << true;
        QTest::newRow("연속") << "연속" << "연속" << 0 << true;
        QTest::newRow("too many") << "250" << "100" << 100 << false;
        QTest::newRow("seven") << "7" << "7" << 7 << false;
        QTest::newRow("half to even") << "2.5" << "2" << 2 << false;
    }
    void RepeatCount()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, spinner);
        QFETCH(bool, endless);
        Window p;
        p.w->UpDownReDo->SetValue(3);
        p.w->LabelRedo->setText(QStringLiteral("5"));
        p.w->TextReDo->setText(typed);
        p.Enter(p.w->TextReDo);
        QCOMPARE(p.w->TextReDo->text(), shown);
        QCOMPARE(p.w->UpDownReDo->Value(), spinner);
        QCOMPARE(p.w->RepeatForever, endless);
        QCOMPARE(p.w->LabelRedo->text(), QStringLiteral("0"));
    }

    void MaximaStayInTheirRanges()
    {
        Window p;
        for (int i = 0; i < 200; ++i)
            p.w->UpDownMaxVoltage->StepUp();
        QCOMPARE(p.w->TextMaxVoltage->text(), QStringLiteral("120.000"));
        for (int i = 0; i < 20; ++i)
            p.w->UpDownMaxCurrent->StepDown();
        QCOMPARE(p.w->TextMaxCurrent->text(), QStringLiteral("1.000"));
    }

    void ConsoleIsHandedBackInLineMode()
    {
        ProgramState state;
        FakeSerialPort port;
        FakeServices services;
        frmMain console(state, port, services);
        console.show();
        port.Open();
        console.Form_Activate();
        console.OptionPatternCmd->setChecked(true);
        auto* pattern = qobject_cast<frmPattern*>(console.PatternWindow());
        QVERIFY(pattern);
        QVERIFY(!console.isEnabled());
        QVERIFY(pattern->isEnabled());
        pattern->close();   // the close box, as the operator would
        QTRY_VERIFY(!console.PatternWindow());
        QVERIFY(console.isEnabled());
        QVERIFY(console.OptionLineCmd->isChecked());
        QVERIFY(console.CmdStartStop->isEnabled());
    }
};

QTEST_MAIN(TestPatternWindow)
#include "test_pattern_window.moc"
