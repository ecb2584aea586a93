// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The console's deciding logic without a window: each mode's batch, timers and
// locks, and the repeat; the command table, the three reference lists byte for
// byte, and the command history.
#include <QSet>
#include <QtTest>

#include "console/CommandHistory.h"
#include "console/CommandTable.h"
#include "console/ConsoleController.h"
#include "console/ProgramState.h"
#include "console/ReferenceTexts.h"
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
    // The modes in both layouts and both models: what is stored, written and
    // timed, and how the polling cycle restarts; a closed port writes nothing
    // and locks the mode group.
    void ModeSetUp()
    {
        using M = CommandMode;
        static const struct { const char* name; M mode; bool open, single, newModel; const char* stored; const char* written; int pollMs; bool polling; } cases[] = {
            {"monitor single new", M::Monitor, true, true, true, "MEAS:VOLTA? P1\nMEAS:CURRA? P1\n", "", 200, true},
            {"monitor dual old", M::Monitor, true, false, false, "MEAS:VOLT? P1\nMEAS:CURR? P1\nMEAS:VOLT? P2\nMEAS:CURR? P2\n", "", 400, true},
            {"set-monitor dual", M::SetMonitor, true, false, false, "", "SOUR:VOLT? P1\nSOUR:CURR? P1\nSOUR:VOLT? P2\nSOUR:CURR? P2\n", 400, false},
            {"closed: set-monitor", M::SetMonitor, false, true, true, "", "", 200, false},
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
            QVERIFY2(c.controller.SendText() == QLatin1String(k.stored), k.name);
            QVERIFY2(c.port.Written() == k.written, k.name);
            QVERIFY2(c.view.TimerInterval(ConsoleTimer::Poll) == k.pollMs, k.name);
            QVERIFY2(c.view.TimerRunning(ConsoleTimer::Poll) == k.polling && c.view.TimerRunning(ConsoleTimer::Log) == k.polling, k.name);
            // Both polling modes take the log interval from the field, not the spinner.
            QVERIFY2(c.view.TimerInterval(ConsoleTimer::Log) == (k.open ? 750 : 500), k.name);
            QVERIFY2(c.view.ModeGroup == (k.open ? 1 : 0), k.name);
            QVERIFY2(c.controller.Receive().PollIndex == (k.open ? 0 : 3) && c.controller.Receive().LineBuffer.isEmpty() == k.open, k.name);
        }
    }

    void TableShape()
    {
        QCOMPARE(CommandTable().size(), 24);
        QSet<QString> places, positions;
        for (const CommandEntry& e : CommandTable()) {
            places << QStringLiteral("%1,%2").arg(e.Row).arg(e.Column);
            positions << QString::number(e.ListPosition);
        }
        // Every button has a place of its own on the grid and in the list.
        QVERIFY(places.size() == 24 && positions.size() == 24);
    }

    // The three lists byte for byte where it shows: lines split at CR LF, and
    // sample lines as "index:exact line" (only the errors end in CR LF).
    void ReferenceLists()
    {
        const struct { ReferenceList list; int lines; QStringList samples; } cases[] = {
            {ReferenceList::Commands, 24, {"0:SOUR:VOLT ---- 전압 설정", "4:SOUR:FLOW? --- 제어모드 읽기(CV/CC)?", "23:*CLS --------- 에러 상태 모두 지우기"}},
            {ReferenceList::Errors, 11, {"0:NO ERROR --------- 오류 없음", "9:ERROR - 106 ------ Min. 입력수치 확인 하세요", "10:"}},
            {ReferenceList::Models, 27, {"0:**** MORVANTE DELTRIX R-Series ***********", "1:", "12: 11. QPX-30R05DD (30V/5A x2, 2 Line Display)"}},
        };
        for (const auto& k : cases) {
            const QStringList split = ReferenceText(k.list).split(QStringLiteral("\r\n"));
            QCOMPARE(split.size(), k.lines);
            for (const QString& sample : k.samples) {
                const int colon = sample.indexOf(QLatin1Char(':'));
                QCOMPARE(split.at(sample.left(colon).toInt()), sample.mid(colon + 1));
            }
        }
    }

    // Recalled like a shell's: an immediate repeat is one entry, the oldest
    // stays, and coming back down gives what was typed.
    void HistoryRecallsLikeAShell()
    {
        CommandHistory h;
        for (const char* command : {"*IDN?", "APPL P1,1,1", "APPL P1,1,1", ""})
            h.Add(QString::fromLatin1(command));
        QCOMPARE(h.Older(QStringLiteral("OUTP")), QStringLiteral("APPL P1,1,1"));
        QCOMPARE(h.Older(QStringLiteral("APPL P1,1,1")), QStringLiteral("*IDN?"));
        QCOMPARE(h.Older(QStringLiteral("*IDN?")), QStringLiteral("*IDN?"));
        h.Newer(QStringLiteral("*IDN?"));
        QCOMPARE(h.Newer(QStringLiteral("APPL P1,1,1")), QStringLiteral("OUTP"));
        QCOMPARE(h.Newer(QStringLiteral("OUTP")), QStringLiteral("OUTP"));   // at the bottom it stays there
    }
};

QTEST_GUILESS_MAIN(TestConsoleController)
#include "test_console_controller.moc"
