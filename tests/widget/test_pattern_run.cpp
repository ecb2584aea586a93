// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The pattern window: line editing, committing values, and playing,
// measuring, saving, loading and printing a pattern.
#include <QCheckBox>
#include <QProcess>
#include <QRegularExpression>

#include "pattern/PatternPrintout.h"
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
    void Ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            w->Timer4_Timer();
    }
    QString Text(const char* label) const { return FindControl<QLabel>(*w, label)->text(); }
    void Type(const char* field, const char* text)
    {
        FindControl<QLineEdit>(*w, field)->setText(QString::fromUtf8(text));
        QTest::keyClick(FindControl<QLineEdit>(*w, field), Qt::Key_Return);
    }
};
const QList<PatternStep> ThreeSteps{{"0.000", "5.000", "1.000"}, {"2.000", "12.500", "1.000"}, {"4.000", "0.000", "0.000"}};
}

class TestPatternRun : public QObject {
    Q_OBJECT
private slots:
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

    // Refused values are shown, not changed: the run sends them as before.
    void RefusedStepsAreShownAndStillSent()
    {
        Window p;
        p.Steps({{"0.000", "-1.000", "1.000"}, {"0.000", "5.000", "6.000"}, {"0.000", "31.000", "1.000"}});
        for (const QPoint cell : {QPoint(2, 1), QPoint(3, 2), QPoint(2, 3)})
            QCOMPARE(p.Cell(cell.y(), cell.x()).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
        FindControl<UpDown>(*p.w, "UpDownMaxVoltage")->SetValue(31);   // a higher maximum takes the last voltage
        QVERIFY(!p.Cell(3, 2).data(Qt::ForegroundRole).isValid());
        p.w->CmdRunP1_Click();
        QCOMPARE(p.Text("LabelRefused"), QStringLiteral("공급기가 거부할 단계 2개"));
        p.Ticks(3);
        QCOMPARE(p.port.Writes, (QList<QByteArray>{"APPL P1,-1,1\r", "APPL P1,5,6\r", "APPL P1,31,1\r"}));
        p.w->CmdRunP1_Click();
        QCOMPARE(p.Text("LabelRefused"), QString());
    }

    // Saving, loading and their failures: a box naming the file, the table as it was, the preview redrawn.
    void SaveAndLoad()
    {
        Window p;
        p.Steps(ThreeSteps);
        p.services.SaveAnswers << p.Path("first.txt") << p.Path("no-extension") << p.Path("missing-folder/x.txt");
        p.w->CmdFileSave_Click();
        p.w->CmdFileSave_Click();
        QCOMPARE(p.services.DialogInitialNames, (QStringList{QString(), p.Path("first.txt")}));
        QFile saved(p.Path("no-extension"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("0,5,1\r\n2,12.5,1\r\n4,0,0\r\n"));
        p.w->CmdFileSave_Click();
        QVERIFY(p.services.Messages.value(0).contains(p.Path("missing-folder/x.txt")));

        QFile two(p.Path("two.txt"));
        QVERIFY(two.open(QIODevice::WriteOnly) && two.write("1,2,3,4,5,6") > 0);
        two.close();
        p.services.OpenAnswers << p.Path("nothing-here.txt") << p.Path("two.txt");
        p.w->CmdFileOpen_Click();
        QCOMPARE(p.services.Messages.size(), 2);
        QCOMPARE(p.w->Table().Step(1), ThreeSteps.at(0));
        QCOMPARE(p.state.PreviewMaxTime, 4.0f);
        p.w->CmdFileOpen_Click();
        QCOMPARE(p.services.DialogTitles, (QStringList{"Save File", "Save File", "Save File", "Open Pattern", "Open Pattern"}));
        QCOMPARE(p.w->Table().Step(1), (PatternStep{"1.000", "2.000", "3.000"}));
        QCOMPARE(p.services.Messages.size(), 2);
        QCOMPARE(p.services.DialogFilters, QStringList(5, QStringLiteral("Text Files(*.txt)")));
    }

    // Complete steps below a gap stay in the table but not in the file, and the operator is told.
    void SaveSaysWhatItLeftOut()
    {
        Window p;
        p.Steps(ThreeSteps);
        p.w->Table().SetStep(5, {"9.000", "1.000", "1.000"});
        p.w->Table().SetStep(7, {"9.500", "1.000", "1.000"});
        p.services.SaveAnswers << p.Path("gap.txt");
        p.w->CmdFileSave_Click();
        QFile saved(p.Path("gap.txt"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("0,5,1\r\n2,12.5,1\r\n4,0,0\r\n"));
        QCOMPARE(p.services.Messages, QStringList{QStringLiteral("3단계를 저장했습니다. 4번째 줄 아래의 단계 2개는 저장하지 않았습니다.")});
    }

    // The progress mark is a circle at any width of the strip.
    void ProgressMarkIsRound()
    {
        for (const int width : {300, 900}) {
            PictureBox strip(9000, 1000);
            strip.resize(width, 200);
            strip.DrawCircle(QPointF(4500, 500), 600, Qt::red);
            const QImage shot = strip.grab().toImage();
            QRect red;
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x)
                    if (QColor(shot.pixel(x, y)).red() - QColor(shot.pixel(x, y)).green() > 100)
                        red |= QRect(x, y, 1, 1);
            QVERIFY2(!red.isEmpty() && qAbs(red.width() - red.height()) <= 1,
                     qPrintable(QStringLiteral("%1 px: %2 x %3").arg(width).arg(red.width()).arg(red.height())));
        }
    }

    void PrintedListingReadsBackAsText()
    {
        Window p;
        p.Steps(ThreeSteps);
        p.w->CmdPrint_Click();   // cancelled
        QCOMPARE(p.services.PrintDialogs, 1);
        QCOMPARE(FindControl<QTextDocument>(*p.w, "RichTextBox1")->toPlainText(), ComposePrintListing(p.w->Table()).remove(QLatin1Char('\r')));
        p.services.PrintToPdf = p.Path("listing.pdf");
        p.w->CmdPrint_Click();
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), p.services.PrintToPdf, QStringLiteral("-")});
        QVERIFY2(pdftotext.waitForFinished(10000) && pdftotext.exitCode() == 0, "pdftotext failed or is missing (package poppler-utils)");
        const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
        QVERIFY2(text.contains(QStringLiteral("  2   2.000   12.500   1.000\n")), qPrintable(text));
        QVERIFY2(!text.contains(QRegularExpression(QStringLiteral("^\\s*1\\s*$"), QRegularExpression::MultilineOption)), qPrintable(text));   // no page number
    }

    void CurrentLimitSwitchesOff()
    {
        Window p(false, true);
        p.Type("TextLimitCurrent", "0.5");   // which turns measuring on
        p.Steps({{"0.000", "5.000", "1.000"}, {"10.000", "0.000", "0.000"}});
        p.w->CmdRunP1_Click();
        p.Ticks(2);
        QVERIFY(p.session.Reply(QStringLiteral("5.000\r")) && p.session.Reply(QStringLiteral("0.612")));
        QCOMPARE(p.port.Writes.last(), QByteArray("OUTP:STAT OFF\n"));
        QVERIFY(!FindControl<QTimer>(*p.w, "Timer4")->isActive() && !p.session.Reply(QStringLiteral("1.000")));
        QCOMPARE(p.session.Readings, (QStringList{"P1 V 5.000\r", "P1 A 0.612"}));
        QTRY_COMPARE(p.services.Titles, QStringList{"Tarvio"});
        QVERIFY(p.services.Messages.at(0).contains(QStringLiteral("0.612")) && p.services.Messages.at(0).contains(QStringLiteral("1단계")));
        QFile report(p.w->ReportPath());
        QVERIFY(report.open(QIODevice::ReadOnly) && report.readAll().endsWith(",current 0.612 > 0.500,limit\r\n"));
        QVERIFY(p.Text("LabelRunSummary").contains(QDir::toNativeSeparators(p.w->ReportPath())));
    }

    // A refused limit keeps the run from starting; a lost port ends it, and
    // a report that cannot be written is told.
    void RefusedLimitLostPortUnwritableReport()
    {
        Window p(false, true);
        p.session.Folder = p.Path("missing");
        p.Type("TextLimitVoltage", "열");
        QVERIFY(FindControl<QLineEdit>(*p.w, "TextLimitVoltage")->text() == QStringLiteral("ERROR") && !FindControl<QCheckBox>(*p.w, "CheckMeasure")->isChecked());
        p.Steps({{"0.000", "5.000", "1.000"}});
        FindControl<QCheckBox>(*p.w, "CheckMeasure")->setChecked(true);
        p.w->CmdRunP1_Click();
        QVERIFY(!p.w->RunningP1() && p.services.Beeps == 1);
        p.Type("TextLimitVoltage", "");
        p.w->CmdRunP1_Click();
        p.port.Vanish(QStringLiteral("unplugged"));
        QVERIFY(!p.w->RunningP1());
        QTRY_COMPARE(p.services.Titles.size(), 2);
        QVERIFY(p.services.Messages.join(QString()).contains(p.Path("missing")));
        QVERIFY(p.Text("LabelRunSummary").contains(QStringLiteral("보낸 단계 0 (연속)")));
    }
};

QTEST_MAIN(TestPatternRun)
#include "test_pattern_run.moc"
