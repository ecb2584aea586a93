// The console's deciding logic without a window: each mode's batch, timers and
// locks, the timers at start, activation, the repeat rules and the history.
#include <QtTest>
#include <map>

#include "console/ConsoleController.h"
#include "console/ProgramState.h"
#include "support/FakeSerialPort.h"

namespace {

struct Timer {
    int Interval = -1;
    bool Running = false;
};

// The window's controls as plain fields; enabled states start unknown (-1)
// so a test sees which ones a decision touched.
struct FakeView : ConsoleView {
    CommandMode Mode = CommandMode::Line;
    bool Single = true, NewModel = true, Repeat = false;
    QString Command, MonitorText = QStringLiteral("500");
    int RepeatSpinner = 50, MonitorSpinner = 500;

    int ModeGroup = -1, ModelGroup = -1, PortButton = -1, SendButton = -1, Composer = -1;
    bool RepeatCheckCleared = false, RepeatCaptionRunning = false;
    int LampsLit = 0, PatternWindows = 0;
    QString PortStatus;
    PortLabel Label = PortLabel::Closed;
    QStringList Info;
    std::map<ConsoleTimer, Timer> Timers;

    CommandMode SelectedMode() const override { return Mode; }
    bool SingleLayoutSelected() const override { return Single; }
    bool NewModelSelected() const override { return NewModel; }
    bool RepeatChecked() const override { return Repeat; }
    QString CommandText() const override { return Command; }
    QString MonitorIntervalText() const override { return MonitorText; }
    int RepeatSpinnerValue() const override { return RepeatSpinner; }
    int MonitorSpinnerValue() const override { return MonitorSpinner; }
    void EnableModeGroup(bool on) override { ModeGroup = on; }
    void EnableModelGroup(bool on) override { ModelGroup = on; }
    void EnablePortButton(bool on) override { PortButton = on; }
    void EnableSendButton(bool on) override { SendButton = on; }
    void EnableComposer(bool on) override
    {
        Composer = SendButton = on;
        if (!on) {
            Repeat = false;
            RepeatCheckCleared = true;
        }
    }
    void ShowRepeatRunning(bool running) override { RepeatCaptionRunning = running; }
    void LightSendLamp() override { ++LampsLit; }
    void ShowPortStatus(const QString& text) override { PortStatus = text; }
    void ShowPortLabel(PortLabel label) override { Label = label; }
    void InsertInfoLine(const QString& line) override { Info << line; }
    void OpenPatternWindow() override { ++PatternWindows; }
    void SetTimerInterval(ConsoleTimer t, int ms) override { Timers[t].Interval = ms; }
    int TimerInterval(ConsoleTimer t) const override { return Timers.count(t) ? Timers.at(t).Interval : -1; }
    void StartTimer(ConsoleTimer t) override { Timers[t].Running = true; }
    void StopTimer(ConsoleTimer t) override { Timers[t].Running = false; }
    bool TimerRunning(ConsoleTimer t) const override { return Timers.count(t) && Timers.at(t).Running; }
};

struct Console {
    ProgramState state;
    FakeSerialPort port;
    FakeView view;
    ConsoleController controller{state, port, view};

    explicit Console(bool open = true)
    {
        controller.Load();
        if (open)
            port.Open();
    }
};

const char* ModeName(CommandMode m)
{
    const char* names[] = {"line", "monitor", "set-monitor", "pattern"};
    return names[int(m)];
}
}

class TestConsoleController : public QObject {
    Q_OBJECT
private slots:
    void LoadArmsOnlyTheLampTimer()
    {
        ProgramState state;
        FakeSerialPort port;
        FakeView view;
        view.RepeatSpinner = 70;
        view.MonitorSpinner = 900;
        state.RepeatIdle = 0;
        ConsoleController(state, port, view).Load();
        QCOMPARE(view.TimerInterval(ConsoleTimer::Repeat), 70);
        QCOMPARE(view.TimerInterval(ConsoleTimer::Lamps), 300);
        QCOMPARE(view.TimerInterval(ConsoleTimer::Poll), 200);
        QCOMPARE(view.TimerInterval(ConsoleTimer::Log), 900);
        QVERIFY(view.TimerRunning(ConsoleTimer::Lamps));
        for (ConsoleTimer t : {ConsoleTimer::Repeat, ConsoleTimer::Poll, ConsoleTimer::Log})
            QVERIFY(!view.TimerRunning(t));
        QCOMPARE(view.SendButton, 0);
        QCOMPARE(state.RepeatIdle, -1);
        QCOMPARE(port.ReceiveThreshold(), 1);
        QVERIFY(port.RequestToSend());
    }

    // Every mode in both layouts and both models: what is stored, written,
    // timed and locked, and how the polling cycle restarts.
    void ModeSetUp_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("single");
        QTest::addColumn<bool>("newModel");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<int>("pollMs");      // -1: left as it was (200 from the load)
        QTest::addColumn<bool>("polling");    // poll and log timers run together
        QTest::addColumn<int>("composer");
        QTest::addColumn<int>("portButton");
        QTest::addColumn<int>("modelGroup");
        QTest::addColumn<bool>("bufferCleared");
        const auto line = int(CommandMode::Line), mon = int(CommandMode::Monitor);
        const auto set = int(CommandMode::SetMonitor), pat = int(CommandMode::Pattern);
        QTest::newRow("line") << line << true << true << "" << QByteArray() << 200 << false << 1 << 1 << 1 << false;
        QTest::newRow("monitor single new") << mon << true << true << "MEAS:VOLTA? P1\nMEAS:CURRA? P1\n"
                                            << QByteArray() << 200 << true << 0 << 0 << 0 << true;
        QTest::newRow("monitor dual old") << mon << false << false
                                          << "MEAS:VOLT? P1\nMEAS:CURR? P1\nMEAS:VOLT? P2\nMEAS:CURR? P2\n"
                                          << QByteArray() << 400 << true << 0 << 0 << 0 << true;
        QTest::newRow("monitor dual new") << mon << false << true
                                          << "MEAS:VOLTA? P1\nMEAS:CURRA? P1\nMEAS:VOLTA? P2\nMEAS:CURRA? P2\n"
                                          << QByteArray() << 400 << true << 0 << 0 << 0 << true;
        QTest::newRow("set-monitor single") << set << true << true << ""
                                            << QByteArray("SOUR:VOLT? P1\nSOUR:CURR? P1\n") << 200 << false << 0
                                            << 1 << -1 << true;
        QTest::newRow("set-monitor dual") << set << false << false << ""
                                          << QByteArray("SOUR:VOLT? P1\nSOUR:CURR? P1\nSOUR:VOLT? P2\nSOUR:CURR? P2\n")
                                          << 400 << false << 0 << 1 << -1 << true;
        QTest::newRow("pattern") << pat << false << true << "" << QByteArray() << 200 << false << 0 << 1 << 0 << true;
    }
    void ModeSetUp()
    {
        QFETCH(int, mode);
        QFETCH(bool, single);
        QFETCH(bool, newModel);
        Console c;
        c.view.Mode = CommandMode(mode);
        c.view.Single = single;
        c.view.NewModel = newModel;
        c.view.MonitorText = QStringLiteral("750");
        c.state.Receive.PollIndex = 3;
        c.state.Receive.LineBuffer = QStringLiteral("half a li");
        c.controller.SelectMode(CommandMode(mode));

        QTEST(c.state.SendText, "stored");
        QTEST(c.port.Written(), "written");
        QTEST(c.view.TimerInterval(ConsoleTimer::Poll), "pollMs");
        QTEST(c.view.TimerRunning(ConsoleTimer::Poll), "polling");
        QTEST(c.view.TimerRunning(ConsoleTimer::Log), "polling");
        // Both polling modes take the log interval from the field, not the spinner.
        QCOMPARE(c.view.TimerInterval(ConsoleTimer::Log), mode == int(CommandMode::Monitor) || mode == int(CommandMode::SetMonitor) ? 750 : 500);
        QTEST(c.view.Composer, "composer");
        QCOMPARE(c.view.RepeatCheckCleared, c.view.Composer == 0);
        QTEST(c.view.PortButton, "portButton");
        QTEST(c.view.ModelGroup, "modelGroup");
        QCOMPARE(c.view.ModeGroup, 1);
        QCOMPARE(c.state.Receive.PollIndex, 0);
        QFETCH(bool, bufferCleared);
        QCOMPARE(c.state.Receive.LineBuffer.isEmpty(), bufferCleared);
        QCOMPARE(c.view.PatternWindows, mode == int(CommandMode::Pattern) ? 1 : 0);
        QCOMPARE(c.view.LampsLit, mode == int(CommandMode::SetMonitor) ? 1 : 0);
    }

    void ClosedPortOnlyLocksTheModeGroup()
    {
        for (CommandMode mode : {CommandMode::Monitor, CommandMode::SetMonitor, CommandMode::Pattern}) {
            Console c(false);
            c.view.Mode = mode;
            c.controller.SelectMode(mode);
            QVERIFY2(c.view.ModeGroup == 0, ModeName(mode));
            QVERIFY2(!c.view.TimerRunning(ConsoleTimer::Poll) && c.port.Writes.isEmpty(), ModeName(mode));
            QVERIFY2(c.view.PatternWindows == 0 && c.state.SendText.isEmpty(), ModeName(mode));
        }
    }

    // The return from the port dialog shows the port as it now stands and
    // starts the selected mode on it.
    void ActivationRefreshesStatusAndMode()
    {
        Console c(false);
        c.view.Mode = CommandMode::Monitor;
        c.port.SetPortNumber(3);
        QVERIFY(c.port.SetSettings(QStringLiteral(" 9600,E, 7, 2")));
        c.port.Open();
        c.controller.Activate();
        QCOMPARE(c.view.PortStatus, QStringLiteral("COM 3 : 9600,E,7,2"));
        QVERIFY(c.view.TimerRunning(ConsoleTimer::Poll));
        QCOMPARE(c.view.ModeGroup, 1);

        c.port.Close();
        c.controller.Activate();
        QCOMPARE(c.view.ModeGroup, 0);
    }

    void PortLostStopsPollingAndFreesThePortButton()
    {
        Console c;
        c.view.Mode = CommandMode::Monitor;
        c.controller.SelectMode(CommandMode::Monitor);
        c.port.Close();
        c.controller.PortLost();
        QVERIFY(!c.view.TimerRunning(ConsoleTimer::Poll));
        QVERIFY(!c.view.TimerRunning(ConsoleTimer::Log));
        QCOMPARE(c.view.PortButton, 1);
        QCOMPARE(c.view.SendButton, 0);
        QCOMPARE(c.view.ModeGroup, 0);
    }

    void SendOnceOrNothing_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("line sends field and LF") << int(CommandMode::Line) << "SOUR:VOLT " << QByteArray("SOUR:VOLT \n");
        QTest::newRow("empty field") << int(CommandMode::Line) << "" << QByteArray();
        QTest::newRow("not in line mode") << int(CommandMode::SetMonitor) << "*IDN?" << QByteArray();
    }
    void SendOnceOrNothing()
    {
        QFETCH(int, mode);
        QFETCH(QString, field);
        Console c;
        c.view.Mode = CommandMode(mode);
        c.view.Command = field;
        c.controller.SendButtonPressed();
        QTEST(c.port.Written(), "written");
        QCOMPARE(c.controller.History().Size(), c.port.Writes.size());
        QCOMPARE(c.view.LampsLit, c.port.Writes.size());
    }

    void RepeatStartsAndStops()
    {
        Console c;
        c.view.Repeat = true;
        c.view.Command = QStringLiteral("MEAS:VOLT? P1");
        c.controller.SendButtonPressed();
        QVERIFY(c.port.Writes.isEmpty());   // the first send waits one interval
        QVERIFY(c.view.TimerRunning(ConsoleTimer::Repeat));
        QCOMPARE(c.state.RepeatIdle, 0);
        QVERIFY(c.view.RepeatCaptionRunning);
        QCOMPARE(c.view.ModeGroup, 0);
        QCOMPARE(c.view.ModelGroup, 0);

        c.view.Command = QStringLiteral("*RST");
        c.controller.SendNow();
        c.controller.SendButtonPressed();   // stop: the field is stored but not recalled
        QCOMPARE(c.port.Written(), QByteArray("MEAS:VOLT? P1\n"));
        QVERIFY(!c.view.TimerRunning(ConsoleTimer::Repeat));
        QCOMPARE(c.state.RepeatIdle, -1);
        QVERIFY(!c.view.RepeatCaptionRunning);
        QCOMPARE(c.view.ModeGroup, 1);
        QCOMPARE(c.view.ModelGroup, 1);
        QCOMPARE(c.controller.History().Size(), 1);
        QCOMPARE(c.controller.History().Older(QString()), QStringLiteral("MEAS:VOLT? P1"));
    }

    // The spinner can stop and restart a running repeat; 0 ms never fires.
    void RepeatIntervalChanges_data()
    {
        QTest::addColumn<bool>("repeating");
        QTest::addColumn<int>("ms");
        QTest::addColumn<bool>("running");
        QTest::newRow("0 stops a running repeat") << true << 0 << false;
        QTest::newRow("back from 0 restarts it") << true << 10 << true;
        QTest::newRow("idle stays idle") << false << 10 << false;
    }
    void RepeatIntervalChanges()
    {
        QFETCH(bool, repeating);
        QFETCH(int, ms);
        Console c;
        c.view.RepeatSpinner = 0;
        c.controller.Load();
        c.view.Repeat = true;
        c.view.Command = QStringLiteral("*IDN?");
        if (repeating) {
            c.controller.SendButtonPressed();
            QVERIFY(!c.view.TimerRunning(ConsoleTimer::Repeat));   // started at 0 ms: never fires
        }
        c.controller.RepeatIntervalChanged(ms);
        QCOMPARE(c.view.TimerInterval(ConsoleTimer::Repeat), ms);
        QTEST(c.view.TimerRunning(ConsoleTimer::Repeat), "running");
    }

    void MonitorIntervalTakesEffectAtOnce()
    {
        Console c;
        c.controller.MonitorIntervalChanged(1200);
        QCOMPARE(c.view.TimerInterval(ConsoleTimer::Log), 1200);
    }
};

QTEST_GUILESS_MAIN(TestConsoleController)
#include "test_console_controller.moc"
