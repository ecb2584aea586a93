// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Waiting for a lost device and resuming on it, with a fake file system and
// a clock the test moves by hand.
#include <QtTest>

#include "console/ConsoleController.h"
#include "console/ProgramState.h"
#include "link/EnumeratedPorts.h"
#include "link/ReconnectWatch.h"
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
        view.Repeat = true;
        view.Command = QStringLiteral("*IDN?");
        port.Device = Usb0;
        port.DeviceFiles.Kinds[Usb0] = DeviceKind::Device;
        if (stableName)
            port.DeviceFiles.Links[ById] = Usb0;
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
    // each happening once, however many ticks it lasts.
    void DeviceComesBack()
    {
        const QString back = QStringLiteral("/dev/ttyUSB0 다시 연결됨 (끊긴 시간 00:01:01)");
        // busy: what the first tries to open the returned device get.
        const struct { const char* name; bool stable; QString returnsAs; bool busy; bool resumed; QStringList info; } cases[] = {
            {"same name", true, Usb0, false, true, {back}},
            {"same path, no stable name", false, Usb0, false, true, {back}},
            {"renamed, found by its stable name", true, Usb1, false, true, {QStringLiteral("/dev/ttyUSB1 다시 연결됨, 전에는 /dev/ttyUSB0 (끊긴 시간 00:01:01)")}},
            {"renamed without a stable name is not ours", false, Usb1, false, false, {}},
            {"back but busy: told once, still waiting", true, Usb0, true, false,
             {QStringLiteral("/dev/serial/by-id/usb-Bench_Adapter_A1-if00-port0 장치가 돌아왔지만 열 수 없습니다 (locked). 장치를 계속 기다립니다.")}},
        };
        for (const auto& k : cases) {
            Bench b(k.stable);
            b.Unplug();
            QVERIFY2(b.view.State == PortState::Waiting && b.Waiting() && !b.view.TimerRunning(ConsoleTimer::Poll), k.name);
            QVERIFY2(b.view.SendButton == 0, k.name);   // nothing to send to while waiting
            b.Wait(60);
            QVERIFY2(b.view.Info.isEmpty(), k.name);   // nothing said while nothing happens

            b.port.NextOpen = k.busy ? OpenFailure(OpenError::Busy, Usb0, QStringLiteral("locked")) : Outcome();
            b.PlugIn(k.returnsAs, k.stable);
            const int writesBefore = b.port.Writes.size();
            b.Wait(5);
            QVERIFY2(b.view.Info == k.info, qPrintable(QStringLiteral("%1: %2").arg(k.name, b.view.Info.join('|'))));
            QVERIFY2(b.port.IsOpen() == k.resumed && b.Waiting() == !k.resumed, k.name);
            QVERIFY2(b.view.State == (k.resumed ? PortState::Open : PortState::Waiting), k.name);
            // Resuming is the return from the port dialog: monitoring polls again.
            QVERIFY2(b.view.TimerRunning(ConsoleTimer::Poll) == k.resumed, k.name);
            QVERIFY2(b.port.Writes.size() == writesBefore, k.name);   // polling writes at its ticks, not here
            QVERIFY2(!(k.resumed && k.stable) || b.port.DeviceName() == ById, k.name);
        }
    }

    // A flapping cable that comes back under alternating names, each time
    // after a stray file stood in its place: every loss starts a new wait,
    // every happening is one line, and nothing but a device is opened.
    void EachLossAndReturnIsOneLine()
    {
        Bench b;
        const QString stray = ById + QStringLiteral(" 자리에 장치가 아닌 파일이 있습니다. 장치를 계속 기다립니다.");
        for (const QString& device : {Usb1, Usb0, Usb1}) {
            b.Unplug();
            b.port.DeviceFiles.Kinds[QStringLiteral("/tmp/stray")] = DeviceKind::NotADevice;
            b.port.DeviceFiles.Links[ById] = QStringLiteral("/tmp/stray");
            b.Wait(2);
            b.PlugIn(device);
            b.Wait(1);
            QVERIFY(b.port.IsOpen());
        }
        QCOMPARE(b.port.Opens, 4);
        QCOMPARE(b.view.Info, (QStringList{stray, QStringLiteral("/dev/ttyUSB1 다시 연결됨, 전에는 /dev/ttyUSB0 (끊긴 시간 00:00:03)"),
                                           stray, QStringLiteral("/dev/ttyUSB0 다시 연결됨, 전에는 /dev/ttyUSB1 (끊긴 시간 00:00:03)"),
                                           stray, QStringLiteral("/dev/ttyUSB1 다시 연결됨, 전에는 /dev/ttyUSB0 (끊긴 시간 00:00:03)")}));
    }

    // Windows has no device files: a port is there while the system lists
    // it, under the one name it keeps for that adapter.
    void ListedPortComesBack()
    {
        const struct { const char* name; const char* opened; QStringList gone, back; bool resumed; } cases[] = {
            {"same name", "COM3", {"COM1"}, {"COM1", "COM3"}, true},
            {"the system's long form", "\\\\.\\COM3", {}, {"COM3"}, true},
            {"any case", "com10", {"COM1"}, {"COM10"}, true},
            {"COM1 is not COM10", "COM1", {"COM10"}, {"COM10", "COM11"}, false},
            {"another port is not ours", "COM3", {}, {"COM4"}, false},
            {"a device server is tried at once", "tcp://127.0.0.1:5025", {}, {}, true},
        };
        for (const auto& k : cases) {
            QStringList listed{QString::fromLatin1(k.opened)};
            const EnumeratedPorts ports([&] { return listed; });
            ReconnectWatch watch(ports);
            watch.Opened(QString::fromLatin1(k.opened));
            listed = k.gone;
            watch.Lost(0);
            const bool network = QByteArray(k.opened).startsWith("tcp:");
            QVERIFY2(watch.Tick().TryOpen == network, k.name);
            listed = k.back;
            QVERIFY2(watch.Tick().TryOpen == k.resumed, k.name);
            QVERIFY2(watch.WatchedPath() == QLatin1String(k.opened), k.name);
            if (k.resumed)
                QCOMPARE(watch.Reopened(61000), QString::fromLatin1(k.opened) + QStringLiteral(" 다시 연결됨 (끊긴 시간 00:01:01)"));
        }
    }

    // Only the operator's decisions end the wait; the dialog pauses it.
    void OperatorDecides()
    {
        // waiting: after the action; reopens: at the next tick, the device being back.
        static const struct { const char* name; const char* action; bool waiting; bool reopens; } cases[] = {
            {"dialog open pauses", "shown", true, false},
            {"cancelled dialog resumes the wait", "cancel", true, true},
            {"닫기 ends it", "close", false, false},
            {"열기 on another port ends it", "open", false, false},
            {"switched off before the loss", "off", false, false},
        };
        for (const auto& k : cases) {
            const QLatin1String action(k.action);
            Bench b;
            b.state.Dialog.AutoReconnect = action != QLatin1String("off");
            b.Unplug();
            b.controller.PortDialogShown(true);
            if (action == QLatin1String("close"))
                b.controller.CloseRequested();
            if (action == QLatin1String("open")) {
                CommInitChoices other = b.state.Dialog;
                other.SelectedPort = 2;
                b.controller.OpenRequested(other);
            }
            if (action != QLatin1String("shown"))
                b.controller.PortDialogShown(false);
            QVERIFY2((b.controller.Port() == PortState::Waiting) == k.waiting, k.name);
            QVERIFY2(action != QLatin1String("close") || b.view.State == PortState::Closed, k.name);

            b.PlugIn();
            const int opens = b.port.Opens;
            b.controller.ReconnectTick();
            QVERIFY2(b.port.Opens == opens + (k.reopens ? 1 : 0), k.name);
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
        QVERIFY(!b.view.TimerRunning(ConsoleTimer::Repeat));
        QVERIFY(b.controller.RepeatIdle());
        b.view.Repeat = true;
        b.PlugIn();
        b.Wait(1);
        QVERIFY(b.port.IsOpen());
        QVERIFY(!b.view.TimerRunning(ConsoleTimer::Repeat));
        QVERIFY(!b.controller.LogMayRecord());
        b.view.Mode = CommandMode::Monitor;
        b.controller.SelectMode(CommandMode::Monitor);
        b.port.Receive("12.345\n1.000\n3.000\n0.300\n");   // a whole dual cycle
        QVERIFY(b.controller.LogMayRecord());
    }

    void Durations()
    {
        static const struct { qint64 ms; const char* text; } cases[] = {
            {999, "00:00:00"}, {192000, "00:03:12"}, {90061000, "25:01:01"}, {-5000, "00:00:00"}};   // the last: a clock that went back
        for (const auto& k : cases)
            QCOMPARE(FormatDuration(k.ms), QLatin1String(k.text));
    }
};

QTEST_GUILESS_MAIN(TestReconnect)
#include "test_reconnect.moc"
