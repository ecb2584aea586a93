// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// An adapter pulled and plugged in again, played by the simulated supply: the
// console finds it again by itself, under the same or a new name. What the
// operator's 닫기 does to the wait is the unit test's (test_reconnect).
#include <QDir>
#include <QLineEdit>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "support/ConsoleBench.h"

namespace {
const QString Lost = QStringLiteral("통신포트 연결이 끊어졌습니다");
const QString Back = QStringLiteral("다시 연결됨");

// Lines in every day's log file of the folder: a run may cross midnight.
int LogLines(const QString& folder)
{
    int lines = 0;
    for (const QFileInfo& file : QDir(folder).entryInfoList({QStringLiteral("*_MS.txt")}, QDir::Files)) {
        QFile f(file.filePath());
        if (f.open(QIODevice::ReadOnly))
            lines += f.readAll().count('\n');
    }
    return lines;
}
}

class TestReconnectE2E : public QObject {
    Q_OBJECT
private slots:
    void DualMonitoringResumesAfterEachOfThreeLosses()
    {
        ConsoleBench b({"--vanish-every", "1.5", "--return-after", "0.5", "--no-noise"});
        QVERIFY(b.sim.Ok());
        QTemporaryDir logs;
        b.window.Controller().LogFolder = logs.path();
        QSignalSpy lost(&b.port, &SerialPort::DeviceLost);
        b.OpenThroughTheDialog();
        QVERIFY(b.port.IsOpen());
        FindControl<QRadioButton>(b.window, "OptionDual")->setChecked(true);
        FindControl<QRadioButton>(b.window, "OptionMonitorCmd")->setChecked(true);
        for (int cycle = 1; cycle <= 3; ++cycle) {
            QTRY_COMPARE_WITH_TIMEOUT(lost.size(), cycle, 15000);
            QVERIFY(!FindControl<QTimer>(b.window, "Timer3")->isActive());
            const int logged = LogLines(logs.path());
            QTRY_VERIFY_WITH_TIMEOUT(b.port.IsOpen(), 15000);
            QVERIFY(FindControl<QTimer>(b.window, "Timer3")->isActive());
            QCOMPARE(FindControl<QLabel>(b.window, "LabelComportOpen")->text(), QStringLiteral("열렸음"));
            // Logging goes on: a record is written again after each return.
            QTRY_VERIFY_WITH_TIMEOUT(LogLines(logs.path()) > logged, 15000);
        }
        QCOMPARE(b.Info().count(Lost), 3);
        QCOMPARE(b.Info().count(Back), 3);
    }

    // The adapter comes back as another kernel name; only its stable link,
    // kept by the simulator as udev keeps /dev/serial/by-id, leads to it.
    void RenamedAdapterIsFoundByItsStableName()
    {
        QTemporaryDir devices;
        const QString renamed = devices.filePath(QStringLiteral("ttyUSB1"));
        QVERIFY(QDir(devices.path()).mkdir(QStringLiteral("by-id")));
        const QString stable = devices.filePath(QStringLiteral("by-id/usb-Bench_Supply_A1-if00-port0"));
        qputenv("TARVIO_SERIAL_BY_ID", QFile::encodeName(devices.filePath(QStringLiteral("by-id"))));
        ConsoleBench b({"--vanish-after", "1.0", "--return-after", "0.5", "--return-as", renamed, "--stable-link", stable});
        qunsetenv("TARVIO_SERIAL_BY_ID");
        QVERIFY(b.sim.Ok());
        b.OpenThroughTheDialog();
        QVERIFY(b.port.IsOpen());
        QTRY_VERIFY_WITH_TIMEOUT(!b.port.IsOpen(), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(b.port.IsOpen(), 15000);
        QVERIFY(!QFileInfo::exists(b.sim.Link()));   // the old name is gone for good
        QCOMPARE(b.port.DeviceName(), stable);
        QVERIFY2(b.Info().contains(Back), qPrintable(b.Info()));
        b.Send(QStringLiteral("*IDN?"));
        QTRY_VERIFY(b.Info().contains(QStringLiteral("QPX-")));
    }
};

QTEST_MAIN(TestReconnectE2E)
#include "test_reconnect_e2e.moc"
