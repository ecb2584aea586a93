// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The receive routing on any reply stream, in every mode and layout: the
// parser loses and invents nothing and keeps within its bounds, and the
// console session routes the stream into the same readings and TextInfo
// lines whether it comes in one read or cut anywhere, and every readable
// measured reply reaches the trend plot as a finite sample.
#include <QCoreApplication>

#include "FuzzCheck.h"
#include "console/ConsoleController.h"
#include "console/ProgramState.h"
#include "plot/Readings.h"
#include "support/FakeConsoleView.h"
#include "support/FakeSerialPort.h"

namespace {

struct Modes {
    CommandMode Mode;
    bool Polling, Single;
};

// The parser on its own, logging what it routes.
class Recorder : public ReceiveTarget {
public:
    explicit Recorder(const Modes& m) : m_(m) {}
    QStringList Readouts;
    QString Info, Routed;   // Info: the lines since the last clear

    bool PollTimerRunning() const override { return m_.Polling; }
    bool MonitorModeSelected() const override { return m_.Mode == CommandMode::Monitor; }
    bool SetMonitorModeSelected() const override { return m_.Mode == CommandMode::SetMonitor; }
    bool SingleLayoutSelected() const override { return m_.Single; }
    void ShowReadout(Readout which, const QString& text) override
    {
        FUZZ_CHECK(text.size() <= MaxLineLength, "a readout longer than a line may be");
        Readouts << QString::number(int(which)) + QLatin1Char('=') + text;
        Routed += text;
    }
    void InsertInfoText(const QString& text) override
    {
        FUZZ_CHECK(text.endsWith(QLatin1String("\r\n")) && text.size() <= MaxLineLength + 2, "a malformed message line");
        Info += text;
        Routed += text;
    }
    void ClearInfoText() override { Info.clear(); }

private:
    Modes m_;
};

// TextInfo as one text: the fake's line list, split anew at every insertion,
// made a flood cut into single bytes quadratic.
struct View : FakeConsoleView {
    void InsertInfoText(const QString& text) override { InfoText += text; }
};

// The session on a fake port, the window as plain fields, the trend plot's
// readings fed as the main window feeds them.
struct Session {
    ProgramState state;
    FakeSerialPort port;
    View view;
    ConsoleController controller{state.Dialog, port, view, [] { return qint64(0); }};
    LiveReadings plot{[] { return qint64(0); }, [] { return QDateTime::fromMSecsSinceEpoch(0); }};
    QStringList readouts;

    explicit Session(const Modes& m)
    {
        controller.Load();
        port.Open();
        view.Mode = m.Mode;
        view.Single = m.Single;
        view.Timers[ConsoleTimer::Poll].Running = m.Polling;
        QObject::connect(&controller.Readings(), &ConsoleReadings::Arrived,
                         [this](Readout which, const QString& text, qint64) {
                             readouts << QString::number(int(which)) + QLatin1Char('=') + text;
                             if (IsMeasured(which))
                                 plot.Measured(OutputSeries(which), text, 0);
                             else
                                 plot.SetValue(OutputSeries(which), text, 0);
                         });
    }
};

QString WithoutLineEnds(QString s)
{
    return s.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t config = data[0];
    const Modes modes{CommandMode(config & 3), bool(config & 4), bool(config & 8)};
    QByteArray stream(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    // Floods past the line bound from small inputs: the stream said over and
    // over, now and then, as a long stream costs the time of many short ones.
    if ((config & 0xC0) == 0xC0) {
        const QByteArray unit = stream;
        while (!unit.isEmpty() && stream.size() <= MaxLineLength + 2)
            stream += unit;
    }

    Recorder recorder(modes);
    ReceiveState parsed;
    ReceiveParser(parsed, recorder, QString::fromLatin1(stream));
    FUZZ_CHECK(parsed.LineBuffer.size() <= MaxLineLength && parsed.PollIndex >= 0 && parsed.PollIndex <= 4
                   && parsed.MessageLineCount >= 0 && parsed.MessageLineCount <= MaxMessageLines,
               "the receive state out of its bounds");
    FUZZ_CHECK(WithoutLineEnds(recorder.Routed + parsed.LineBuffer) == WithoutLineEnds(QString::fromLatin1(stream)),
               "routing lost or invented characters");

    Session whole(modes), pieces(modes);
    whole.port.Receive(stream);
    qsizetype from = 0;
    for (size_t cut : fuzz::Cuts(config, size_t(stream.size()))) {
        pieces.port.Receive(stream.mid(from, qsizetype(cut) - from));
        from = qsizetype(cut);
    }
    pieces.port.Receive(stream.mid(from));

    FUZZ_CHECK(whole.readouts == recorder.Readouts, "the session's readings differ from the parser's routing");
    FUZZ_CHECK(whole.view.InfoText == recorder.Info, "the session's TextInfo differs from the parser's routing");
    FUZZ_CHECK(pieces.readouts == whole.readouts && pieces.view.InfoText == whole.view.InfoText,
               "the cut of the reads changed the routing");
    // Every readable measured reply is a finite sample of its series; the rest are counted.
    qint64 samples[PlotSeriesCount] = {};
    int unreadable = 0;
    for (const QString& r : recorder.Readouts) {
        const Readout which = Readout(r.section(QLatin1Char('='), 0, 0).toInt());
        const bool readable = ReadReading(r.section(QLatin1Char('='), 1).toLatin1()).has_value();
        samples[OutputSeries(which)] += readable && IsMeasured(which);
        unreadable += !readable;
    }
    FUZZ_CHECK(whole.plot.Unreadable() == unreadable, "the plot miscounts unreadable replies");
    for (int s = 0; s < PlotSeriesCount; ++s) {
        const SampleSeries& series = whole.plot.Store().Series(s);
        FUZZ_CHECK(series.RawCount() == samples[s], "a readable reply missing from the plot");
        series.ForEachRaw(std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max(),
                          [](qint64, float v) { FUZZ_CHECK(std::isfinite(v), "a plot sample that is no number"); });
    }
    const ReceiveState &a = whole.controller.Receive(), &b = pieces.controller.Receive();
    FUZZ_CHECK(a.LineBuffer == b.LineBuffer && a.PollIndex == b.PollIndex && a.MessageLineCount == b.MessageLineCount,
               "the cut of the reads changed the receive state");
    return 0;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static int argc = 1;
    static char name[] = "fuzz_receive";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return 0;
}
