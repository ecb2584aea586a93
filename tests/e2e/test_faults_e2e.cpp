// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The console on a bad day: a supply that vanishes and comes back, ports that
// cannot be opened and a stalled line. Each case checks that the console keeps
// working and loses nothing it had.
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
    // A pattern run stays ended when the port comes back by itself (monitoring
    // resumes: the reconnect test; a repeat ends: the controller's test).
    void PatternRunEndsWhenTheSupplyVanishes()
    {
        ConsoleBench b({"--vanish-after", "1.0", "--return-after", "1.0"});
        QVERIFY(b.sim.Ok());
        QSignalSpy lost(&b.port, &SerialPort::DeviceLost);
        b.OpenThroughTheDialog();
        QVERIFY(b.port.IsOpen());
        StartPatternRun(b.window);
        QTRY_VERIFY_WITH_TIMEOUT(!lost.isEmpty(), 10000);
        QVERIFY(!b.port.IsOpen());
        QCOMPARE(b.Info().count(Lost), 1);
        QVERIFY(b.Info().contains(b.sim.Link()));   // names the device
        QVERIFY(b.Info().contains(QStringLiteral("장치가 사라졌습니다")));
        QCOMPARE(FindControl<QLabel>(b.window, "LabelComportOpen")->text(), QStringLiteral("재연결 대기"));
        QVERIFY(FindControl<QPushButton>(b.window, "CmdComport")->isEnabledTo(&b.window));   // the pattern window may disable the whole console
        QVERIFY2(b.port.ErrorCallbackCount() <= 3, qPrintable(QString::number(b.port.ErrorCallbackCount())));

        // Back on the same link: COM 1 opens again by itself.
        QTRY_VERIFY_WITH_TIMEOUT(b.port.IsOpen(), 10000);
        QCOMPARE(FindControl<QLabel>(b.window, "LabelComportOpen")->text(), QStringLiteral("열렸음"));
        QCOMPARE(b.Info().count(QStringLiteral("다시 연결됨")), 1);
        QCOMPARE(lost.size(), 1);
        auto* pattern = qobject_cast<frmPattern*>(b.window.PatternWindow());
        QVERIFY(pattern && !pattern->RunningP1());
        QCOMPARE(b.services.Titles, QStringList{"Tarvio"});
        QVERIFY2(b.services.Messages.value(0).contains(QStringLiteral("단계")), qPrintable(b.services.Messages.value(0)));
        pattern->close();
        QTRY_VERIFY(b.window.isEnabled());
        b.Send(QStringLiteral("*IDN?"));
        QTRY_VERIFY(b.Info().contains(QStringLiteral("QPX-")));
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
