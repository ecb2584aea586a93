// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The Telnet codec against byte streams written out by hand, and against
// random ones such as a broken or hostile device server may send.
#include <QtTest>

#include "link/SerialPort.h"
#include "link/TelnetCodec.h"

namespace {
using namespace LineEventCode;
using Events = QList<int>;
QByteArray Hex(const QString& hex) { return QByteArray::fromHex(hex.toLatin1()); }
QByteArray Sub(const QString& hex) { return Hex(QStringLiteral("fffa2c") + hex + QStringLiteral("fff0")); }
const QByteArray Settings = ComPortSettingsCommands(ComPortLine{});
// ser2net's greeting, data with an IAC, answers (one with a doubled IAC),
// notifications, a NOP, and a subnegotiation that lost its SE.
const QByteArray Stream = Hex("fffb03fffd03fffb01fffe01fffd00fffb00fffd2c 61ffff62") + Sub("6500ffff00ffff")
    + Sub("6903") + Sub("690c") + Sub("6a1e") + Sub("6b11") + Hex("fff1 7879 fffa2c0610fffb18 0d0a");

void Row(const char* name, const QByteArray& in, const Events& events, const QByteArray& reply = {},
         ComPortStatus status = ComPortStatus::Asked)
{
    QTest::newRow(name) << in << events << reply << status;
}

// All that the chunks made, and the answers kept, as one text.
QString Decoded(const QList<QByteArray>& chunks)
{
    TelnetCodec codec;
    QByteArray data, reply = codec.Connect(), events;
    for (const QByteArray& chunk : chunks) {
        const TelnetInput in = codec.Decode(chunk);
        data += in.Data, reply += in.Reply;
        for (int e : in.LineEvents)
            events += QByteArray::number(e) + ',';
    }
    const ComPortAnswers& a = codec.Answers();
    return QStringLiteral("%1 %2 %3 %4 %5 %6 %7").arg(data.toHex(), reply.toHex(), events)
        .arg(a.Baud).arg(a.FlowControl).arg(a.RequestToSend).arg(a.ModemState);
}
}

class TestTelnetCodec : public QObject {
    Q_OBJECT
private slots:
    void AnyCutDecodesAsOneChunk()
    {
        const QString whole = Decoded({Stream});
        const QByteArray reply = TelnetCodec().Connect() + Hex("fffe01") + Settings + Hex("fffe18");
        QCOMPARE(whole, QStringLiteral("61ff6278790d0a %1 1001,1004,1006,1009,3, 16711935 3 0 17").arg(reply.toHex()));
        for (int i = 0; i <= Stream.size(); ++i)
            for (int j = i; j <= Stream.size(); j += 3)
                QCOMPARE(Decoded({Stream.left(i), Stream.mid(i, j - i), Stream.mid(j)}), whole);
    }

    void SettingsCommands_data()
    {
        QTest::addColumn<ComPortLine>("line");
        QTest::addColumn<QString>("commands");   // baud, data size, parity, stop size, control
        // 8N1 and 7E2 with XON/XOFF go to the real server in the end-to-end test.
        QTest::newRow("IACs in baud, odd, rts") << ComPortLine{0xFF00FFFF, 5, 'O', 1, 2} << "01ffff00ffffffff 0205 0302 0401 0503";
        QTest::newRow("both flows, mark") << ComPortLine{1, 6, 'M', 1, 3} << "0100000001 0206 0304 0401 0503";
        QTest::newRow("9600, even, 2 stop") << ComPortLine{9600, 7, 'E', 2, 0} << "0100002580 0207 0303 0402 0501";
        QTest::newRow("unknown values ask") << ComPortLine{0, 9, 'x', 3, 4} << "0100000000 0200 0300 0400 0500";
    }
    void SettingsCommands()
    {
        QFETCH(ComPortLine, line);
        QFETCH(QString, commands);
        QByteArray expected;
        for (const QString& command : commands.split(QLatin1Char(' ')) + QStringList{"0a1e", "0bffff"})
            expected += Sub(command);
        QCOMPARE(ComPortSettingsCommands(line), expected);
    }

    void Decodes_data()
    {
        QTest::addColumn<QByteArray>("in");
        QTest::addColumn<Events>("events");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<ComPortStatus>("status");
        const QByteArray greeting = Stream.left(21);
        const auto accepted = ComPortStatus::Accepted;
        Row("again: only refusals repeat", greeting + greeting, {}, Hex("fffe01") + Settings + Hex("fffe01"), accepted);
        Row("unknown refused once", Hex("fffb18fffd18fffc18fffe18fffc00"), {}, Hex("fffe18fffc18"));
        Row("com port refused", Hex("fffe2c"), {}, {}, ComPortStatus::Refused);
        Row("flapping: settings once", Hex("fffd2cfffe2cfffd2c"), {}, Settings + Hex("fffc2cfffb2c"), accepted);
        Row("line bits alone", Sub("6a10") + Sub("6a08") + Sub("6a04") + Sub("6a02"), {Break, Frame, RxParity, Overrun});
        Row("levels: first known, then moved", Sub("6bf0") + Sub("6b40"), {CtsChange, DsrChange, CdChange});
    }
    void Decodes()
    {
        QFETCH(QByteArray, in);
        QFETCH(Events, events);
        QFETCH(QByteArray, reply);
        QFETCH(ComPortStatus, status);
        TelnetCodec codec;
        QCOMPARE(codec.Connect(), Hex("fffb2cfffd2cfffb00fffd00fffb03fffd03"));
        const TelnetInput got = codec.Decode(in);
        QCOMPARE(got.LineEvents, events);
        QCOMPARE(got.Reply.toHex(), reply.toHex());
        QCOMPARE(codec.ComPort(), status);
    }
};

QTEST_GUILESS_MAIN(TestTelnetCodec)
#include "test_telnet_codec.moc"
