// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzing the receive path: random reply streams, cut into random chunks,
// must route exactly as the same stream in one piece, within every bound.
#include <QtTest>

#include "link/ReceiveParser.h"
#include "support/Fuzz.h"

using namespace fuzz;

namespace {

// A window whose mode, poll timer and layout stay as drawn for the whole
// stream, logging what the parser routes and any bound the parser breaks.
class RecordingWindow : public ReceiveTarget {
public:
    bool polling = false, monitor = false, setMonitor = false, single = false;
    const ReceiveState* state = nullptr;
    QStringList events;
    QStringList broken;

    bool PollTimerRunning() const override { return polling; }
    bool MonitorModeSelected() const override { return monitor; }
    bool SetMonitorModeSelected() const override { return setMonitor; }
    bool SingleLayoutSelected() const override { return single; }
    void ShowReadout(Readout which, const QString& text) override
    {
        events << QString::number(int(which)) + QLatin1Char('=') + text;
        CheckBounds(text.size());
    }
    void InsertInfoText(const QString& text) override
    {
        events << QStringLiteral("info=") + text;
        if (!text.endsWith(QLatin1String("\r\n")))
            broken << QStringLiteral("message line without CR LF");
        CheckBounds(text.size() - 2);
    }
    void ClearInfoText() override { events << QStringLiteral("clear"); }

    // The text each event carried, in order, without what routing adds.
    QString RoutedText() const
    {
        QString all;
        for (const QString& e : events)
            if (e != QLatin1String("clear"))
                all += e.mid(e.indexOf(QLatin1Char('=')) + 1).chopped(e.startsWith(QLatin1String("info=")) ? 2 : 0);
        return all;
    }

private:
    void CheckBounds(qsizetype lineLength)
    {
        if (lineLength > MaxLineLength)
            broken << QStringLiteral("routed a line of %1 characters").arg(lineLength);
        if (state && (state->PollIndex < 0 || state->PollIndex > 4))
            broken << QStringLiteral("PollIndex %1 while routing").arg(state->PollIndex);
    }
};

// Short lines, lines either side of the bound and floods far past it.
QString ReplyStream(Rng& rng)
{
    QByteArray stream;
    const int lines = Pick(rng, 0, 40);
    for (int k = 0; k < lines; ++k) {
        const int kind = Pick(rng, 0, 9);
        stream += RandomBytes(rng, kind == 0 ? Pick(rng, 4097, 10000) : kind == 1 ? MaxLineLength + Pick(rng, -2, 2) : Pick(rng, 0, 40));
        if (k < lines - 1 || Chance(rng, 0.5))
            stream += Chance(rng, 0.5) ? "\r\n" : "\n";
    }
    return QString::fromLatin1(stream);
}

QStringList Chunks(Rng& rng, const QString& text)
{
    // From a cut every character to hardly any, with cuts drawn to line ends,
    // where a chunking fault would show.
    const double everywhere = PickFrom(rng, {1.0, 0.3, 0.01, 0.0005});
    QStringList chunks;
    qsizetype start = 0;
    for (qsizetype i = 1; i < text.size(); ++i) {
        const bool nearLineEnd = text.at(i) == QLatin1Char('\n') || text.at(i - 1) == QLatin1Char('\n');
        if (Chance(rng, everywhere) || (nearLineEnd && Chance(rng, 0.3))) {
            chunks << text.mid(start, i - start);
            start = i;
        }
    }
    chunks << text.mid(start);
    return chunks;
}

} // namespace

class TestFuzzReceive : public QObject {
    Q_OBJECT
private slots:
    void ChunkingChangesNoRoutedLine()
    {
        Rounds rounds(0x10000000);
        while (rounds.Next()) {
            Rng rng = rounds.Generator();
            RecordingWindow whole, pieces;
            const int modes = Pick(rng, 0, 15);
            for (RecordingWindow* w : {&whole, &pieces})
                w->polling = modes & 1, w->monitor = modes & 2, w->setMonitor = modes & 4, w->single = modes & 8;
            ReceiveState start;
            start.LineBuffer = QString::fromLatin1(
                RandomBytes(rng, Chance(rng, 0.1) ? Pick(rng, MaxLineLength - 3, MaxLineLength - 1) : Pick(rng, 0, 10)));
            start.PollIndex = Pick(rng, 0, 4);
            start.MessageLineCount = Pick(rng, 0, MaxMessageLines);
            const QString stream = ReplyStream(rng);

            ReceiveState once = start;
            whole.state = &once;
            ReceiveParser(once, whole, stream);

            ReceiveState chunked = start;
            pieces.state = &chunked;
            const QStringList chunks = Chunks(rng, stream);
            for (const QString& chunk : chunks) {
                ReceiveParser(chunked, pieces, chunk);
                if (chunked.LineBuffer.size() > MaxLineLength || chunked.PollIndex < 0 || chunked.PollIndex > 4)
                    pieces.broken << QStringLiteral("state out of bounds between chunks");
            }

            const QString where = rounds.Where() + QStringLiteral(", %1 chars in %2 chunks").arg(stream.size()).arg(chunks.size());
            QVERIFY2(whole.broken.isEmpty() && pieces.broken.isEmpty(),
                     qPrintable(where + QStringLiteral(": ") + (whole.broken + pieces.broken).join(QStringLiteral("; "))));
            // Nothing lost or invented: every character but the line feeds
            // (and the CRs, which the panel's lines drop) comes out once, in order.
            QVERIFY2(QString(whole.RoutedText() + once.LineBuffer).remove(QLatin1Char('\r'))
                         == QString(start.LineBuffer + stream).remove(QLatin1Char('\n')).remove(QLatin1Char('\r')),
                     qPrintable(where));
            QVERIFY2(pieces.events == whole.events, qPrintable(where));
            QVERIFY2(chunked.LineBuffer == once.LineBuffer && chunked.PollIndex == once.PollIndex
                         && chunked.MessageLineCount == once.MessageLineCount,
                     qPrintable(where));
        }
    }
};

QTEST_GUILESS_MAIN(TestFuzzReceive)
#include "test_fuzz_receive.moc"
