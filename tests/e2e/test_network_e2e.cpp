// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The console on device servers: ones that fail or misbehave, played by the
// test on loopback, where each way a connection fails is told in words and a
// hostile Telnet server costs neither the window nor the line; and the real
// ser2net in front of the simulated supply, raw and with the com port option,
// across a restart of the server.
#include <QTcpServer>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include "support/ConsoleBench.h"

namespace {
// One client at a time; `serve` plays the server's side when it comes.
struct Server {
    QTcpServer listener;
    QByteArray got;
    explicit Server(std::function<void(QTcpSocket&)> serve)
    {
        listener.listen(QHostAddress::LocalHost);
        QObject::connect(&listener, &QTcpServer::newConnection, &listener, [this, serve] {
            QTcpSocket* client = listener.nextPendingConnection();
            QObject::connect(client, &QTcpSocket::readyRead, client, [this, client] { got += client->readAll(); });
            serve(*client);
        });
    }
    QString Address(const char* scheme) const { return QStringLiteral("%1://127.0.0.1:%2").arg(scheme).arg(listener.serverPort()); }
};

QByteArray Hex(const char* hex) { return QByteArray::fromHex(hex); }
// The answer to SET-BAUDRATE, with which ser2net's line settles.
const QByteArray Settled = Hex("fffd2c fffa2c6500004b00fff0");

// The terminal's line as the dialog would show it: "9600,E,7,2".
QString Framing(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    termios t{};
    const bool ok = fd >= 0 && ::tcgetattr(fd, &t) == 0;
    ::close(fd);   // nothing to close when it did not open
    const speed_t speed = ::cfgetospeed(&t);
    const int bits = (t.c_cflag & CSIZE) == CS7 ? 7 : 8;
    return !ok ? QString() : QStringLiteral("%1,%2,%3,%4").arg(speed == B4800 ? 4800 : speed == B9600 ? 9600 : speed == B19200 ? 19200 : 0)
        .arg(!(t.c_cflag & PARENB) ? 'N' : (t.c_cflag & PARODD) ? 'O' : 'E').arg(bits).arg(t.c_cflag & CSTOPB ? 2 : 1);
}
}

class TestNetworkE2E : public QObject {
    Q_OBJECT
private slots:
    void FailuresAreToldInWords_data()
    {
        QTest::addColumn<QString>("address");   // {deaf} and {server}: filled in by the test
        QTest::addColumn<QString>("words");
        QTest::newRow("no address") << "tcp://bench-3:" << "tcp://호스트:포트 또는 rfc2217://호스트:포트";
        // A label longer than names allow: Qt gives up on it without asking a name server.
        const QString unknown = QString(64, QLatin1Char('x')) + QStringLiteral(".invalid");
        QTest::newRow("unknown host") << "tcp://" + unknown + ":4001" << "호스트 " + unknown + "을(를) 찾을 수 없습니다";
        QTest::newRow("refused") << "tcp://127.0.0.1:1" << "연결이 거부되었습니다";
        QTest::newRow("no answer") << "{deaf}" << "응답이 없어 연결하지 못했습니다 (시간 초과)";
        QTest::newRow("turned away") << "{server}" << "장치 서버가 연결을 받자마자 끊었습니다 (Device open failure: busy)";
    }
    void FailuresAreToldInWords()
    {
        QFETCH(QString, address);
        QFETCH(QString, words);
        // A full queue of connections that is never served: the next handshake is never answered.
        QTcpServer deaf;
        deaf.setListenBacklogSize(0);
        QVERIFY(deaf.listen(QHostAddress::LocalHost));
        deaf.pauseAccepting();
        QTcpSocket filler;
        filler.connectToHost(QHostAddress::LocalHost, deaf.serverPort());
        QVERIFY(filler.waitForConnected(5000));
        Server server([](QTcpSocket& c) { c.write("Device open failure: busy\r\n"), c.disconnectFromHost(); });
        ConsoleBench b;
        b.com1 = address.replace("{deaf}", QStringLiteral("tcp://127.0.0.1:%1").arg(deaf.serverPort()))
                     .replace("{server}", server.Address("rfc2217"));
        b.port.SetConnectTimeout(500);
        b.OpenThroughTheDialog();
        QCOMPARE(b.services.Titles, QStringList{"Tarvio"});
        const QString message = b.services.Messages.first();
        QVERIFY2(message.startsWith(QStringLiteral("통신포트를 열 수 없습니다: ") + b.com1 + '\n') && message.contains(words),
                 qPrintable(message));
        QCOMPARE(FindControl<QLabel>(b.window, "LabelComportOpen")->text(), QStringLiteral("닫혔음"));
        QVERIFY(!b.port.IsOpen() && !b.port.Opening());
    }

    // Endless negotiation, an IAC cut at a read boundary, notifications,
    // floods with and without line feeds and a subnegotiation that goes on
    // and on, then a plain reply: the console shows what the line carried.
    void HostileServerCostsNothingButItsNoise()
    {
        Server server([](QTcpSocket& c) {
            c.write(Settled);
            QTimer::singleShot(300, &c, [&c] {
                c.write(Hex("fffd18").repeated(20000) + Hex("fffb18fffc18").repeated(5000) + "A\xff");
                c.flush();
                QTimer::singleShot(50, &c, [&c] {
                    c.write("\xff" "B\r\n" + Hex("fffa2c6a10fff0") + QByteArray(100000, 'x') + "\n"
                            + Hex("fffa2c6a02") + QByteArray(100000, 'y') + Hex("fff0") + "ok\r\n");
                });
            });
        });
        ConsoleBench b;
        b.com1 = server.Address("rfc2217");
        CommInit dialog(b.port, b.state.Dialog, b.services, b.window.Controller());
        dialog.Form_Load();
        QCOMPARE(FindControl<QRadioButton>(dialog, "Com1")->toolTip(), b.com1);
        b.OpenThroughTheDialog();
        QVERIFY(b.port.IsOpen());
        QTRY_VERIFY_WITH_TIMEOUT(b.Info().contains(QStringLiteral("\nok")), 15000);
        QVERIFY2(b.Info().contains(QStringLiteral("A\u00ffB\n")), qPrintable(b.Info().left(200)));
        QCOMPARE(b.Info().count(QStringLiteral("정지 신호가 수신되었습니다.")), 1);
        QVERIFY(!b.Info().contains(QStringLiteral("포트 넘침")) && !b.Info().contains('y'));
        // Settings were sent once, negotiation answered in kind, and our 0xFF doubled.
        const qsizetype before = server.got.size();
        b.Send(QStringLiteral("\u00ff"));
        QTRY_VERIFY(server.got.size() > before);
        QVERIFY(server.got.endsWith("\xff\xff\n"));
        QCOMPARE(server.got.count(Hex("fffa2c0100004b00fff0")), 1);
        QCOMPARE(server.got.count(Hex("fffc18")), 20000);
        QVERIFY(b.services.Messages.isEmpty());
    }

    // The dialog's framing reaches the terminal with RFC 2217, again after
    // each reconnection, and raw TCP says once that it does not; monitoring
    // stops when ser2net does and goes on by itself when it is back.
    void ConsoleMonitorsAcrossARestart_data()
    {
        QTest::addColumn<QString>("via");
        // What ser2net leaves on the terminal when the dialog asks for 9600,E,7,2:
        // a pseudo-terminal's driver keeps 8 bits without parity whatever it is
        // told, so the speed and the stop bits show that the settings came
        // through.
        QTest::addColumn<QString>("framing");
        QTest::newRow("tcp") << "tcp" << "19200,N,8,1";
        QTest::newRow("rfc2217") << "rfc2217" << "9600,N,8,2";
    }
    void ConsoleMonitorsAcrossARestart()
    {
        QFETCH(QString, via);
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
        QCOMPARE(b.Info().count(QStringLiteral("TCP 연결에는")), via == "tcp" ? 1 : 0);
        QVERIFY2(b.services.Messages.isEmpty(), qPrintable(b.services.Messages.join('\n')));
    }
};

QTEST_MAIN(TestNetworkE2E)
#include "test_network_e2e.moc"
