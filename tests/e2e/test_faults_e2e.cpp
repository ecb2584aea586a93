// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The console on a bad day: a supply that vanishes and comes back, under the
// same or a new name, a port another program holds, framing a pty cannot take
// and a stalled line. Each case checks that the console keeps working and
// loses nothing it had. What the operator's 닫기 does to the wait is the unit
// test's (test_reconnect).
#include <QDir>

#include "bench/BenchConsole.h"
#include "pattern/frmPattern.h"
#include "support/ConsoleBench.h"
#include "support/PatternTables.h"
#include "support/PtyPeer.h"

namespace {
// Bytes in every day's log file of the folder: a run may cross midnight.
qint64 Logged(const QString& folder)
{
    qint64 bytes = 0;
    for (const QFileInfo& file : QDir(folder).entryInfoList({QStringLiteral("*_MS.txt")}, QDir::Files))
        bytes += file.size();
    return bytes;
}
}

class TestFaultsE2E : public QObject {
    Q_OBJECT
private slots:
    // The port closes at the loss and opens again by itself; dual monitoring
    // and its log go on, a pattern run stays ended (a repeat ends: the controller's test).
    void SupplyVanishesAndComesBack_data()
    {
        QTest::addColumn<QStringList>("simArgs");
        QTest::addColumn<int>("losses");
        QTest::addColumn<bool>("pattern");
        QTest::newRow("under a pattern run") << QStringList{"--vanish-after", "1.0"} << 1 << true;
        QTest::newRow("a flapping cable under monitoring") << QStringList{"--vanish-every", "1.5"} << 3 << false;
        // Another kernel name; only its stable link, kept by the simulator as
        // udev keeps /dev/serial/by-id, leads to it.
        QTest::newRow("renamed adapter, found by its stable name")
            << QStringList{"--vanish-after", "1.0", "--return-as", "{dir}/ttyUSB1", "--stable-link", "{dir}/by-id/usb-Bench_Supply_A1-if00-port0"}
            << 1 << false;
    }
    void SupplyVanishesAndComesBack()
    {
        QFETCH(QStringList, simArgs);
        QFETCH(int, losses);
        QFETCH(bool, pattern);
        QTemporaryDir devices;
        QVERIFY(QDir(devices.path()).mkdir(QStringLiteral("by-id")));
        simArgs.replaceInStrings(QStringLiteral("{dir}"), devices.path());
        qputenv("TARVIO_SERIAL_BY_ID", QFile::encodeName(devices.filePath(QStringLiteral("by-id"))));
        ConsoleBench b(simArgs + QStringList{"--return-after", "0.5", "--no-noise"});
        qunsetenv("TARVIO_SERIAL_BY_ID");
        QVERIFY(b.sim.Ok());
        const QString device = b.sim.Link();
        QTemporaryDir logs;
        b.window.Controller().LogFolder = logs.path();
        QSignalSpy lost(&b.port, &SerialPort::DeviceLost);
        b.OpenThroughTheDialog();
        QVERIFY(b.port.IsOpen());
        frmPattern* run = nullptr;
        if (pattern) {
            FindControl<QRadioButton>(b.window, "OptionPatternCmd")->setChecked(true);
            run = qobject_cast<frmPattern*>(b.window.PatternWindow());
            run->Table() = Table(QStringLiteral("0.000 1.000 0.100|0.100 2.000 0.100"));
            run->ShowTable();
            run->CmdRunP1_Click();
            QVERIFY(run->RunningP1());
        } else {
            FindControl<QRadioButton>(b.window, "OptionDual")->setChecked(true);
            FindControl<QRadioButton>(b.window, "OptionMonitorCmd")->setChecked(true);
        }
        for (int loss = 1; loss <= losses; ++loss) {
            QTRY_COMPARE_WITH_TIMEOUT(lost.size(), loss, 15000);
            QVERIFY(!b.port.IsOpen() && !FindControl<QTimer>(b.window, "Timer3")->isActive());
            QCOMPARE(FindControl<QLabel>(b.window, "LabelComportOpen")->text(), QStringLiteral("재연결 대기"));
            // The pattern window may disable the whole console, not this.
            QVERIFY(FindControl<QPushButton>(b.window, "CmdComport")->isEnabledTo(&b.window));
            QVERIFY2(b.port.ErrorCallbackCount() <= 3, qPrintable(QString::number(b.port.ErrorCallbackCount())));
            const qint64 logged = Logged(logs.path());
            QTRY_VERIFY_WITH_TIMEOUT(b.port.IsOpen(), 15000);
            QCOMPARE(FindControl<QLabel>(b.window, "LabelComportOpen")->text(), QStringLiteral("열렸음"));
            QCOMPARE(FindControl<QTimer>(b.window, "Timer3")->isActive(), !pattern);
            if (!pattern)   // a record is written again after each return
                QTRY_VERIFY_WITH_TIMEOUT(Logged(logs.path()) > logged, 15000);
        }
        // Each loss names the device, and what became of it rather than the last system error.
        QCOMPARE(b.Info().count(QStringLiteral("통신포트 연결이 끊어졌습니다: ") + device), losses);
        QCOMPARE(b.Info().count(QStringLiteral("장치가 사라졌습니다")), losses);
        QCOMPARE(b.Info().count(QStringLiteral("다시 연결됨")), losses);
        if (const qsizetype stable = simArgs.indexOf(QStringLiteral("--stable-link")) + 1) {
            QVERIFY(!QFileInfo::exists(device));   // the old name is gone for good
            QCOMPARE(b.port.DeviceName(), simArgs.at(stable));
        }
        if (pattern) {
            QVERIFY(!run->RunningP1());
            QCOMPARE(b.services.Titles, QStringList{"Tarvio"});   // says at which step it ended
            QVERIFY2(b.services.Messages.value(0).contains(QStringLiteral("단계")), qPrintable(b.services.Messages.value(0)));
        }
    }

    // The real port against a pseudo-terminal: the open succeeds and the line
    // stays 8N1; a second program is refused the port in words (a missing
    // device is the port dialog's widget test).
    void OpensAPtyWhateverTheFramingAndMovesBytesBothWays()
    {
        PtyPeer peer;
        QVERIFY(peer.Ok());
        QtSerialDevice port([&peer](int) { return peer.Path(); });
        port.SetReceiveThreshold(1);
        port.SetRequestToSend(true);
        QVERIFY(port.SetSettings(QStringLiteral(" 9600,E, 7, 2")));
        const Outcome result = port.Open();
        QVERIFY2(result.Ok(), qPrintable(result.Message()));
        const Outcome held = QtSerialDevice([&peer](int) { return peer.Path(); }).Open();
        QVERIFY2(!held.Ok() && held.Message().contains(QStringLiteral("다른 프로그램이 이 포트를 사용하고 있습니다"))
                     && held.Message().contains(peer.Path()), qPrintable(held.Message()));
        port.Write("*IDN?\n");
        QTRY_COMPARE(peer.Received(), QByteArray("*IDN?\n"));
        QSignalSpy events(&port, &SerialPort::LineEvent);
        peer.Send("QPX\xB5-30\r\n");
        QTRY_VERIFY(events.contains(QVariantList{2}));
        QByteArray got;
        QTRY_VERIFY((got += port.ReadAll()).size() == 9);
        QCOMPARE(got, QByteArray("QPX\xB5-30\r\n"));
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
