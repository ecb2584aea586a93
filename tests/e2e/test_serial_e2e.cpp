// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The real port over QSerialPort against pseudo-terminals: framing a pty
// cannot take, and a peer that vanishes.
#include <QSignalSpy>
#include <QtTest>

#include "link/SerialPort.h"
#include "platform/QtSerialDevice.h"
#include "support/PtyPeer.h"

namespace {
std::function<QString(int)> BoundTo(const QString& path)
{
    return [path](int) { return path; };
}
}

class TestSerialE2E : public QObject {
    Q_OBJECT
private slots:
    void OpensAPtyWhateverTheFramingAndMovesBytesBothWays()
    {
        PtyPeer peer;
        QVERIFY(peer.Ok());
        QtSerialDevice port(BoundTo(peer.Path()));
        port.SetReceiveThreshold(1);
        port.SetRequestToSend(true);
        QVERIFY(port.SetSettings(QStringLiteral(" 9600,E, 7, 2")));
        const Outcome result = port.Open();
        QVERIFY2(result.Ok(), qPrintable(result.Message()));
        QVERIFY(port.IsOpen());

        port.Write("*IDN?\n");
        QTRY_COMPARE(peer.Received(), QByteArray("*IDN?\n"));

        QSignalSpy events(&port, &SerialPort::LineEvent);
        peer.Send("QPX\xB5-30\r\n");
        QTRY_VERIFY(events.contains(QVariantList{2}));
        QByteArray got;
        QTRY_VERIFY((got += port.ReadAll()).size() == 9);
        QCOMPARE(got, QByteArray("QPX\xB5-30\r\n"));
        port.Close();
        QVERIFY(!port.IsOpen());
    }

    void VanishingPeerIsReportedOnceWithoutABusyLoop()
    {
        PtyPeer peer;
        QtSerialDevice port(BoundTo(peer.Path()));
        port.SetReceiveThreshold(1);
        QVERIFY(port.Open().Ok());
        QSignalSpy lost(&port, &SerialPort::DeviceLost);
        peer.Vanish();
        QVERIFY(lost.wait(5000));
        QVERIFY(!port.IsOpen());
        QCOMPARE(lost.first().at(0).toString(), peer.Path());
        // A closed port stays quiet; a pty left open would call back a million times a second.
        QVERIFY(!lost.wait(300));
        QCOMPARE(lost.size(), 1);
        QVERIFY2(port.ErrorCallbackCount() <= 3, qPrintable(QString::number(port.ErrorCallbackCount())));
        port.Write("after\n");   // dropped, no crash
    }
};

QTEST_GUILESS_MAIN(TestSerialE2E)
#include "test_serial_e2e.moc"
