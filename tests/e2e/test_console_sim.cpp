// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The whole console against the simulated supply: open COM 1 through the
// dialog, talk to the instrument, monitor it and play a pattern on it.
#include "pattern/frmPattern.h"
#include "support/ConsoleBench.h"

class TestConsoleSim : public QObject {
    Q_OBJECT
private slots:
    void OpensComOneTalksAndMonitorsBothOutputs()
    {
        ConsoleBench b({QStringLiteral("--outputs"), QStringLiteral("2"), QStringLiteral("--no-noise")});
        QVERIFY(b.sim.Ok());
        QTemporaryDir logs;
        b.window.Controller().LogFolder = logs.path();
        b.OpenThroughTheDialog();
        QVERIFY2(b.services.Messages.isEmpty(), qPrintable(b.services.Messages.join('\n')));
        QVERIFY(b.port.IsOpen());
        QCOMPARE(FindControl<QLabel>(b.window, "LabelComportOpen")->text(), QStringLiteral("열렸음"));
        QCOMPARE(FindControl<QLabel>(b.window, "sbrComm")->text(), QStringLiteral("COM 1 : 19200,N,8,1"));

        // Composed with the buttons: exactly the five characters and a line feed.
        QTest::mouseClick(b.window.findChild<QPushButton*>(QStringLiteral("CmdIDNQ")), Qt::LeftButton);
        QTest::mouseClick(FindControl<QPushButton>(b.window, "CmdStartStop"), Qt::LeftButton);
        QTRY_VERIFY(b.sim.RecordText().contains(QStringLiteral("\tLF\t*IDN?\n")));
        QCOMPARE(b.sim.Commands(), QStringList{QStringLiteral("*IDN?")});
        QTRY_VERIFY(b.Info().contains(QStringLiteral("QPX-")));

        for (const char* command : {"APPL P1,12.5,1.2", "APPL P2,7.5,1", "OUTP:STAT ON"})
            b.Send(QString::fromLatin1(command));
        FindControl<QRadioButton>(b.window, "OptionDual")->setChecked(true);
        FindControl<QRadioButton>(b.window, "OptionMonitorCmd")->setChecked(true);
        QVERIFY(FindControl<QTimer>(b.window, "Timer3")->isActive());
        QCOMPARE(FindControl<QTimer>(b.window, "Timer3")->interval(), 400);
        QVERIFY(!FindControl<QPushButton>(b.window, "CmdComport")->isEnabled());
        // CC on P1 (12.5 V would drive 1.25 A into 10 ohms), CV on P2.
        QTRY_COMPARE(FindControl<QLabel>(b.window, "Label_P1_Voltage")->text(), QStringLiteral("12.000"));
        QTRY_COMPARE(FindControl<QLabel>(b.window, "Label_P1_Current")->text(), QStringLiteral("1.200"));
        QTRY_COMPARE(FindControl<QLabel>(b.window, "Label_P2_Voltage")->text(), QStringLiteral("7.500"));
        QTRY_COMPARE(FindControl<QLabel>(b.window, "Label_P2_Current")->text(), QStringLiteral("0.750"));
        const QString logFile = logs.filePath(QDate::currentDate().toString(QStringLiteral("yyMMdd")) + QStringLiteral("_MS.txt"));
        QTRY_VERIFY(QFileInfo(logFile).size() > 0);
        QFile log(logFile);
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.readLine().startsWith("P1: "));
        QVERIFY(b.sim.Commands().contains(QStringLiteral("MEAS:CURRA? P2")));

        // Replies are answered in order: once *IDN? is back, no monitor reply is still on its way.
        FindControl<QRadioButton>(b.window, "OptionLineCmd")->setChecked(true);
        const qsizetype replies = b.Info().count(QStringLiteral("QPX-"));
        b.Send(QStringLiteral("*IDN?"));
        QTRY_COMPARE(b.Info().count(QStringLiteral("QPX-")), replies + 1);
        FindControl<QRadioButton>(b.window, "OptionSetCmd")->setChecked(true);
        QTRY_COMPARE(FindControl<QLabel>(b.window, "Label_P2_Set_Current")->text(), QStringLiteral("1.000"));
        QCOMPARE(FindControl<QLabel>(b.window, "Label_P1_Set_Voltage")->text(), QStringLiteral("12.500"));
        QCOMPARE(FindControl<QLabel>(b.window, "Label_P1_Set_Current")->text(), QStringLiteral("1.200"));
        QCOMPARE(FindControl<QLabel>(b.window, "Label_P2_Set_Voltage")->text(), QStringLiteral("7.500"));
        QCOMPARE(b.sim.Commands().count(QStringLiteral("SOUR:VOLT? P1")), 1);   // once, not polled
    }

    void PatternPlaysOnTheSupply()
    {
        ConsoleBench b;
        QVERIFY(b.sim.Ok());
        b.OpenThroughTheDialog();
        FindControl<QRadioButton>(b.window, "OptionPatternCmd")->setChecked(true);
        auto* pattern = qobject_cast<frmPattern*>(b.window.PatternWindow());
        QVERIFY(pattern);
        pattern->Table().SetStep(1, {"0.000", "5.000", "1.000"});
        pattern->Table().SetStep(2, {"0.100", "12.500", "0.500"});
        pattern->Table().SetStep(3, {"0.200", "0.000", "0.000"});
        pattern->ShowTable();
        FindControl<QLineEdit>(*pattern, "TextReDo")->setText(QStringLiteral("2"));
        pattern->TextReDo_KeyPress();
        QVERIFY(!FindControl<QCheckBox>(*pattern, "CheckMeasure")->isChecked());   // the line below is unmeasured
        pattern->CmdRunP1_Click();
        QTRY_COMPARE_WITH_TIMEOUT(FindControl<QLabel>(*pattern, "LabelRedo")->text(), QStringLiteral("2"), 10000);
        const QStringList expected{"APPL P1,5,1", "APPL P1,12.5,0.5", "APPL P1,0,0"};
        QTRY_COMPARE(b.sim.Commands(), expected + expected);
        QCOMPARE(b.sim.RecordText().count(QStringLiteral("\tCR\tAPPL")), 6);
        QVERIFY(!b.sim.RecordText().contains(QStringLiteral("\tLF\t")));
        pattern->close();
        QTRY_VERIFY(b.window.isEnabled());
        QVERIFY(FindControl<QRadioButton>(b.window, "OptionLineCmd")->isChecked());
    }
};

QTEST_MAIN(TestConsoleSim)
#include "test_console_sim.moc"
