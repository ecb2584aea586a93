#include "link/ReceiveParser.h"

#include <QStringList>
#include <QtTest>
#include <functional>

namespace {

QString ReadoutName(Readout r)
{
    switch (r) {
    case Readout::P1Voltage: return QStringLiteral("P1V");
    case Readout::P1Current: return QStringLiteral("P1I");
    case Readout::P2Voltage: return QStringLiteral("P2V");
    case Readout::P2Current: return QStringLiteral("P2I");
    case Readout::P1SetVoltage: return QStringLiteral("P1SV");
    case Readout::P1SetCurrent: return QStringLiteral("P1SI");
    case Readout::P2SetVoltage: return QStringLiteral("P2SV");
    case Readout::P2SetCurrent: return QStringLiteral("P2SI");
    }
    return QString();
}

enum class Mode { Line, Monitor, SetMonitor, MonitorStopped, SetWhilePolling };

// Plays the main window: a mode and layout the test can change, and a log of
// everything the parser did to the window, as "P1V=12.345", "info=..." or "clear".
class FakeWindow : public ReceiveTarget {
public:
    Mode mode = Mode::Line;
    bool single = true;
    QStringList events;
    std::function<void()> afterEachLine;

    bool PollTimerRunning() const override { return mode == Mode::Monitor || mode == Mode::SetWhilePolling; }
    bool MonitorModeSelected() const override { return mode == Mode::Monitor || mode == Mode::MonitorStopped; }
    bool SetMonitorModeSelected() const override { return mode == Mode::SetMonitor || mode == Mode::SetWhilePolling; }
    bool SingleLayoutSelected() const override { return single; }
    void ShowReadout(Readout which, const QString& text) override { Log(ReadoutName(which) + QLatin1Char('=') + text); }
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

} // namespace

Q_DECLARE_METATYPE(Mode)

// A chunk that switches the window's layout instead of arriving.
const QString ToSingle = QStringLiteral("<single>");

// Checks that received chunks become lines and land where mode and layout say.
class TestReceiveParser : public QObject {
    Q_OBJECT

private slots:
    void RoutesLines_data();
    void RoutesLines();
    void ReadsModeAtEveryLineFeed();
};

void TestReceiveParser::RoutesLines_data()
{
    QTest::addColumn<Mode>("mode");
    QTest::addColumn<bool>("single");
    QTest::addColumn<QStringList>("chunks");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("pollIndex");
    QTest::addColumn<QString>("lineBuffer");
    QTest::addColumn<int>("messageLines");

    QTest::newRow("reply split over three chunks")
        << Mode::Monitor << true << QStringList{"12.3", "45", "\n"}
        << QStringList{"P1V=12.345"} << 1 << QString() << 0;
    QTest::newRow("tail waits for the next chunk")
        << Mode::Monitor << true << QStringList{"1\n2"}
        << QStringList{"P1V=1"} << 1 << QStringLiteral("2") << 0;
    QTest::newRow("carriage returns stay in readouts")
        << Mode::Monitor << true << QStringList{"1.5\r\n0.2\r\n"}
        << QStringList{"P1V=1.5\r", "P1I=0.2\r"} << 0 << QString() << 0;
    QTest::newRow("dual monitor over two cycles")
        << Mode::Monitor << false << QStringList{"a\nb\nc\n", "d\ne\nf\ng\nh\n"}
        << QStringList{"P1V=a", "P1I=b", "P2V=c", "P2I=d", "P1V=e", "P1I=f", "P2V=g", "P2I=h"}
        << 0 << QString() << 0;
    QTest::newRow("single set-monitor wraps on the third line")
        << Mode::SetMonitor << true << QStringList{"5.000\n1.000\n9\n"}
        << QStringList{"P1SV=5.000", "P1SI=1.000", "P1SV=9"} << 1 << QString() << 0;
    // A cycle that is further along than the new layout's length starts over.
    QTest::newRow("monitor, third of four then single")
        << Mode::Monitor << false << QStringList{"a\nb\n", ToSingle, "c\nd\n"}
        << QStringList{"P1V=a", "P1I=b", "P1V=c", "P1I=d"} << 0 << QString() << 0;
    QTest::newRow("set-monitor, fourth of four then single")
        << Mode::SetMonitor << false << QStringList{"a\nb\nc\n", ToSingle, "d\n"}
        << QStringList{"P1SV=a", "P1SI=b", "P2SV=c", "P1SV=d"} << 1 << QString() << 0;
    QTest::newRow("line mode with CR LF and a blank line")
        << Mode::Line << true << QStringList{"NO ERROR\r\n", "\n"}
        << QStringList{"info=NO ERROR\r\r\n", "info=\r\n"} << 0 << QString() << 2;
    QTest::newRow("monitor selected but poll timer stopped")
        << Mode::MonitorStopped << false << QStringList{"x\n"}
        << QStringList{"info=x\r\n"} << 0 << QString() << 1;
    QTest::newRow("poll timer left running outside monitor mode")
        << Mode::SetWhilePolling << true << QStringList{"x\ny\n"}
        << QStringList{"info=x\r\n", "info=y\r\n"} << 0 << QString() << 2;

    // The panel holds a hundred lines; the next one goes in and then out
    // together with all the others.
    QStringList lines, shown;
    for (int i = 1; i <= 102; ++i) {
        lines << QStringLiteral("r%1\n").arg(i);
        shown << QStringLiteral("info=r%1\r\n").arg(i);
    }
    shown.insert(101, QStringLiteral("clear"));
    QTest::newRow("panel emptied after a hundred lines")
        << Mode::Line << true << lines << shown << 0 << QString() << 1;

    // An unfinished line is cut at the bound, within a chunk or across them.
    const auto x = [](int n) { return QString(n, QLatin1Char('x')); };
    const auto message = [](const QString& line) { return QStringLiteral("info=") + line + QStringLiteral("\r\n"); };
    QTest::newRow("a line of exactly the bound waits for its line feed")
        << Mode::Line << true << QStringList{x(MaxLineLength), QStringLiteral("\n")}
        << QStringList{message(x(MaxLineLength))} << 0 << QString() << 1;
    QTest::newRow("reaching the bound across chunks")
        << Mode::Line << true << QStringList{x(MaxLineLength - 1), QStringLiteral("yz")}
        << QStringList{message(x(MaxLineLength - 1) + QLatin1Char('y'))} << 0 << QStringLiteral("z") << 1;
    QTest::newRow("flood in uneven chunks")
        << Mode::Line << true << QStringList{x(3000), x(7000)}
        << QStringList{message(x(MaxLineLength)), message(x(MaxLineLength))} << 0 << x(1808) << 2;
    QTest::newRow("long line then a short one")
        << Mode::Monitor << true << QStringList{x(5000) + QStringLiteral("\nok\n")}
        << QStringList{"P1V=" + x(MaxLineLength), "P1I=" + x(904), "P1V=ok"} << 1 << QString() << 0;
}

void TestReceiveParser::RoutesLines()
{
    QFETCH(Mode, mode);
    QFETCH(bool, single);
    QFETCH(QStringList, chunks);

    ReceiveState state;
    FakeWindow window;
    window.mode = mode;
    window.single = single;
    for (const QString& chunk : chunks) {
        if (chunk == ToSingle)
            window.single = true;
        else
            ReceiveParser(state, window, chunk);
    }

    QTEST(window.events, "expected");
    QTEST(state.PollIndex, "pollIndex");
    QTEST(state.LineBuffer, "lineBuffer");
    QTEST(state.MessageLineCount, "messageLines");
}

void TestReceiveParser::ReadsModeAtEveryLineFeed()
{
    ReceiveState state;
    FakeWindow window;
    // Each routed line flips the window between line and monitor mode, so a
    // parser that read the mode once per chunk would route all three alike.
    window.afterEachLine = [&window] {
        window.mode = window.mode == Mode::Line ? Mode::Monitor : Mode::Line;
    };
    ReceiveParser(state, window, QStringLiteral("a\nb\nc\n"));
    QCOMPARE(window.events, (QStringList{"info=a\r\n", "P1V=b", "info=c\r\n"}));
}

QTEST_GUILESS_MAIN(TestReceiveParser)
#include "test_receive_parser.moc"
