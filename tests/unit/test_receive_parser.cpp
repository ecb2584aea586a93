// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/ReceiveParser.h"

#include <QStringList>
#include <QtTest>
#include <functional>

namespace {

enum class Mode { Line, Monitor, SetMonitor, MonitorStopped };

// Plays the main window: a mode and layout the test can change, and a log of
// everything the parser did to the window, as "P1V=12.345", "info=..." or "clear".
class FakeWindow : public ReceiveTarget {
public:
    Mode mode = Mode::Line;
    bool single = true;
    QStringList events;
    std::function<void()> afterEachLine;

    bool PollTimerRunning() const override { return mode == Mode::Monitor; }
    bool MonitorModeSelected() const override { return mode == Mode::Monitor || mode == Mode::MonitorStopped; }
    bool SetMonitorModeSelected() const override { return mode == Mode::SetMonitor; }
    bool SingleLayoutSelected() const override { return single; }
    void ShowReadout(Readout which, const QString& text) override
    {
        static const char* const names[] = {"P1V", "P1I", "P2V", "P2I", "P1SV", "P1SI", "P2SV", "P2SI"};
        Log(QLatin1String(names[int(which)]) + QLatin1Char('=') + text);
    }
    void InsertInfoText(const QString& text) override { Log(QStringLiteral("info=") + text); }
    void ClearInfoText() override { events << QStringLiteral("clear"); }

private:
    void Log(const QString& event)
    {
        events << event;
        if (afterEachLine)
            afterEachLine();
    }
};

// A chunk that switches the window's layout instead of arriving.
const QString ToSingle = QStringLiteral("<single>");

} // namespace

// Checks that received chunks become lines and land where mode and layout say.
class TestReceiveParser : public QObject {
    Q_OBJECT

private slots:
    void RoutesLines()
    {
        // The panel holds a hundred lines; the next one goes in and then out
        // together with all the others.
        QStringList lines, shown;
        for (int i = 1; i <= 102; ++i) {
            lines << QStringLiteral("r%1\n").arg(i);
            shown << QStringLiteral("info=r%1\r\n").arg(i);
        }
        shown.insert(101, QStringLiteral("clear"));
        // An unfinished line is cut at the bound, within a chunk or across them.
        const auto x = [](int n) { return QString(n, QLatin1Char('x')); };
        const auto info = [](const QString& line) { return QStringLiteral("info=") + line + QStringLiteral("\r\n"); };
        const int bound = MaxLineLength;

        // What the window shows, and where the parser stands after the chunks.
        const struct { const char* name; Mode mode; bool single; QStringList chunks, expected; int pollIndex;
                       QString lineBuffer; int messageLines; } cases[] = {
            {"replies split across chunks keep their CR", Mode::Monitor, true, {"12.3", "45\r\n0.", "2\r\n"}, {"P1V=12.345\r", "P1I=0.2\r"}, 0, "", 0},
            {"dual monitor over two cycles", Mode::Monitor, false, {"a\nb\nc\n", "d\ne\nf\ng\nh\n"},
             {"P1V=a", "P1I=b", "P2V=c", "P2I=d", "P1V=e", "P1I=f", "P2V=g", "P2I=h"}, 0, "", 0},
            {"single set-monitor wraps on the third line", Mode::SetMonitor, true, {"5.000\n1.000\n9\n"}, {"P1SV=5.000", "P1SI=1.000", "P1SV=9"}, 1, "", 0},
            // A cycle that is further along than the new layout's length starts over.
            {"monitor, third of four then single", Mode::Monitor, false, {"a\nb\n", ToSingle, "c\nd\n"}, {"P1V=a", "P1I=b", "P1V=c", "P1I=d"}, 0, "", 0},
            {"line mode with CR LF and a blank line", Mode::Line, true, {"NO ERROR\r\n", "\n"}, {"info=NO ERROR\r\n", "info=\r\n"}, 0, "", 2},
            {"monitor selected but poll timer stopped", Mode::MonitorStopped, false, {"x\n"}, {"info=x\r\n"}, 0, "", 1},
            {"panel emptied after a hundred lines", Mode::Line, true, lines, shown, 0, "", 1},
            {"a line of exactly the bound waits for its line feed", Mode::Line, true, {x(bound), "\n"}, {info(x(bound))}, 0, "", 1},
            {"reaching the bound across chunks", Mode::Line, true, {x(bound - 1), "yz"}, {info(x(bound - 1) + 'y')}, 0, "z", 1},
        };
        for (const auto& k : cases) {
            ReceiveState state;
            FakeWindow window;
            window.mode = k.mode;
            window.single = k.single;
            for (const QString& chunk : k.chunks) {
                if (chunk == ToSingle)
                    window.single = true;
                else
                    ReceiveParser(state, window, chunk);
            }
            QVERIFY2(window.events == k.expected, qPrintable(QStringLiteral("%1: %2").arg(k.name, window.events.join('|').left(200))));
            QVERIFY2(state.PollIndex == k.pollIndex && state.LineBuffer == k.lineBuffer && state.MessageLineCount == k.messageLines, k.name);
        }
    }

    void ReadsModeAtEveryLineFeed()
    {
        ReceiveState state;
        FakeWindow window;
        // Each routed line flips the window between line and monitor mode, so a
        // parser that read the mode once per chunk would route all three alike.
        window.afterEachLine = [&window] { window.mode = window.mode == Mode::Line ? Mode::Monitor : Mode::Line; };
        ReceiveParser(state, window, QStringLiteral("a\nb\nc\n"));
        QCOMPARE(window.events, (QStringList{"info=a\r\n", "P1V=b", "info=c\r\n"}));
    }
};

QTEST_GUILESS_MAIN(TestReceiveParser)
#include "test_receive_parser.moc"
