// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The console on a bad day: a supply that vanishes and comes back, ports that
// cannot be opened, lost and garbled replies, floods and a stalled line. Each
// case checks that the console keeps working and loses nothing it had.
#include "bench/BenchConsole.h"
#include "pattern/frmPattern.h"
#include "support/ConsoleBench.h"
#include "support/PtyPeer.h"

namespace {
const QString Lost = QStringLiteral("통신포트 연결이 끊어졌습니다");

void StartPatternRun(frmMain& console)
{
    FindControl<QRadioButton>(console, "OptionPatternCmd")->setChecked(true);
    auto* pattern = qobject_cast<frmPattern*>(console.PatternWindow());
    QVERIFY(pattern);
    pattern->Table().SetStep(1, {"0.000", "1.000", "0.100"});
    pattern->Table().SetStep(2, {"0.100", "2.000", "0.100"});
    pattern->ShowTable();
    pattern->CmdRunP1_Click();
    QVERIFY(pattern->RunningP1());
}
}

class TestFaultsE2E : public QObject {
    Q_OBJECT
private slots:
    void SupplyVanishesAndComesBack_data()
    {
        QTest::addColumn<QString>("during");
        QTest::newRow("monitoring") << "monitor";
        QTest::newRow("10 ms repeat") << "repeat";
        QTest::newRow("pattern run") << "pattern";
    }
    // The console resumes what is safe by itself: monitoring polls again, a
    // repeat and a pattern run stay ended. Losses are counted at the port, not
    // in the message panel, which the reply flood of a repeat may empty.
    void SupplyVanishesAndComesBack()
    {
        QFETCH(QString, during);
        ConsoleBench b({"--vanish-after", "1.0", "--return-after", "1.0"});
        QVERIFY(b.sim.Ok());
        QSignalSpy lost(&b.port, &SerialPort::DeviceLost);
        b.OpenThroughTheDialog();
        QVERIFY(b.port.IsOpen());
        if (during == QLatin1String("monitor")) {
            FindControl<QRadioButton>(b.window, "OptionDual")->setChecked(true);
            FindControl<QRadioButton>(b.window, "OptionMonitorCmd")->setChecked(true);
        } else if (during == QLatin1String("repeat")) {
            for (int i = 0; i < 4; ++i)
                FindControl<UpDown>(b.window, "UpDownReDo")->StepDown();
            QCOMPARE(FindControl<QTimer>(b.window, "Timer1")->interval(), 10);
            FindControl<QCheckBox>(b.window, "CheckRedo")->setChecked(true);
            b.Send(QStringLiteral("MEAS:VOLT? P1"));
            QVERIFY(FindControl<QTimer>(b.window, "Timer1")->isActive());
        } else {
            StartPatternRun(b.window);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!lost.isEmpty(), 10000);
        QVERIFY(!b.port.IsOpen());
        QCOMPARE(b.Info().count(Lost), 1);
        QVERIFY(b.Info().contains(b.sim.Link()));   // names the device
        QVERIFY(b.Info().contains(QStringLiteral("장치가 사라졌습니다")));
        QVERIFY(!FindControl<QTimer>(b.window, "Timer3")->isActive());
        QVERIFY(!FindControl<QTimer>(b.window, "Timer1")->isActive());
        QCOMPARE(b.window.Controller().RepeatIdle(), true);
        QCOMPARE(FindControl<QLabel>(b.window, "LabelComportOpen")->text(), QStringLiteral("재연결 대기"));
        QVERIFY(FindControl<QPushButton>(b.window, "CmdComport")->isEnabledTo(&b.window));   // the pattern window may disable the whole console
        QVERIFY2(b.port.ErrorCallbackCount() <= 3, qPrintable(QString::number(b.port.ErrorCallbackCount())));

        // Back on the same link: COM 1 opens again by itself.
        QTRY_VERIFY_WITH_TIMEOUT(b.port.IsOpen(), 10000);
        QCOMPARE(FindControl<QLabel>(b.window, "LabelComportOpen")->text(), QStringLiteral("열렸음"));
        QCOMPARE(b.Info().count(QStringLiteral("다시 연결됨")), 1);
        QCOMPARE(lost.size(), 1);
        if (during == QLatin1String("monitor")) {
            QVERIFY(FindControl<QTimer>(b.window, "Timer3")->isActive());
            FindControl<QLabel>(b.window, "Label_P2_Current")->setText(QStringLiteral("stale"));
            QTRY_VERIFY_WITH_TIMEOUT(FindControl<QLabel>(b.window, "Label_P2_Current")->text() != QLatin1String("stale"), 5000);
        } else {
            QVERIFY(!FindControl<QTimer>(b.window, "Timer1")->isActive());
            if (auto* pattern = qobject_cast<frmPattern*>(b.window.PatternWindow())) {
                QVERIFY(!pattern->RunningP1());
                QCOMPARE(b.services.Titles, QStringList{"Tarvio"});
                QVERIFY2(b.services.Messages.value(0).contains(QStringLiteral("단계")),
                         qPrintable(b.services.Messages.value(0)));
                pattern->close();
            }
            QTRY_VERIFY(b.window.isEnabled());
            b.Send(QStringLiteral("*IDN?"));
            QTRY_VERIFY(b.Info().contains(QStringLiteral("QPX-")));
        }
    }

    void PortThatCannotBeOpened_data()
    {
        QTest::addColumn<bool>("held");
        QTest::addColumn<QString>("reason");
        QTest::newRow("held by another program") << true << QStringLiteral("다른 프로그램");
        QTest::newRow("missing device") << false << QStringLiteral("장치가 없습니다");
    }
    void PortThatCannotBeOpened()
    {
        QFETCH(bool, held);
        QFETCH(QString, reason);
        ConsoleBench b;
        QVERIFY(b.sim.Ok());
        QtSerialDevice other([&](int) { return b.sim.Link(); });
        if (held)
            QVERIFY(other.Open().Ok());
        else
            b.port.SetPortNumber(3);   // bound to a device that does not exist
        QTimer::singleShot(0, [&] {
            if (auto* dialog = qobject_cast<CommInit*>(QApplication::activeModalWidget())) {
                (held ? FindControl<QRadioButton>(*dialog, "Com1") : FindControl<QRadioButton>(*dialog, "Com3"))->setChecked(true);
                FindControl<QPushButton>(*dialog, "CommInit_OK")->click();
            }
        });
        b.window.CmdComport_Click();
        QVERIFY(!b.port.IsOpen());
        QCOMPARE(b.services.Titles, QStringList{"Tarvio"});
        const QString message = b.services.Messages.value(0);
        QVERIFY2(message.contains(reason) && message.contains(b.port.DeviceName()), qPrintable(message));
        QCOMPARE(FindControl<QLabel>(b.window, "LabelComportOpen")->text(), QStringLiteral("닫혔음"));
        QVERIFY(!FindControl<QPushButton>(b.window, "CmdStartStop")->isEnabled());
        QVERIFY(!FindControl<QGroupBox>(b.window, "FrameRedo")->isEnabled());
    }

    void LostRepliesShiftTheReadoutsOnlyUntilTheCycleRealigns()
    {
        // Every 13th reply is lost: with four replies a cycle, each loss shifts the cycle by one.
        ConsoleBench b({"--no-noise", "--drop-every", "13"});
        QVERIFY(b.sim.Ok());
        b.OpenThroughTheDialog();
        for (const char* command : {"APPL P1,12,1.5", "APPL P2,5,1", "OUTP:STAT ON"})
            b.Send(QString::fromLatin1(command));
        FindControl<QRadioButton>(b.window, "OptionDual")->setChecked(true);
        FindControl<QRadioButton>(b.window, "OptionMonitorCmd")->setChecked(true);
        auto aligned = [&] {
            return FindControl<QLabel>(b.window, "Label_P1_Voltage")->text() == QLatin1String("12.000")
                   && FindControl<QLabel>(b.window, "Label_P1_Current")->text() == QLatin1String("1.200")
                   && FindControl<QLabel>(b.window, "Label_P2_Voltage")->text() == QLatin1String("5.000")
                   && FindControl<QLabel>(b.window, "Label_P2_Current")->text() == QLatin1String("0.500");
        };
        QTRY_VERIFY(aligned());
        QTRY_VERIFY_WITH_TIMEOUT(FindControl<QLabel>(b.window, "Label_P1_Voltage")->text() != QLatin1String("12.000"), 5000);
        QTRY_VERIFY(aligned());   // within a few polls, with nothing applied again
    }

    void GarbledRepliesLandLikeValues()
    {
        ConsoleBench b({"--no-noise", "--garble-every", "4"});
        QVERIFY(b.sim.Ok());
        b.OpenThroughTheDialog();
        FindControl<QRadioButton>(b.window, "OptionDual")->setChecked(true);
        FindControl<QRadioButton>(b.window, "OptionMonitorCmd")->setChecked(true);
        // The fourth reply of every cycle, P2's current, is garbled: it shows as it came.
        QTRY_COMPARE(FindControl<QLabel>(b.window, "Label_P1_Voltage")->text(), QStringLiteral("0.000"));
        QTRY_VERIFY(FindControl<QLabel>(b.window, "Label_P2_Current")->text() != QLatin1String("00.000"));
        QCOMPARE(FindControl<QLabel>(b.window, "Label_P2_Current")->text().size(), 5);
        QVERIFY(FindControl<QLabel>(b.window, "Label_P2_Current")->text() != QLatin1String("0.000"));
        QCOMPARE(FindControl<QLabel>(b.window, "Label_P2_Voltage")->text(), QStringLiteral("0.000"));
    }

    void FloodWithoutLineFeedsStaysBounded()
    {
        ConsoleBench b({"--flood-no-lf", "--flood-count", "20000"});
        QVERIFY(b.sim.Ok());
        b.OpenThroughTheDialog();
        b.Send(QString());   // an empty field sends nothing; a real command starts the flood
        b.Send(QStringLiteral("*RST"));
        QTRY_VERIFY_WITH_TIMEOUT(b.Info().count(QLatin1Char('\n')) >= 4, 10000);
        for (const QString& line : b.Info().split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            QCOMPARE(line.size(), 4096);
        QVERIFY(b.window.Controller().Receive().LineBuffer.size() < 4096);
        QTRY_COMPARE(b.window.Controller().Receive().LineBuffer.size(), 20000 - 4 * 4096);
    }

    void FloodOfLinesKeepsTheHundredLineRule()
    {
        ConsoleBench b({"--flood-lines", "0", "--flood-count", "5000"});
        QVERIFY(b.sim.Ok());
        b.OpenThroughTheDialog();
        b.Send(QStringLiteral("*RST"));
        QTRY_VERIFY_WITH_TIMEOUT(b.Info().endsWith(QStringLiteral("04.999\n")), 20000);
        QVERIFY(b.window.Controller().Receive().MessageLineCount <= 100);
        QVERIFY(b.Info().count(QLatin1Char('\n')) <= 101);
        QCOMPARE(b.Info().count(QLatin1Char('\n')), b.window.Controller().Receive().MessageLineCount);
        b.Send(QStringLiteral("*IDN?"));   // still talking
        QTRY_VERIFY(b.Info().contains(QStringLiteral("QPX-")));
    }

    void StalledLineBoundsTheBacklogAndSaysSoOncePerEpisode()
    {
        // A peer that reads nothing is a line far slower than a 10 ms repeat.
        PtyPeer peer;
        QVERIFY(peer.Ok());
        bench::Console console(peer.Path());
        QVERIFY(console.OpenComOne());
        frmMain& window = console.Window;
        FindControl<QLineEdit>(window, "TextCommand")->setText(QString(1000, QLatin1Char('X')));
        FindControl<QCheckBox>(window, "CheckRedo")->setChecked(true);
        for (int i = 0; i < 4; ++i)
            FindControl<UpDown>(window, "UpDownReDo")->StepDown();
        window.CmdStartStop_Click();
        const QString full = QStringLiteral("전송 버퍼 가득 참.");
        QTRY_COMPARE_WITH_TIMEOUT(FindControl<TextPanel>(window, "TextInfo")->toPlainText().count(full), 1, 20000);
        // The peer catches up until ten more commands have come through, the
        // backlog drains, and the next stall is a new episode. A report per
        // dropped write would have run the count far past two by then.
        const qsizetype stalledAt = peer.Received().size();
        QTRY_VERIFY_WITH_TIMEOUT(peer.Received().size() >= stalledAt + 10 * 1000, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(FindControl<TextPanel>(window, "TextInfo")->toPlainText().count(full), 2, 20000);
        window.CmdStartStop_Click();
        QVERIFY(!FindControl<QTimer>(window, "Timer1")->isActive());
        QCOMPARE(FindControl<TextPanel>(window, "TextInfo")->toPlainText().count(full), 2);
        QCOMPARE(console.Port.ErrorCallbackCount(), 0);
    }
};

QTEST_MAIN(TestFaultsE2E)
#include "test_faults_e2e.moc"
