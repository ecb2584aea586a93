// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The system's half of the port binding, on the system the test was built
// for: Linux here, Windows under Wine.
#include <QtTest>

#include "platform/System.h"

class TestSystemBinding : public QObject {
    Q_OBJECT
private slots:
    void PortNumberBindsToTheSystemsPort()
    {
        for (int n = 1; n <= 4; ++n)
            qunsetenv(qPrintable(QStringLiteral("TARVIO_COM%1").arg(n)));
        for (int n = 1; n <= 4; ++n) {
            const QString device = ResolveSystemDevice(n);
#ifdef Q_OS_WIN
            QCOMPARE(device, QStringLiteral("COM%1").arg(n));
#else
            QVERIFY2(device.startsWith(QLatin1String("/dev/")), qPrintable(device));
#endif
        }
        // The environment wins with whatever it names, on every system.
        for (const char* chosen : {"COM7", "/tmp/sim-link", "tcp://127.0.0.1:5025"}) {
            qputenv("TARVIO_COM2", chosen);
            QCOMPARE(ResolveSystemDevice(2), QString::fromLatin1(chosen));
        }
        qunsetenv("TARVIO_COM2");
    }

    void RefusalsSayWhatTheOperatorCanDo()
    {
        const struct { const char* detail; OpenError onLinux, onWindows; } cases[] = {
            {"Permission denied", OpenError::PermissionDenied, OpenError::Busy},
            {"Access is denied.", OpenError::PermissionDenied, OpenError::Busy},
            {"Device or resource busy", OpenError::Busy, OpenError::Busy},
            {"The device is locked by another process", OpenError::Busy, OpenError::Busy},
        };
        for (const auto& k : cases) {
#ifdef Q_OS_WIN
            const OpenError expected = k.onWindows;
#else
            const OpenError expected = k.onLinux;
#endif
            QVERIFY2(PermissionErrorKind(QString::fromLatin1(k.detail)) == expected, k.detail);
        }
    }

    void AbsentPortIsMissing()
    {
        const auto files = MakeSystemDeviceFiles();
        for (const char* absent : {"COM97", "/nonexistent/tarvio-com"})
            QVERIFY2(files->KindOf(QString::fromLatin1(absent)) == DeviceKind::Missing, absent);
        QCOMPARE(files->StableNameFor(QStringLiteral("COM97")), QString());
    }
};

QTEST_APPLESS_MAIN(TestSystemBinding)
#include "test_system_binding.moc"
