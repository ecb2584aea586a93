// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The console session's receive routing on any reply stream, in every mode
// and layout: it keeps within its bounds, routes the stream into the same
// readings and TextInfo lines whether it comes in one read or cut anywhere,
// and every measured reply reaches the trend plot as a finite sample.
#include "FuzzCheck.h"
#include "console/ConsoleController.h"
#include "console/ProgramState.h"
#include "plot/Readings.h"
#include "support/FakeConsoleView.h"
#include "support/FakeSerialPort.h"

namespace {

// TextInfo as one text: the fake's line list, split anew at every insertion,
// made a flood cut into single bytes quadratic.
struct View : FakeConsoleView {
    void InsertInfoText(const QString& text) override
    {
        // One insertion holds all the lines of a read.
        for (const QString& line : text.split(QStringLiteral("\r\n")))
            FUZZ_CHECK(text.endsWith(QLatin1String("\r\n")) && line.size() <= MaxLineLength, "a malformed message line");
        InfoText += text;
    }
};

// The session on a fake port, the trend plot's readings fed as the main window feeds them.
struct Session {
    ProgramState state;
    FakeSerialPort port;
    View view;
    ConsoleController controller{state.Dialog, port, view, [] { return qint64(0); }};
    LiveReadings plot{[] { return qint64(0); }, [] { return QDateTime::fromMSecsSinceEpoch(0); }};
    QStringList readouts;

    explicit Session(uint8_t config)
    {
        controller.Load();
        port.Open();
        view.Mode = CommandMode(config & 3);
        view.Timers[ConsoleTimer::Poll].Running = config & 4;
        view.Single = config & 8;
        QObject::connect(&controller.Readings(), &ConsoleReadings::Arrived,
                         [this](Readout which, const QString& text, qint64) {
                             FUZZ_CHECK(text.size() <= MaxLineLength, "a readout longer than a line may be");
                             readouts << QString::number(int(which)) + QLatin1Char('=') + text;
                             if (IsMeasured(which))
                                 plot.Measured(OutputSeries(which), text, 0);
                         });
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t config = data[0];
    QByteArray stream(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    // Floods past the line bound from small inputs: the stream said over and
    // over, now and then, as a long stream costs the time of many short ones.
    if ((config & 0xC0) == 0xC0) {
        const QByteArray unit = stream;
        while (!unit.isEmpty() && stream.size() <= MaxLineLength + 2)
            stream += unit;
    }

    Session whole(config), pieces(config);
    whole.port.Receive(stream);
    fuzz::InPieces(config, stream, [&](const QByteArray& piece) { pieces.port.Receive(piece); });

    const ReceiveState &a = whole.controller.Receive(), &b = pieces.controller.Receive();
    FUZZ_CHECK(a.LineBuffer.size() <= MaxLineLength && a.PollIndex >= 0 && a.PollIndex <= 4
                   && a.MessageLineCount >= 0 && a.MessageLineCount <= MaxMessageLines,
               "the receive state out of its bounds");
    FUZZ_CHECK(pieces.readouts == whole.readouts && pieces.view.InfoText == whole.view.InfoText
                   && a.LineBuffer == b.LineBuffer && a.PollIndex == b.PollIndex,
               "the cut of the reads changed the routing");
    for (int s = 0; s < PlotSeriesCount; ++s)
        whole.plot.Store().Series(s).ForEachRaw(std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max(),
                                                [](qint64, float v) { FUZZ_CHECK(std::isfinite(v), "a plot sample that is no number"); });
    return 0;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::StartApplication();
    return 0;
}
