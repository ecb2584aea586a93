// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The system's half of the port binding, on the system the test was built
// for: Linux here, Windows under Wine.
#include <QtTest>

#include "platform/System.h"

class TestSystemBinding : public QObject {
    Q_OBJECT
private slots:
    // The environment wins with whatever it names, on every system; without
    // it a port number binds to one of the system's ports, and one that is
    // not there is missing.
    void PortNumberBindsToTheSystemsPort()
    {
        for (const char* chosen : {"COM7", "/tmp/sim-link", "tcp://127.0.0.1:5025"}) {
            qputenv("TARVIO_COM2", chosen);
            QCOMPARE(ResolveSystemDevice(2), QString::fromLatin1(chosen));
        }
        qunsetenv("TARVIO_COM2");
#ifdef Q_OS_WIN
        QCOMPARE(ResolveSystemDevice(2), QStringLiteral("COM2"));
#else
        QVERIFY2(ResolveSystemDevice(2).startsWith(QLatin1String("/dev/")), qPrintable(ResolveSystemDevice(2)));
#endif
        const auto files = MakeSystemDeviceFiles();
        for (const char* absent : {"COM97", "/nonexistent/tarvio-com"})
            QVERIFY2(files->KindOf(QString::fromLatin1(absent)) == DeviceKind::Missing, absent);
        QCOMPARE(files->StableNameFor(QStringLiteral("COM97")), QString());
    }
};

QTEST_APPLESS_MAIN(TestSystemBinding)
#include "test_system_binding.moc"
