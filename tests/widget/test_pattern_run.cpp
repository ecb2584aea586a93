// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Playing, saving, loading and printing a pattern from the pattern window.
#include <QProcess>
#include <QRegularExpression>

#include "pattern/PatternPrintout.h"
#include "support/PatternWindow.h"
#include "support/Rows.h"

namespace {
struct Window : PatternWindow {
    using PatternWindow::PatternWindow;
    void Ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            w->Timer4_Timer();
    }
};
const QList<PatternStep> ThreeSteps{{"0.000", "5.000", "1.000"}, {"2.000", "12.500", "1.000"}, {"4.000", "0.000", "0.000"}};
}

class TestPatternRun : public QObject {
    Q_OBJECT
private slots:
    void ThreeStepsTwiceOnP1()
    {
        Window p;
        p.Steps(ThreeSteps);
        p.w->DrawPatternPreview();
        FindControl<QLineEdit>(*p.w, "TextReDo")->setText(QStringLiteral("2"));
        p.w->TextReDo_KeyPress();
        QTest::mouseClick(FindControl<QPushButton>(*p.w, "CmdRunP1"), Qt::LeftButton);
        QVERIFY(p.w->RunningP1());
        QVERIFY(p.port.Writes.isEmpty());   // the first step waits for the first tick
        p.Ticks(74);
        QCOMPARE(p.port.Writes, (QList<QByteArray>{"APPL P1,5,1\r", "APPL P1,12.5,1\r", "APPL P1,0,0\r"}));
        QCOMPARE(FindControl<QLabel>(*p.w, "LabelRedo")->text(), QStringLiteral("1"));
        // The circle marks the last step's time: the right edge.
        const auto& mark = FindControl<PictureBox>(*p.w, "PictureProgressBar")->Shapes();
        QCOMPARE(mark.size(), 1);
        QCOMPARE(mark.first().A, QPointF(3200, 70));

        QTest::mouseClick(FindControl<QPushButton>(*p.w, "CmdRunP1"), Qt::LeftButton);
        QCOMPARE(FindControl<QLabel>(*p.w, "LabelRedo")->text(), QStringLiteral("0"));
        QVERIFY(!FindControl<QTimer>(*p.w, "Timer4")->isActive());
    }

    // Refused values are shown, not changed: the run sends them as before.
    void RefusedStepsAreShownAndStillSent()
    {
        Window p;
        p.Steps({{"0.000", "-1.000", "1.000"}, {"0.000", "5.000", "6.000"}, {"0.000", "31.000", "1.000"}});
        for (const QPoint cell : {QPoint(0, 1), QPoint(1, 2), QPoint(2, 1)})
            QCOMPARE(p.Cell(cell.x() + 1, cell.y() + 1).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
        QVERIFY(!p.Cell(1, 3).data(Qt::ForegroundRole).isValid());
        FindControl<UpDown>(*p.w, "UpDownMaxVoltage")->SetValue(31);   // a higher maximum takes the last voltage
        QVERIFY(!p.Cell(3, 2).data(Qt::ForegroundRole).isValid());
        p.w->CmdRunP1_Click();
        QCOMPARE(FindControl<QLabel>(*p.w, "LabelRefused")->text(), QStringLiteral("공급기가 거부할 단계 2개"));
        p.Ticks(3);
        QCOMPARE(p.port.Writes, (QList<QByteArray>{"APPL P1,-1,1\r", "APPL P1,5,6\r", "APPL P1,31,1\r"}));
        p.w->CmdRunP1_Click();
        QCOMPARE(FindControl<QLabel>(*p.w, "LabelRefused")->text(), QString());
    }

    void ControlsDuringAndAfterARun()
    {
        static const struct { const char* name; bool single; int output; } rows[] = {
            {"P1 on a dual supply", false, 1}, {"P1 on a single supply", true, 1}, {"P2 on a dual supply", false, 2}};
        for (const auto& r : rows) {
            Window p(r.single);
            p.Steps(ThreeSteps);
            QPushButton* own = r.output == 1 ? FindControl<QPushButton>(*p.w, "CmdRunP1") : FindControl<QPushButton>(*p.w, "CmdRunP2");
            QPushButton* other = r.output == 1 ? FindControl<QPushButton>(*p.w, "CmdRunP2") : FindControl<QPushButton>(*p.w, "CmdRunP1");
            own->click();
            const QList<QWidget*> locked{other, FindControl<QLineEdit>(*p.w, "TextReDo"), FindControl<UpDown>(*p.w, "UpDownReDo"), FindControl<QPushButton>(*p.w, "CmdNewFile"),
                                         FindControl<QPushButton>(*p.w, "CmdFileOpen"), FindControl<QPushButton>(*p.w, "CmdFileSave"), FindControl<QPushButton>(*p.w, "CmdPrint")};
            for (QWidget* w : locked)
                QVERIFY2(!w->isEnabled(), qPrintable(r.name + QStringLiteral(": ") + w->objectName()));
            p.Ticks(1);
            ROW_COMPARE(r.name, p.port.Writes.value(0), QByteArray(r.output == 1 ? "APPL P1,5,1\r" : "APPL P2,5,1\r"));
            own->click();
            for (QWidget* w : locked)
                QVERIFY2(w->isEnabled() || (w == FindControl<QPushButton>(*p.w, "CmdRunP2") && r.single), qPrintable(r.name + QStringLiteral(": ") + w->objectName()));
            ROW_COMPARE(r.name, FindControl<QPushButton>(*p.w, "CmdRunP2")->isEnabled(), !r.single);
        }
    }

    void NoFirstStepBeepsAndStartsNothing()
    {
        Window p;
        p.w->Table().SetStep(2, {"1.000", "1.000", "1.000"});
        p.w->CmdRunP1_Click();
        QCOMPARE(p.services.Beeps, 1);
        QVERIFY(!p.w->RunningP1());
    }

    void SaveAndLoad()
    {
        Window p;
        p.Steps(ThreeSteps);
        p.services.SaveAnswers << p.Path("first.txt") << p.Path("no-extension");
        p.w->CmdFileSave_Click();
        p.w->CmdFileSave_Click();
        QCOMPARE(p.services.DialogTitles, (QStringList{"Save File", "Save File"}));
        QCOMPARE(p.services.DialogInitialNames, (QStringList{QString(), p.Path("first.txt")}));
        QFile saved(p.Path("no-extension"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("0,5,1\r\n2,12.5,1\r\n4,0,0\r\n"));
        QCOMPARE(p.state.LastSaveName, p.Path("no-extension"));

        // Loading replaces the table and redraws.
        QFile two(p.Path("two.txt"));
        QVERIFY(two.open(QIODevice::WriteOnly));
        two.write("1,2,3,4,5,6");
        two.close();
        p.services.OpenAnswers << p.Path("two.txt");
        p.w->CmdFileOpen_Click();
        QCOMPARE(p.services.DialogTitles.last(), QStringLiteral("Open Pattern"));
        QCOMPARE(p.services.DialogInitialNames.last(), p.Path("no-extension"));   // what the dialog last held
        QCOMPARE(p.w->Table().Step(1), (PatternStep{"1.000", "2.000", "3.000"}));
        QCOMPARE(p.state.PreviewMaxTime, 4.0f);   // redrawn after the load
        QVERIFY(p.services.Messages.isEmpty());
        QCOMPARE(p.services.DialogFilters, QStringList(3, QStringLiteral("Text Files(*.txt)")));
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

    void FailuresAreToldAndLoseNothing()
    {
        Window p;
        p.Steps(ThreeSteps);
        p.services.SaveAnswers << p.Path("missing-folder/x.txt");
        p.w->CmdFileSave_Click();
        QCOMPARE(p.services.Titles, QStringList{"Tarvio"});
        QVERIFY(p.services.Messages.value(0).contains(p.Path("missing-folder/x.txt")));

        p.services.OpenAnswers << p.Path("nothing-here.txt") << QString();
        p.w->Table().SetStep(5, {"30.000", "1.000", "1.000"});   // behind the preview's back
        p.w->CmdFileOpen_Click();
        QCOMPARE(p.services.Messages.size(), 2);
        QCOMPARE(p.w->Table().Step(1), ThreeSteps.at(0));
        p.w->CmdFileOpen_Click();   // cancelled: nothing said, still redrawn
        QCOMPARE(p.services.Messages.size(), 2);
        QCOMPARE(p.state.PreviewMaxTime, 4.0f);
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
        QVERIFY(QFile::exists(p.services.PrintToPdf));
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), p.services.PrintToPdf, QStringLiteral("-")});
        QVERIFY2(pdftotext.waitForFinished(10000) && pdftotext.exitCode() == 0,
                 "pdftotext failed or is missing (package poppler-utils)");
        const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
        QVERIFY2(text.contains(QStringLiteral("  2   2.000   12.500   1.000\n")), qPrintable(text));
        QVERIFY2(!text.contains(QRegularExpression(QStringLiteral("^\\s*1\\s*$"), QRegularExpression::MultilineOption)),
                 qPrintable(text));   // no page number
    }
};

QTEST_MAIN(TestPatternRun)
#include "test_pattern_run.moc"
