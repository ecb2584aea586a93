// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated supply behind the real ser2net, raw and through the Telnet
// codec with the com port option, across a restart of the server; and the
// whole console on it.
#include <QTcpSocket>
#include <QtTest>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include "link/TelnetCodec.h"
#include "support/ConsoleBench.h"
#include "support/Ser2Net.h"
#include "support/SimProcess.h"

namespace {
termios Terminal(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    termios t{};
    if (fd < 0 || ::tcgetattr(fd, &t) != 0)
        t = termios{};
    if (fd >= 0)
        ::close(fd);
    return t;
}
speed_t TerminalSpeed(const QString& path)
{
    const termios t = Terminal(path);
    return ::cfgetospeed(&t);
}
// The terminal's framing as the dialog shows it: "9600,E,7,2".
QString Framing(const QString& path)
{
    const termios t = Terminal(path);
    const speed_t speed = ::cfgetospeed(&t);
    const int bits = (t.c_cflag & CSIZE) == CS7 ? 7 : (t.c_cflag & CSIZE) == CS8 ? 8 : 0;
    const char parity = !(t.c_cflag & PARENB) ? 'N' : (t.c_cflag & PARODD) ? 'O' : 'E';
    return QStringLiteral("%1,%2,%3,%4").arg(speed == B9600 ? 9600 : speed == B19200 ? 19200 : 0)
        .arg(QLatin1Char(parity)).arg(bits).arg(t.c_cflag & CSTOPB ? 2 : 1);
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

    // The dialog's framing reaches the terminal with RFC 2217, again after
    // each reconnection, and raw TCP says once that it does not; monitoring
    // stops when ser2net does and goes on by itself when it is back.
    void ConsoleMonitorsAcrossARestart_data()
    {
        QTest::addColumn<Via>("via");
        // What ser2net leaves on the terminal when the dialog asks for 9600,E,7,2:
        // a pseudo-terminal's driver keeps 8 bits without parity whatever it is
        // told, so the speed and the stop bits show that the settings came
        // through (the first test sees ser2net answer 7 bits and even parity).
        QTest::addColumn<QString>("framing");
        QTest::newRow("tcp") << Via::Tcp << "19200,N,8,1";
        QTest::newRow("rfc2217") << Via::Rfc2217 << "9600,N,8,2";
    }
    void ConsoleMonitorsAcrossARestart()
    {
        QFETCH(Via, via);
        QFETCH(QString, framing);
        ConsoleBench b({QStringLiteral("--no-noise")}, via);
        QVERIFY2(b.Ok(), qPrintable(b.server->Output()));
        b.OpenThroughTheDialog({"Baud9600", "EvenParity", "Data7bit", "Stop2bit"});
        QVERIFY2(b.port.IsOpen(), qPrintable(b.services.Messages.join('\n')));
        QTRY_COMPARE(Framing(b.sim.Link()), framing);
        FindControl<QRadioButton>(b.window, "OptionMonitorCmd")->setChecked(true);
        QTRY_COMPARE(FindControl<QLabel>(b.window, "Label_P1_Voltage")->text(), QStringLiteral("0.000"));

        b.server->Stop();
        QTRY_VERIFY(b.Info().contains(QStringLiteral("통신포트 연결이 끊어졌습니다: ") + b.com1));
        QVERIFY(!FindControl<QTimer>(b.window, "Timer3")->isActive());
        QVERIFY(b.server->Start());
        QTRY_VERIFY_WITH_TIMEOUT(b.port.IsOpen(), 15000);
        QVERIFY(FindControl<QTimer>(b.window, "Timer3")->isActive());
        const qsizetype polled = b.sim.Commands().size();
        QTRY_VERIFY(b.sim.Commands().size() > polled + 4);
        QCOMPARE(Framing(b.sim.Link()), framing);
        QCOMPARE(b.Info().count(QStringLiteral("다시 연결됨")), 1);
        QVERIFY2(!b.Info().contains(QStringLiteral("열 수 없습니다")), qPrintable(b.Info()));   // refusals meanwhile are quiet
        QCOMPARE(b.Info().count(QStringLiteral("TCP 연결에는")), via == Via::Tcp ? 1 : 0);
        QVERIFY2(b.services.Messages.isEmpty(), qPrintable(b.services.Messages.join('\n')));
    }
};

QTEST_MAIN(TestSer2NetE2E)
#include "test_ser2net_e2e.moc"
