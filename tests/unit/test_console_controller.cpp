// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The console's deciding logic without a window: each mode's batch, timers and
// locks, the timers at start, activation, the repeat rules and the history.
#include <QtTest>

#include "console/ConsoleController.h"
#include "console/ProgramState.h"
#include "support/FakeConsoleView.h"
#include "support/FakeSerialPort.h"

namespace {
struct Console {
    ProgramState state;
    FakeSerialPort port;
    FakeConsoleView view;
    ConsoleController controller{state.Dialog, port, view};

    explicit Console(bool open = true)
    {
        controller.Load();
        if (open)
            port.Open();
    }
};
}

class TestConsoleController : public QObject {
    Q_OBJECT
private slots:
    void LoadArmsOnlyTheLampTimer()
    {
        ProgramState state;
        FakeSerialPort port;
        FakeConsoleView view;
        view.RepeatSpinner = 70;
        view.MonitorSpinner = 900;
        ConsoleController controller(state.Dialog, port, view);
        controller.Load();
        const std::pair<ConsoleTimer, int> intervals[] = {
            {ConsoleTimer::Repeat, 70}, {ConsoleTimer::Lamps, 300}, {ConsoleTimer::Poll, 200}, {ConsoleTimer::Log, 900}};
        for (const auto& [timer, ms] : intervals) {
            QCOMPARE(view.TimerInterval(timer), ms);
            QCOMPARE(view.TimerRunning(timer), timer == ConsoleTimer::Lamps);
        }
        QCOMPARE(view.SendButton, 0);
        QVERIFY(controller.RepeatIdle());
        QCOMPARE(port.ReceiveThreshold(), 1);
        QVERIFY(port.RequestToSend());
    }

    // Every mode in both layouts and both models: what is stored, written,
    // timed and locked, and how the polling cycle restarts; a closed port
    // only locks the mode group.
    void ModeSetUp()
    {
        using M = CommandMode;
        static const struct {
            const char* name;
            M mode;
            bool open, single, newModel;
            const char* stored;
            const char* written;
            int pollMs;
            bool polling;
            int composer, portButton, modelGroup;
        } cases[] = {
            {"line", M::Line, true, true, true, "", "", 200, false, 1, 1, 1},
            {"monitor single new", M::Monitor, true, true, true, "MEAS:VOLTA? P1\nMEAS:CURRA? P1\n", "", 200, true, 0, 0, 0},
            {"monitor single old", M::Monitor, true, true, false, "MEAS:VOLT? P1\nMEAS:CURR? P1\n", "", 200, true, 0, 0, 0},
            {"monitor dual old", M::Monitor, true, false, false, "MEAS:VOLT? P1\nMEAS:CURR? P1\nMEAS:VOLT? P2\nMEAS:CURR? P2\n", "", 400, true, 0, 0, 0},
            {"monitor dual new", M::Monitor, true, false, true, "MEAS:VOLTA? P1\nMEAS:CURRA? P1\nMEAS:VOLTA? P2\nMEAS:CURRA? P2\n", "", 400, true, 0, 0, 0},
            {"set-monitor single", M::SetMonitor, true, true, true, "", "SOUR:VOLT? P1\nSOUR:CURR? P1\n", 200, false, 0, 1, -1},
            {"set-monitor dual", M::SetMonitor, true, false, false, "", "SOUR:VOLT? P1\nSOUR:CURR? P1\nSOUR:VOLT? P2\nSOUR:CURR? P2\n", 400, false, 0, 1, -1},
            {"pattern", M::Pattern, true, false, true, "", "", 200, false, 0, 1, 0},
            {"closed: monitor", M::Monitor, false, true, true, "", "", 200, false, -1, 0, 0},
            {"closed: set-monitor", M::SetMonitor, false, true, true, "", "", 200, false, -1, 1, -1},
            {"closed: pattern", M::Pattern, false, true, true, "", "", 200, false, -1, 1, 0},
        };
        for (const auto& k : cases) {
            Console c(k.open);
            c.view.Mode = k.mode;
            c.view.Single = k.single;
            c.view.NewModel = k.newModel;
            c.view.MonitorText = QStringLiteral("750");
            c.controller.Receive().PollIndex = 3;
            c.controller.Receive().LineBuffer = QStringLiteral("half a li");
            c.controller.SelectMode(k.mode);
            const bool started = k.open && k.mode != M::Line;
            const bool polls = k.mode == M::Monitor || k.mode == M::SetMonitor;
            QVERIFY2(c.controller.SendText() == QLatin1String(k.stored), k.name);
            QVERIFY2(c.port.Written() == k.written, k.name);
            QVERIFY2(c.view.TimerInterval(ConsoleTimer::Poll) == k.pollMs, k.name);
            QVERIFY2(c.view.TimerRunning(ConsoleTimer::Poll) == k.polling && c.view.TimerRunning(ConsoleTimer::Log) == k.polling, k.name);
            // Both polling modes take the log interval from the field, not the spinner.
            QVERIFY2(c.view.TimerInterval(ConsoleTimer::Log) == (k.open && polls ? 750 : 500), k.name);
            QVERIFY2(c.view.Composer == k.composer && c.view.RepeatCheckCleared == (k.composer == 0), k.name);
            QVERIFY2(c.view.PortButton == k.portButton && c.view.ModelGroup == k.modelGroup, k.name);
            QVERIFY2(c.view.ModeGroup == (k.open ? 1 : 0), k.name);
            QVERIFY2(c.controller.Receive().PollIndex == (k.open ? 0 : 3) && c.controller.Receive().LineBuffer.isEmpty() == started, k.name);
            QVERIFY2(c.view.PatternWindows == (started && k.mode == M::Pattern), k.name);
            QVERIFY2(c.view.LampsLit == (started && k.mode == M::SetMonitor), k.name);
        }
    }

    // The return from the port dialog shows the port as it now stands and
    // starts the selected mode on it; a lost port stops it again.
    void ActivationAndLoss()
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

        c.port.Vanish(QStringLiteral("unplugged"));
        QVERIFY(!c.view.TimerRunning(ConsoleTimer::Poll) && !c.view.TimerRunning(ConsoleTimer::Log));
        QCOMPARE(c.view.PortButton, 1);
        QCOMPARE(c.view.SendButton, 0);
        QCOMPARE(c.view.ModeGroup, 0);
        c.view.ModeGroup = -1;
        c.controller.Activate();
        QCOMPARE(c.view.ModeGroup, 0);
    }

    void SendOnceOrNothing()
    {
        static const struct { const char* name; CommandMode mode; const char* field; const char* written; } cases[] = {
            {"line sends field and LF", CommandMode::Line, "SOUR:VOLT ", "SOUR:VOLT \n"},
            {"empty field", CommandMode::Line, "", ""},
            {"not in line mode", CommandMode::SetMonitor, "*IDN?", ""},
        };
        for (const auto& k : cases) {
            Console c;
            c.view.Mode = k.mode;
            c.view.Command = QString::fromLatin1(k.field);
            c.controller.SendButtonPressed();
            QVERIFY2(c.port.Written() == k.written, k.name);
            QVERIFY2(c.controller.History().Size() == c.port.Writes.size() && c.view.LampsLit == c.port.Writes.size(), k.name);
        }
    }

    void RepeatStartsAndStops()
    {
        Console c;
        c.view.Repeat = true;
        c.view.Command = QStringLiteral("MEAS:VOLT? P1");
        c.controller.SendButtonPressed();
        QVERIFY(c.port.Writes.isEmpty());   // the first send waits one interval
        QVERIFY(c.view.TimerRunning(ConsoleTimer::Repeat) && c.view.RepeatCaptionRunning);
        QVERIFY(!c.controller.RepeatIdle());
        QCOMPARE(c.view.ModeGroup, 0);
        QCOMPARE(c.view.ModelGroup, 0);

        c.view.Command = QStringLiteral("*RST");
        c.controller.SendNow();
        c.port.Close();   // a closed port is outlived without writing
        c.controller.SendNow();
        QVERIFY(c.view.TimerRunning(ConsoleTimer::Repeat));
        c.port.Open();
        c.controller.SendButtonPressed();   // stop: the field is stored but not recalled
        QCOMPARE(c.port.Written(), QByteArray("MEAS:VOLT? P1\n"));
        QVERIFY(!c.view.TimerRunning(ConsoleTimer::Repeat) && !c.view.RepeatCaptionRunning);
        QVERIFY(c.controller.RepeatIdle());
        QCOMPARE(c.view.ModeGroup, 1);
        QCOMPARE(c.view.ModelGroup, 1);
        QCOMPARE(c.controller.History().Size(), 1);
        QCOMPARE(c.controller.History().Older(QString()), QStringLiteral("MEAS:VOLT? P1"));
    }

    // The spinners take effect at once; a repeat at 0 ms never fires, and
    // leaving 0 restarts a running one.
    void IntervalChanges()
    {
        static const struct { const char* name; bool repeating; int ms; bool running; } cases[] = {
            {"0 stops a running repeat", true, 0, false}, {"back from 0 restarts it", true, 10, true}, {"idle stays idle", false, 10, false}};
        for (const auto& k : cases) {
            Console c;
            c.view.RepeatSpinner = 0;
            c.controller.Load();
            c.view.Repeat = true;
            c.view.Command = QStringLiteral("*IDN?");
            if (k.repeating) {
                c.controller.SendButtonPressed();
                QVERIFY2(!c.view.TimerRunning(ConsoleTimer::Repeat), k.name);   // started at 0 ms: never fires
            }
            c.controller.RepeatIntervalChanged(k.ms);
            QVERIFY2(c.view.TimerInterval(ConsoleTimer::Repeat) == k.ms && c.view.TimerRunning(ConsoleTimer::Repeat) == k.running, k.name);
        }
        Console c;
        c.controller.MonitorIntervalChanged(1200);
        QCOMPARE(c.view.TimerInterval(ConsoleTimer::Log), 1200);
    }
};

QTEST_GUILESS_MAIN(TestConsoleController)
#include "test_console_controller.moc"
