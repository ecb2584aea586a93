// Waiting for a lost device and resuming on it, with a fake file system and
// a clock the test moves by hand.
#include <QtTest>

#include "console/ConsoleController.h"
#include "console/ProgramState.h"
#include "link/ReconnectWatch.h"
#include "support/FakeSerialPort.h"

namespace {
const QString Usb0 = QStringLiteral("/dev/ttyUSB0");
const QString Usb1 = QStringLiteral("/dev/ttyUSB1");
const QString ById = QStringLiteral("/dev/serial/by-id/usb-Bench_Adapter_A1-if00-port0");

// Only what the reconnection touches; everything else is ignored.
struct View : ConsoleView {
    CommandMode Mode = CommandMode::Monitor;
    PortLabel Label = PortLabel::Open;
    QStringList Info;
    bool ReconnectRunning = false, PollRunning = false, RepeatRunning = false;
    int SendButton = -1;

    CommandMode SelectedMode() const override { return Mode; }
    bool SingleLayoutSelected() const override { return false; }
    bool NewModelSelected() const override { return true; }
    bool RepeatChecked() const override { return true; }
    QString CommandText() const override { return QStringLiteral("*IDN?"); }
    QString MonitorIntervalText() const override { return QStringLiteral("500"); }
    int RepeatSpinnerValue() const override { return 50; }
    int MonitorSpinnerValue() const override { return 500; }
    void EnableModeGroup(bool) override {}
    void EnableModelGroup(bool) override {}
    void EnablePortButton(bool) override {}
    void EnableSendButton(bool on) override { SendButton = on; }
    void EnableComposer(bool) override {}
    void ShowRepeatRunning(bool) override {}
    void LightSendLamp() override {}
    void ShowPortStatus(const QString&) override {}
    void ShowPortLabel(PortLabel label) override { Label = label; }
    void InsertInfoLine(const QString& line) override { Info << line; }
    void OpenPatternWindow() override {}
    void SetTimerInterval(ConsoleTimer, int) override {}
    int TimerInterval(ConsoleTimer) const override { return 50; }
    bool* Flag(ConsoleTimer t)
    {
        return t == ConsoleTimer::Reconnect ? &ReconnectRunning
               : t == ConsoleTimer::Poll    ? &PollRunning
               : t == ConsoleTimer::Repeat  ? &RepeatRunning
                                            : nullptr;
    }
    void StartTimer(ConsoleTimer t) override
    {
        if (bool* f = Flag(t))
            *f = true;
    }
    void StopTimer(ConsoleTimer t) override
    {
        if (bool* f = Flag(t))
            *f = false;
    }
    bool TimerRunning(ConsoleTimer t) const override { return const_cast<View*>(this)->Flag(t) && *const_cast<View*>(this)->Flag(t); }
};

// The console monitoring /dev/ttyUSB0 (COM 1), which has a stable name.
struct Bench {
    ProgramState state;
    FakeSerialPort port;
    View view;
    ConsoleController controller{state, port, view};
    qint64 now = 1000000;

    explicit Bench(bool stableName = true)
    {
        port.Device = Usb0;
        port.DeviceFiles.Kinds[Usb0] = DeviceKind::Device;
        if (stableName)
            port.DeviceFiles.Links[ById] = Usb0;
        controller.Clock = [this] { return now; };
        controller.Load();
        port.Open();
        controller.PortOpenedByOperator();
        controller.Activate();
    }
    void Unplug(qint64 afterMs = 0)
    {
        now += afterMs;
        port.DeviceFiles.Kinds.remove(Usb0);
        port.DeviceFiles.Links.remove(ById);
        port.Vanish(QStringLiteral("gone"));
        controller.PortLost();
    }
    // Ticks once a second for the given number of seconds.
    void Wait(int seconds)
    {
        for (int i = 0; i < seconds; ++i) {
            now += 1000;
            if (view.ReconnectRunning)
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
    void DeviceComesBack_data()
    {
        QTest::addColumn<bool>("stable");
        QTest::addColumn<QString>("returnsAs");    // the kernel name it comes back under; empty: never
        QTest::addColumn<int>("openError");        // OpenError of the first tries
        QTest::addColumn<bool>("resumed");
        QTest::addColumn<QStringList>("info");
        const QString back = QStringLiteral("/dev/ttyUSB0 다시 연결됨 (끊긴 시간 00:01:01)");
        QTest::newRow("same name") << true << Usb0 << 0 << true << QStringList{back};
        QTest::newRow("same path, no stable name") << false << Usb0 << 0 << true << QStringList{back};
        QTest::newRow("renamed, found by its stable name")
            << true << Usb1 << 0 << true
            << QStringList{QStringLiteral("/dev/ttyUSB1 다시 연결됨, 전에는 /dev/ttyUSB0 (끊긴 시간 00:01:01)")};
        QTest::newRow("renamed without a stable name is not ours") << false << Usb1 << 0 << false << QStringList{};
        QTest::newRow("back but busy: told once, still waiting")
            << true << Usb0 << int(OpenError::Busy) << false
            << QStringList{QStringLiteral("/dev/serial/by-id/usb-Bench_Adapter_A1-if00-port0 장치가 돌아왔지만 열 수 없습니다 (locked). 장치를 계속 기다립니다.")};
    }
    void DeviceComesBack()
    {
        QFETCH(bool, stable);
        QFETCH(QString, returnsAs);
        QFETCH(int, openError);
        QFETCH(bool, resumed);
        Bench b(stable);
        b.Unplug();
        QCOMPARE(b.view.Label, PortLabel::Waiting);
        QVERIFY(b.view.ReconnectRunning);
        QVERIFY(!b.view.PollRunning);
        b.Wait(60);
        QVERIFY(b.view.Info.isEmpty());   // nothing said while nothing happens

        b.port.NextOpen = OpenResult{OpenError(openError), QString(), QStringLiteral("locked")};
        b.port.DeviceFiles.Kinds[returnsAs] = DeviceKind::Device;
        if (stable)
            b.port.DeviceFiles.Links[ById] = returnsAs;
        const int writesBefore = b.port.Writes.size();
        b.Wait(5);
        QTEST(b.view.Info, "info");
        QTEST(b.port.IsOpen(), "resumed");
        QCOMPARE(b.view.ReconnectRunning, !resumed);
        QCOMPARE(b.view.Label, resumed ? PortLabel::Open : PortLabel::Waiting);
        // Resuming is the return from the port dialog: monitoring polls again.
        QCOMPARE(b.view.PollRunning, resumed);
        QCOMPARE(b.view.SendButton, int(resumed));
        QCOMPARE(b.port.Writes.size(), writesBefore);   // polling writes at its ticks, not here
        if (resumed && stable)
            QCOMPARE(b.port.DeviceName(), ById);
    }

    void NotADeviceIsNeverOpened()
    {
        Bench b(false);
        b.Unplug();
        b.port.DeviceFiles.Kinds[Usb0] = DeviceKind::NotADevice;
        b.Wait(5);
        QCOMPARE(b.port.Opens, 1);
        QCOMPARE(b.view.Info.size(), 1);
        QVERIFY(b.view.Info[0].contains(QStringLiteral("장치가 아닌 파일")));
        b.port.DeviceFiles.Kinds[Usb0] = DeviceKind::Device;
        b.Wait(1);
        QVERIFY(b.port.IsOpen());
    }

    // A flapping cable: every loss starts a new wait and every return is one line.
    void EachLossAndReturnIsOneLine()
    {
        Bench b;
        for (int cycle = 0; cycle < 3; ++cycle) {
            b.Unplug();
            b.Wait(2);
            b.port.DeviceFiles.Kinds[Usb0] = DeviceKind::Device;
            b.port.DeviceFiles.Links[ById] = Usb0;
            b.Wait(1);
            QVERIFY(b.port.IsOpen());
        }
        QCOMPARE(b.view.Info.size(), 3);
        QCOMPARE(b.view.Info.last(), QStringLiteral("/dev/ttyUSB0 다시 연결됨 (끊긴 시간 00:00:03)"));
    }

    // Only the operator's decisions end the wait; the dialog pauses it.
    void OperatorDecides_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("waiting");    // after the action
        QTest::addColumn<bool>("reopens");    // at the next tick, the device being back
        QTest::newRow("dialog open pauses") << "shown" << true << false;
        QTest::newRow("cancelled dialog resumes the wait") << "cancel" << true << true;
        QTest::newRow("닫기 ends it") << "close" << false << false;
        QTest::newRow("열기 on another port ends it") << "open" << false << false;
        QTest::newRow("switched off before the loss") << "off" << false << false;
    }
    void OperatorDecides()
    {
        QFETCH(QString, action);
        Bench b;
        b.state.Dialog.AutoReconnect = action != QLatin1String("off");
        b.Unplug();
        b.controller.PortDialogShown(true);
        if (action == QLatin1String("close"))
            b.controller.PortClosedByOperator();
        if (action == QLatin1String("open")) {
            b.port.SetPortNumber(2);
            b.port.Open();
            b.controller.PortOpenedByOperator();
        }
        if (action != QLatin1String("shown"))
            b.controller.PortDialogShown(false);
        QTEST(b.controller.WaitingForDevice(), "waiting");
        if (action == QLatin1String("close"))
            QCOMPARE(b.view.Label, PortLabel::Closed);

        b.port.DeviceFiles.Kinds[Usb0] = DeviceKind::Device;
        b.port.DeviceFiles.Links[ById] = Usb0;
        const int opens = b.port.Opens;
        b.controller.ReconnectTick();
        QFETCH(bool, reopens);
        QCOMPARE(b.port.Opens, opens + (reopens ? 1 : 0));
    }

    void RepeatEndsWithTheLostPort()
    {
        Bench b;
        b.view.Mode = CommandMode::Line;
        b.controller.SendButtonPressed();
        QVERIFY(b.view.RepeatRunning);
        b.Unplug();
        QVERIFY(!b.view.RepeatRunning);
        QCOMPARE(b.state.RepeatIdle, -1);
        b.port.DeviceFiles.Kinds[Usb0] = DeviceKind::Device;
        b.port.DeviceFiles.Links[ById] = Usb0;
        b.Wait(1);
        QVERIFY(b.port.IsOpen());
        QVERIFY(!b.view.RepeatRunning);
    }

    void LogWaitsForAFreshReplyAfterAResume()
    {
        Bench b;
        QVERIFY(b.controller.LogMayRecord());
        b.Unplug();
        b.port.DeviceFiles.Kinds[Usb0] = DeviceKind::Device;
        b.port.DeviceFiles.Links[ById] = Usb0;
        b.Wait(1);
        QVERIFY(b.port.IsOpen());
        QVERIFY(!b.controller.LogMayRecord());
        b.controller.ReadoutArrived();
        QVERIFY(b.controller.LogMayRecord());
    }

    void Durations_data()
    {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QString>("text");
        QTest::newRow("under a second") << qint64(999) << "00:00:00";
        QTest::newRow("minutes and seconds") << qint64(192000) << "00:03:12";
        QTest::newRow("past a day") << qint64(90061000) << "25:01:01";
        QTest::newRow("a clock that went back") << qint64(-5000) << "00:00:00";
    }
    void Durations()
    {
        QFETCH(qint64, ms);
        QTEST(FormatDuration(ms), "text");
    }
};

QTEST_GUILESS_MAIN(TestReconnect)
#include "test_reconnect.moc"
