// The port's own rules that need no device: settings text, device binding,
// line-event counters and the transmit bound.
#include <QtTest>

#include "link/DeviceBinding.h"
#include "link/LineEvents.h"
#include "link/PortSettings.h"
#include "link/TransmitBacklog.h"

class TestLinkLogic : public QObject {
    Q_OBJECT
private slots:
    void SettingsReadBackNormalised_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("normalised");   // empty: refused
        QTest::newRow("dialog form") << " 19200,N, 8, 1" << "19200,N,8,1";
        QTest::newRow("already normal") << "9600,E,7,2" << "9600,E,7,2";
        QTest::newRow("lower-case parity") << "300,o,8,1" << "300,O,8,1";
        QTest::newRow("three fields") << "9600,N,8" << "";
        QTest::newRow("bad parity") << "9600,X,8,1" << "";
        QTest::newRow("no baud") << ",N,8,1" << "";
        QTest::newRow("three stop bits") << "9600,N,8,3" << "";
        QTest::newRow("empty") << "" << "";
    }
    void SettingsReadBackNormalised()
    {
        QFETCH(QString, given);
        QFETCH(QString, normalised);
        PortSettings s;
        s.Baud = 1234;
        const bool ok = PortSettings::Parse(given, &s);
        QCOMPARE(ok, !normalised.isEmpty());
        QCOMPARE(s.ToText(), ok ? normalised : QStringLiteral("1234,N,8,1"));
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

    void TransmitBound_data()
    {
        QTest::addColumn<qint64>("pending");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("alreadyReported");
        QTest::addColumn<int>("verdict");
        using V = TransmitBacklog::Verdict;
        QTest::newRow("fits") << qint64(0) << qint64(100) << false << int(V::Write);
        QTest::newRow("fills exactly") << qint64(4000) << qint64(96) << false << int(V::Write);
        QTest::newRow("one byte over") << qint64(4000) << qint64(97) << false << int(V::DropAndReport);
        QTest::newRow("over again") << qint64(4000) << qint64(97) << true << int(V::Drop);
        QTest::newRow("huge single write") << qint64(0) << qint64(5000) << false << int(V::DropAndReport);
        QTest::newRow("drained ends the episode") << qint64(0) << qint64(5000) << true << int(V::DropAndReport);
    }
    void TransmitBound()
    {
        QFETCH(qint64, pending);
        QFETCH(qint64, size);
        QFETCH(bool, alreadyReported);
        QFETCH(int, verdict);
        TransmitBacklog backlog;
        if (alreadyReported)
            backlog.Admit(TransmitBacklog::Capacity, 1);
        QCOMPARE(int(backlog.Admit(pending, size)), verdict);
    }
};

QTEST_APPLESS_MAIN(TestLinkLogic)
#include "test_link_logic.moc"
