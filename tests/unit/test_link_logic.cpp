// The port's own rules that need no device: settings text, device binding,
// line-event counters and the transmit bound as a port applies it.
#include <QtTest>

#include "link/DeviceBinding.h"
#include "link/LineEvents.h"
#include "link/PortSettings.h"
#include "support/FakeSerialPort.h"

class TestLinkLogic : public QObject {
    Q_OBJECT
private slots:
    void SettingsReadBackNormalised_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("normalised");   // empty: refused
        QTest::newRow("dialog form") << " 19200,N, 8, 1" << "19200,N,8,1";
        QTest::newRow("lower-case parity, fewest data bits") << "300,o,5,2" << "300,O,5,2";
        QTest::newRow("even parity, tabs") << "\t9600 ,\tE,7 ,1 " << "9600,E,7,1";
        // Baud 0, negative or not a number; parity X; 4 and 9 data bits;
        // 0 and 3 stop bits; too few or too many fields.
        for (const char* refused : {"0,N,8,1", "-9600,N,8,1", "fast,N,8,1", ",N,8,1", "9600,X,8,1", "9600,NE,8,1",
                                    "9600,,8,1", "9600,N,4,1", "9600,N,9,1", "9600,N,8,0", "9600,N,8,3", "9600,N,8",
                                    "9600,N,8,1,1", ""})
            QTest::addRow("refused \"%s\"", refused) << refused << "";
    }
    void SettingsReadBackNormalised()
    {
        QFETCH(QString, given);
        QFETCH(QString, normalised);
        PortSettings s;
        s.Baud = 1234;
        const bool ok = PortSettings::Parse(given, &s);
        QCOMPARE(ok, !normalised.isEmpty());
        QCOMPARE(s.ToText(), ok ? normalised : QStringLiteral("1234,N,8,1"));   // refused: left as it was
    }

    void DeviceBinding_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("env");
        QTest::addColumn<QStringList>("found");
        QTest::addColumn<QString>("device");
        const QStringList mixed{"/dev/ttyS1", "/dev/ttyUSB10", "/dev/ttyS0", "/dev/ttyACM0", "/dev/ttyUSB2"};
        QTest::newRow("environment wins") << 1 << "/tmp/sim-link" << mixed << "/tmp/sim-link";
        QTest::newRow("adapters first, by name") << 1 << "" << mixed << "/dev/ttyACM0";
        QTest::newRow("usb2 before usb10") << 2 << "" << mixed << "/dev/ttyUSB2";
        QTest::newRow("usb10") << 3 << "" << mixed << "/dev/ttyUSB10";
        QTest::newRow("then on-board") << 4 << "" << mixed << "/dev/ttyS0";
        QTest::newRow("nothing found") << 3 << "" << QStringList{} << "/dev/ttyS2";
        QTest::newRow("fewer than n") << 2 << "" << QStringList{"/dev/ttyUSB0"} << "/dev/ttyS1";
    }
    void DeviceBinding()
    {
        QFETCH(int, n);
        QFETCH(QString, env);
        QFETCH(QStringList, found);
        QFETCH(QString, device);
        QCOMPARE(BindDevice(n, env, OrderSerialDevices(found), false), device);
    }

    void WindowsKeepsItsOwnNames()
    {
        QCOMPARE(BindDevice(3, QString(), {}, true), QStringLiteral("COM3"));
    }

    void CountersBecomeOneEventPerMovedCounter()
    {
        LineCounters before, after;
        QVERIFY(LineEventsBetween(before, after).isEmpty());
        after.Frame = 1000;   // a burst is one message, not a thousand
        after.Parity = 1;
        after.Break = 2;
        after.Cts = 1;
        after.Dsr = 1;
        after.BufOverrun = 5;
        after.Overrun = 1;
        const QList<int> codes = LineEventsBetween(before, after);
        QCOMPARE(codes, (QList<int>{1001, 1004, 1006, 1008, 1009, 3, 4}));
        for (int code : codes)
            QCOMPARE(LineEventMessage(code).isEmpty(), code == 4);
    }

    // Writes to a port whose device keeps everything pending, with the
    // device draining now and then. Each step is a write of that many bytes,
    // "drain" or "drainN" (the device reports N bytes left), "empty" (the
    // backlog went to zero unreported), "reopen" or "close"; each write
    // shows as W (reached the device), R (dropped and reported) or - (dropped).
    void TransmitBound_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("outcomes");
        QTest::newRow("fills exactly") << "100 3996" << "WW";
        QTest::newRow("one byte over") << "4000 97" << "WR";
        QTest::newRow("huge single write") << "5000" << "R";
        QTest::newRow("told once per episode") << "4096 1 1 4096" << "WR--";
        QTest::newRow("draining ends the episode") << "4096 1 drain 4096 1" << "WRWR";
        QTest::newRow("draining part way does not") << "4096 1 drain4000 97 96" << "WR-W";
        QTest::newRow("an empty backlog ends it unreported") << "4096 1 empty 5000" << "WRR";
        QTest::newRow("reopening ends it") << "4096 1 reopen 1" << "WRR";
        QTest::newRow("closed port") << "close 10" << "-";
    }
    void TransmitBound()
    {
        QFETCH(QString, steps);
        FakeSerialPort port;
        port.BacklogGrows = true;
        QVERIFY(port.Open().Ok());
        QSignalSpy events(&port, &SerialPort::LineEvent);
        QString outcomes;
        for (const QString& step : steps.split(QLatin1Char(' '))) {
            if (step.startsWith(QLatin1String("drain")))
                port.Drain(step.mid(5).toLongLong());
            else if (step == QLatin1String("empty"))
                port.Pending = 0;
            else if (step == QLatin1String("reopen")) {
                port.Close();
                port.Open();
            } else if (step == QLatin1String("close"))
                port.Close();
            else {
                const qsizetype writes = port.Writes.size(), told = events.size();
                port.Write(QByteArray(step.toInt(), 'x'));
                outcomes += port.Writes.size() > writes ? QLatin1Char('W') : events.size() > told ? QLatin1Char('R') : QLatin1Char('-');
            }
        }
        QTEST(outcomes, "outcomes");
        for (const QList<QVariant>& event : events)
            QCOMPARE(event.at(0).toInt(), LineEventCode::TxFull);
        QVERIFY(port.Pending <= TransmitBacklog::Capacity);
    }
};

QTEST_APPLESS_MAIN(TestLinkLogic)
#include "test_link_logic.moc"
