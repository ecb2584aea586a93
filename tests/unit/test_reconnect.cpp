// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Waiting for a lost device and resuming on it, with a fake file system and
// a clock the test moves by hand.
#include <QtTest>

#include "console/ConsoleController.h"
#include "console/ProgramState.h"
#include "support/FakeConsoleView.h"
#include "support/FakeSerialPort.h"

namespace {
const QString Usb0 = QStringLiteral("/dev/ttyUSB0");
const QString Usb1 = QStringLiteral("/dev/ttyUSB1");
const QString ById = QStringLiteral("/dev/serial/by-id/usb-Bench_Adapter_A1-if00-port0");

// The console monitoring /dev/ttyUSB0 (COM 1), which has a stable name.
struct Bench {
    ProgramState state;
    FakeSerialPort port;
    FakeConsoleView view;
    qint64 now = 1000000;
    ConsoleController controller{state.Dialog, port, view, [this] { return now; }};

    explicit Bench(bool stableName = true)
    {
        view.Mode = CommandMode::Monitor;
        view.Single = false;
        view.Command = QStringLiteral("*IDN?");
        port.Device = Usb0;
        PlugIn(Usb0, stableName);
        state.Dialog.SelectedPort = 1;
        state.Dialog.SelectedBaud = 19200;
        state.Dialog.SelectedParity = QStringLiteral("N");
        state.Dialog.SelectedDataBits = 8;
        state.Dialog.SelectedStopBits = 1;
        controller.Load();
        controller.OpenRequested(state.Dialog);
        controller.Activate();
    }
    bool Waiting() const { return view.TimerRunning(ConsoleTimer::Reconnect); }
    void Unplug()
    {
        port.DeviceFiles.Kinds.clear();
        port.DeviceFiles.Links.clear();
        // The loss's own line is not what these tests are about.
        const QString said = view.InfoText;
        port.Vanish(QStringLiteral("gone"));
        view.ClearInfoText();
        view.InsertInfoText(said);
    }
    void PlugIn(const QString& device = Usb0, bool stableName = true)
    {
        port.DeviceFiles.Kinds[device] = DeviceKind::Device;
        if (stableName)
            port.DeviceFiles.Links[ById] = device;
    }
    // Ticks once a second for the given number of seconds.
    void Wait(int seconds)
    {
        for (int i = 0; i < seconds; ++i) {
            now += 1000;
            if (Waiting())
                controller.ReconnectTick();
        }
    }
};
}

class TestReconnect : public QObject {
    Q_OBJECT
private slots:
    // What the device does while it is awaited, and what the console says:
    // each happening once, however many ticks it lasts. A stray file in the
    // device's place is never opened.
    void DeviceComesBack()
    {
        const QString stray = ById + QStringLiteral(" 자리에 장치가 아닌 파일이 있습니다. 장치를 계속 기다립니다.");
        // busy: what the first tries to open the returned device get.
        const struct { const char* name; bool stable; QString returnsAs; bool busy, stray, resumed; QStringList info; } cases[] = {
            {"same path, no stable name", false, Usb0, false, false, true, {"/dev/ttyUSB0 다시 연결됨 (끊긴 시간 00:01:01)"}},
            {"a stray file first, then renamed", true, Usb1, false, true, true,
             {stray, "/dev/ttyUSB1 다시 연결됨, 전에는 /dev/ttyUSB0 (끊긴 시간 00:01:01)"}},
            {"renamed without a stable name is not ours", false, Usb1, false, false, false, {}},
            {"back but busy: told once, still waiting", true, Usb0, true, false, false,
             {ById + QStringLiteral(" 장치가 돌아왔지만 열 수 없습니다 (locked). 장치를 계속 기다립니다.")}},
        };
        for (const auto& k : cases) {
            Bench b(k.stable);
            b.Unplug();
            QVERIFY2(b.Waiting() && b.view.SendButton == 0, k.name);   // nothing to send to while waiting
            if (k.stray) {
                b.port.DeviceFiles.Kinds[QStringLiteral("/tmp/stray")] = DeviceKind::NotADevice;
                b.port.DeviceFiles.Links[ById] = QStringLiteral("/tmp/stray");
            }
            b.Wait(60);
            b.port.NextOpen = k.busy ? OpenFailure(OpenError::Busy, Usb0, QStringLiteral("locked")) : Outcome();
            b.PlugIn(k.returnsAs, k.stable);
            b.Wait(5);
            QVERIFY2(b.view.Info == k.info, qPrintable(QStringLiteral("%1: %2").arg(k.name, b.view.Info.join('|'))));
            // Resuming is the return from the port dialog: monitoring polls again.
            QVERIFY2(b.port.IsOpen() == k.resumed && b.Waiting() == !k.resumed && b.view.TimerRunning(ConsoleTimer::Poll) == k.resumed, k.name);
        }
    }

    // Only the operator's decisions end the wait: the port dialog pauses it, 닫기 ends it.
    void OperatorDecides()
    {
        for (const bool close : {false, true}) {
            Bench b;
            b.Unplug();
            b.controller.PortDialogShown(true);
            if (close) {
                b.controller.CloseRequested();
                b.controller.PortDialogShown(false);
            }
            QCOMPARE(b.controller.Port() == PortState::Waiting, !close);
            QCOMPARE(b.view.State == PortState::Closed, close);
            b.PlugIn();
            b.controller.ReconnectTick();
            QCOMPARE(b.port.Opens, 1);   // the first open only
        }
    }

    // A resume restarts neither the repeat the loss ended, even with its box
    // still ticked, nor the log until a fresh reply.
    void ResumeStartsAfresh()
    {
        Bench b;
        b.view.Mode = CommandMode::Line;
        b.view.Repeat = true;
        b.controller.SendButtonPressed();
        QVERIFY(b.view.TimerRunning(ConsoleTimer::Repeat));
        b.Unplug();
        QVERIFY(!b.view.TimerRunning(ConsoleTimer::Repeat) && b.controller.RepeatIdle());
        b.view.Repeat = true;
        b.PlugIn();
        b.Wait(1);
        QVERIFY(b.port.IsOpen() && !b.view.TimerRunning(ConsoleTimer::Repeat) && !b.controller.LogMayRecord());
        b.view.Mode = CommandMode::Monitor;
        b.controller.SelectMode(CommandMode::Monitor);
        b.port.Receive("12.345\n1.000\n3.000\n0.300\n");   // a whole dual cycle
        QVERIFY(b.controller.LogMayRecord());
    }
};

QTEST_GUILESS_MAIN(TestReconnect)
#include "test_reconnect.moc"
