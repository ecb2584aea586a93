// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>

#include "run/RunOptions.h"

namespace {
// What a command line chose, in one line to compare.
QString Summary(const RunOptions& o)
{
    const QString job = o.Job == RunJob::Pattern ? "pattern" : o.Job == RunJob::Monitor ? "monitor" : "info";
    const QString port = o.PortPath.isEmpty() ? QString("COM%1").arg(o.Choices.SelectedPort) : o.PortPath;
    return QString("%1 %2 %3,%4,%5,%6 flow%7 P%8 x%9 %10 %11 %12ms for%13")
        .arg(job, port)
        .arg(o.Choices.SelectedBaud)
        .arg(o.Choices.SelectedParity)
        .arg(o.Choices.SelectedDataBits)
        .arg(o.Choices.SelectedStopBits)
        .arg(o.Choices.SelectedFlow)
        .arg(o.Output)
        .arg(o.Repeat)
        .arg(o.DualLayout ? "dual" : "single", o.NewModel ? "new" : "old")
        .arg(o.IntervalMs)
        .arg(o.ForMs);
}
}

class TestRunOptions : public QObject {
    Q_OBJECT
private slots:
    void CommandLines_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("expected");   // the summary, or "! " and a part of the error
        const QStringList p{"pattern", "f.txt", "--output", "P1"};
        QTest::newRow("monitor defaults are the console's") << QStringList{"monitor"}
            << "monitor COM1 19200,N,8,1 flow2 P1 x1 single new 500ms for0";
        QTest::newRow("pattern on P2 for ever, old model")
            << QStringList{"pattern", "f.txt", "--output", "p2", "--repeat", "forever", "--model", "old"}
            << "pattern COM1 19200,N,8,1 flow2 P2 x0 single old 500ms for0";
        QTest::newRow("settings as the dialog offers them") << p + QStringList{"--settings", "9600,e,7,2", "--flow", "none"}
            << "pattern COM1 9600,E,7,2 flow0 P1 x1 single new 500ms for0";
        QTest::newRow("COM n and a path") << QStringList{"monitor", "--port", "com3", "--outputs", "2", "--for", "1h30m"}
            << "monitor COM3 19200,N,8,1 flow2 P1 x1 dual new 500ms for5400000";
        QTest::newRow("device path") << QStringList{"monitor", "--port", "/dev/ttyUSB0", "--interval", "60000"}
            << "monitor /dev/ttyUSB0 19200,N,8,1 flow2 P1 x1 single new 60000ms for0";
        QTest::newRow("a baud the dialog lacks") << p + QStringList{"--settings", "14400,N,8,1"} << "! --settings";
        QTest::newRow("COM5") << p + QStringList{"--port", "COM5"} << "! --port takes COM1 to COM4";
        QTest::newRow("repeat 0") << p + QStringList{"--repeat", "0"} << "! --repeat takes 1 to 100";
        QTest::newRow("output P3") << QStringList{"pattern", "f.txt", "--output", "P3"} << "! --output takes P1 or P2";
        QTest::newRow("no job") << QStringList{"--quiet"} << "! name a job";
        QTest::newRow("monitor's option on a pattern") << p + QStringList{"--for", "1h"} << "! --for is for the monitor job";
    }
    void CommandLines()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, expected);
        QString error;
        const std::optional<RunOptions> o = ParseRunOptions(args, &error);
        if (expected.startsWith("! ")) {
            QVERIFY(!o);
            QVERIFY2(error.contains(expected.mid(2)), qPrintable(error));
        } else {
            QVERIFY2(o, qPrintable(error));
            QCOMPARE(Summary(*o), expected);
        }
    }
};

QTEST_GUILESS_MAIN(TestRunOptions)
#include "test_run_options.moc"
