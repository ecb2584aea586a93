// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated supply behind the real ser2net, raw and through the Telnet
// codec with the com port option, across a restart of the server.
#include <QTcpSocket>
#include <QtTest>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include "link/TelnetCodec.h"
#include "support/Ser2Net.h"
#include "support/SimProcess.h"

namespace {
speed_t TerminalSpeed(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    termios t{};
    const bool ok = fd >= 0 && ::tcgetattr(fd, &t) == 0;
    if (fd >= 0)
        ::close(fd);
    return ok ? ::cfgetospeed(&t) : B0;
}
QString Answered(const ComPortAnswers& a)
{
    return QStringLiteral("%1 %2 %3 %4 %5").arg(a.Baud).arg(a.DataBits).arg(a.Parity).arg(a.StopBits).arg(a.FlowControl);
}
}

class TestSer2NetE2E : public QObject {
    Q_OBJECT
private slots:
    void ServesTheSupplyAcrossARestart_data()
    {
        QTest::addColumn<bool>("telnet");
        QTest::newRow("raw") << false;
        QTest::newRow("rfc2217") << true;
    }
    void ServesTheSupplyAcrossARestart()
    {
        QFETCH(bool, telnet);
        SimProcess sim;
        QVERIFY(sim.Ok());
        Ser2Net server(sim.Link(), telnet ? Ser2Net::Mode::Rfc2217 : Ser2Net::Mode::Raw);
        // ser2net answers each setting with what it set, in the option's numbers
        // (parity 3 even, flow 2 XON/XOFF); the terminal shows the speed.
        const struct { ComPortLine Line; speed_t Speed; const char* Answers; } lives[] = {
            {{9600, 8, 'N', 1, 0}, B9600, "9600 8 1 1 1"}, {{4800, 7, 'E', 2, 1}, B4800, "4800 7 3 2 2"}};
        for (const auto& life : lives) {
            QVERIFY2(server.Start(), qPrintable(server.Output()));
            QTcpSocket socket;
            QTRY_VERIFY2(server.Connected(socket), qPrintable(server.Output()));
            TelnetCodec codec(life.Line);
            QByteArray data;
            const auto read = [&] {
                if (!telnet)
                    return void(data += socket.readAll());
                const TelnetInput in = codec.Decode(socket.readAll());
                socket.write(in.Reply);
                data += in.Data;
            };
            if (telnet) {
                socket.write(codec.Connect());
                QTRY_COMPARE((read(), Answered(codec.Answers())), QString(life.Answers));
                QCOMPARE(codec.ComPort(), ComPortStatus::Accepted);
                QTRY_COMPARE(TerminalSpeed(sim.Link()), life.Speed);
            }
            socket.write(telnet ? EscapeTelnetData("*IDN?\n") : QByteArray("*IDN?\n"));
            QTRY_VERIFY((read(), data.endsWith('\n')));
            QCOMPARE(data, QByteArray("QPX-30R03D\n"));
            server.Stop();
            // Its clients see it go, and its port refuses until it is back.
            QTRY_COMPARE(socket.state(), QAbstractSocket::UnconnectedState);
            QTcpSocket refused;
            refused.connectToHost(QHostAddress::LocalHost, server.Port());
            QTRY_COMPARE(refused.error(), QAbstractSocket::ConnectionRefusedError);
        }
    }
};

QTEST_GUILESS_MAIN(TestSer2NetE2E)
#include "test_ser2net_e2e.moc"
