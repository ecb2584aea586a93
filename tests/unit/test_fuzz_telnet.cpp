// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzing the Telnet codec with what a broken or hostile device server may
// send: any mix of data, negotiation, subnegotiations long, short, cut or
// never ended, read in random pieces.
#include <QtTest>

#include "link/TelnetCodec.h"
#include "support/Fuzz.h"

using namespace fuzz;

namespace {
using namespace Telnet;

struct Stream {
    QByteArray Bytes;
    QByteArray Data;   // what the serial line carried in it
};

QByteArray Bytes(std::initializer_list<int> bytes)
{
    QByteArray out;
    for (int b : bytes)
        out.append(char(b));
    return out;
}

QByteArray Escaped(const QByteArray& data)
{
    return QByteArray(data).replace("\xff", "\xff\xff");
}

// A stream built from pieces whose meaning is known, so that the line's data can be told apart.
Stream Draw(Rng& rng)
{
    Stream s;
    const quint8 options[] = {Binary, SuppressGoAhead, ComPortOption, 1, 24, 31, 255};
    for (int pieces = Pick(rng, 1, 60); pieces > 0; --pieces) {
        switch (Pick(rng, 0, 5)) {
        case 0: {
            QByteArray data(Pick(rng, 1, 40), '\0');
            for (char& b : data)
                b = char(Chance(rng, 0.2) ? Iac : Pick(rng, 0, 255));
            s.Bytes += Escaped(data);
            s.Data += data;
            break;
        }
        case 1:
            s.Bytes += Bytes({Iac, Pick(rng, Will, Dont), PickFrom(rng, options)});
            break;
        case 2:
            s.Bytes += Bytes({Iac, Pick(rng, Se, Sb - 1)});
            break;
        default: {
            // Mostly the com port option's notifications and answers, some far too long.
            QByteArray body = Bytes({Chance(rng, 0.8) ? ComPortOption : Pick(rng, 0, 255), Pick(rng, 100, 111)});
            body += RandomBytes(rng, Chance(rng, 0.1) ? Pick(rng, 60, 200) : Pick(rng, 0, 5));
            s.Bytes += Bytes({Iac, Sb}) + Escaped(body);
            // A lost end: the next command ends the subnegotiation instead.
            s.Bytes += Chance(rng, 0.1) ? Bytes({Iac, Will, 24}) : Bytes({Iac, Se});
        }
        }
    }
    return s;
}

struct Decoded {
    QByteArray Data, Reply;
    QList<int> Events;
    ComPortStatus Status;
    bool operator==(const Decoded& o) const { return Data == o.Data && Reply == o.Reply && Events == o.Events && Status == o.Status; }
};

Decoded DecodeInPieces(const QByteArray& bytes, Rng* cuts)
{
    TelnetCodec codec;
    Decoded d;
    d.Reply = codec.Connect();
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype n = cuts ? Pick(*cuts, 1, 8) : bytes.size();
        const TelnetInput in = codec.Decode(QByteArrayView(bytes).sliced(at, qMin(n, bytes.size() - at)));
        d.Data += in.Data, d.Reply += in.Reply, d.Events += in.LineEvents;
        at += n;
    }
    d.Status = codec.ComPort();
    return d;
}
}

class TestFuzzTelnet : public QObject {
    Q_OBJECT
private slots:
    void RandomStreamsKeepTheLineAndTheBounds()
    {
        const qsizetype settings = ComPortSettingsCommands(ComPortLine{}).size();
        for (Rounds rounds(2217); rounds.Next();) {
            Rng rng = rounds.Generator();
            Stream s = Draw(rng);
            // A cut at the very end, even inside a command or a subnegotiation.
            const bool cutShort = Chance(rng, 0.3);
            if (cutShort)
                s.Bytes.chop(Pick(rng, 1, 2));
            const Decoded whole = DecodeInPieces(s.Bytes, nullptr);
            QVERIFY2(DecodeInPieces(s.Bytes, &rng) == whole, qPrintable(rounds.Where()));
            if (!cutShort)
                QVERIFY2(whole.Data == s.Data, qPrintable(rounds.Where()));
            // Each request gets at most one answer of its own size, and the settings go once.
            QVERIFY2(whole.Reply.size() <= 18 + s.Bytes.size() + settings, qPrintable(rounds.Where()));
            QVERIFY2(whole.Events.size() <= s.Bytes.size() / 6 * 4, qPrintable(rounds.Where()));
        }
    }
};

QTEST_GUILESS_MAIN(TestFuzzTelnet)
#include "test_fuzz_telnet.moc"
