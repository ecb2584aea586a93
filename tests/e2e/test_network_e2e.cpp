// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The console on device servers that fail or misbehave, played by the test
// on loopback: each way a connection fails is told in words, and a hostile
// Telnet server costs neither the window nor the line.
#include <QTcpServer>

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
}

class TestNetworkE2E : public QObject {
    Q_OBJECT
private slots:
    void FailuresAreToldInWords_data()
    {
        QTest::addColumn<QString>("address");   // {deaf}, {refused}, {server}: filled in by the test
        QTest::addColumn<QString>("words");
        QTest::newRow("no address") << "tcp://bench-3:" << "tcp://호스트:포트 또는 rfc2217://호스트:포트";
        // A label longer than names allow: Qt gives up on it without asking a name server.
        const QString unknown = QString(64, QLatin1Char('x')) + QStringLiteral(".invalid");
        QTest::newRow("unknown host") << "tcp://" + unknown + ":4001" << "호스트 " + unknown + "을(를) 찾을 수 없습니다";
        QTest::newRow("refused") << "{refused}" << "연결이 거부되었습니다";
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
        QTcpServer gone;
        QVERIFY(gone.listen(QHostAddress::LocalHost));
        const QString refused = QStringLiteral("tcp://127.0.0.1:%1").arg(gone.serverPort());
        gone.close();
        ConsoleBench b;
        b.com1 = address.replace("{refused}", refused).replace("{deaf}", QStringLiteral("tcp://127.0.0.1:%1").arg(deaf.serverPort()))
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
};

QTEST_MAIN(TestNetworkE2E)
#include "test_network_e2e.moc"
