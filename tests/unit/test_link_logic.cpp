// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
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
    void SettingsReadBackNormalised()
    {
        // An empty normalised text: refused.
        static const struct { const char* given; const char* normalised; } cases[] = {
            {"300,o,5,2", "300,O,5,2"}, {"\t9600 ,\tE,7 ,1 ", "9600,E,7,1"},
            // Baud 0 or not a number; parity X; 4 and 9 data bits; 3 stop bits; too few fields.
            {"0,N,8,1", ""}, {"fast,N,8,1", ""}, {"9600,X,8,1", ""}, {"9600,N,4,1", ""}, {"9600,N,9,1", ""},
            {"9600,N,8,3", ""}, {"9600,N,8", ""},
        };
        for (const auto& k : cases) {
            PortSettings s;
            s.Baud = 1234;
            const bool ok = PortSettings::Parse(QString::fromLatin1(k.given), &s);
            QVERIFY2(ok == (*k.normalised != 0), k.given);
            QVERIFY2(s.ToText() == (ok ? k.normalised : "1234,N,8,1"), k.given);   // refused: left as it was
        }
    }

    void DeviceBinding()
    {
        const QStringList mixed{"/dev/ttyS1", "/dev/ttyUSB10", "/dev/ttyS0", "/dev/ttyACM0", "/dev/ttyUSB2"};
        const struct { const char* name; int n; const char* env; QStringList found; bool windows; const char* device; } cases[] = {
            {"environment wins", 1, "/tmp/sim-link", mixed, false, "/tmp/sim-link"},
            {"adapters first, by name", 1, "", mixed, false, "/dev/ttyACM0"},
            {"usb2 before usb10", 2, "", mixed, false, "/dev/ttyUSB2"},
            {"then on-board", 4, "", mixed, false, "/dev/ttyS0"},
            {"nothing found", 3, "", {}, false, "/dev/ttyS2"},
            {"Windows keeps its own names", 3, "", {}, true, "COM3"},
        };
        for (const auto& k : cases)
            QVERIFY2(BindDevice(k.n, QString::fromLatin1(k.env), OrderSerialDevices(k.found), k.windows) == QLatin1String(k.device), k.name);
    }

    // Writes to a port whose device keeps everything pending, with the
    // device draining now and then. Each step is a write of that many bytes,
    // "drain" or "drainN" (the device reports N bytes left), "empty" (the
    // backlog went to zero unreported), or "reopen"; each write
    // shows as W (reached the device), R (dropped and reported) or - (dropped).
    void TransmitBound()
    {
        static const struct { const char* name; const char* steps; const char* outcomes; } cases[] = {
            {"fills exactly", "100 3996", "WW"},
            {"one byte over", "4000 97", "WR"},
            {"told once per episode", "4096 1 1 4096", "WR--"},
            {"draining ends the episode", "4096 1 drain 4096 1", "WRWR"},
            {"draining part way does not", "4096 1 drain4000 97 96", "WR-W"},
            {"an empty backlog ends it unreported", "4096 1 empty 5000", "WRR"},
            {"reopening ends it", "4096 1 reopen 1", "WRR"},
        };
        for (const auto& k : cases) {
            FakeSerialPort port;
            port.BacklogGrows = true;
            QVERIFY(port.Open().Ok());
            QSignalSpy events(&port, &SerialPort::LineEvent);
            QString outcomes;
            for (const QString& step : QString::fromLatin1(k.steps).split(QLatin1Char(' '))) {
                if (step.startsWith(QLatin1String("drain"))) {
                    port.Drain(step.mid(5).toLongLong());
                } else if (step == QLatin1String("empty")) {
                    port.Pending = 0;
                } else if (step == QLatin1String("reopen")) {
                    port.Close();
                    port.Open();
                } else {
                    const qsizetype writes = port.Writes.size(), told = events.size();
                    port.Write(QByteArray(step.toInt(), 'x'));
                    outcomes += port.Writes.size() > writes ? QLatin1Char('W') : events.size() > told ? QLatin1Char('R') : QLatin1Char('-');
                }
            }
            QVERIFY2(outcomes == QLatin1String(k.outcomes), qPrintable(QStringLiteral("%1: %2").arg(k.name, outcomes)));
            for (const QList<QVariant>& event : events)
                QVERIFY2(event.at(0).toInt() == LineEventCode::TxFull, k.name);
            QVERIFY2(port.Pending <= TransmitBacklog::Capacity, k.name);
        }
    }
};

QTEST_APPLESS_MAIN(TestLinkLogic)
#include "test_link_logic.moc"
