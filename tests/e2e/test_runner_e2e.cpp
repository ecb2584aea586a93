// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// tarvio-run as a script runs it, on the simulated supply: the bytes of the
// pattern window, the console's log files, and an exit code for each outcome.
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <csignal>

#include "pattern/PatternFile.h"
#include "plot/LogReader.h"
#include "pattern/PatternState.h"
#include "pattern/frmPattern.h"
#include "platform/Controls.h"
#include "platform/QtSerialDevice.h"
#include "support/Fakes.h"
#include "support/Ser2Net.h"
#include "support/SimProcess.h"

namespace {
constexpr int RunMs = 60000;
const QString Runner = QStringLiteral(TARVIO_RUN_PATH);

// A terminal with no display; the ports the runner is told of are the only ones it finds.
QProcessEnvironment Headless(const QString& com1 = QStringLiteral("/nonexistent/tarvio-com1"))
{
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        e.remove(QString::fromLatin1(name));
    e.insert(QStringLiteral("TARVIO_COM1"), com1);
    return e;
}

struct Run {
    int exitCode = -1;
    QString errors;
};

Run RunToEnd(const QStringList& args, const QProcessEnvironment& env = Headless())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(Runner, args);
    Run r;
    if (!p.waitForFinished(RunMs) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.exitCode = p.exitCode();
    r.errors = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

QString Write(const QTemporaryDir& dir, const char* name, const QByteArray& bytes)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return QString();
    return path;
}

// Lines of every log file in the folder, in name order: a run may cross midnight.
QList<QByteArray> LogLines(const QString& folder)
{
    QList<QByteArray> lines;
    for (const QFileInfo& file : QDir(folder).entryInfoList({QStringLiteral("*_MS.txt")}, QDir::Files, QDir::Name)) {
        QFile f(file.filePath());
        if (f.open(QIODevice::ReadOnly))
            for (const QByteArray& line : f.readAll().split('\n'))
                if (!line.isEmpty())
                    lines << line;
    }
    return lines;
}

// Each command with its terminator, as the supply received it.
QStringList Received(const SimProcess& sim)
{
    QStringList commands;
    for (const QString& line : sim.RecordText().split(QLatin1Char('\n'))) {
        const QString kind = line.section(QLatin1Char('\t'), 1, 1);
        if (kind == QLatin1String("LF") || kind == QLatin1String("CR"))
            commands << kind + QLatin1Char(' ') + line.section(QLatin1Char('\t'), 2);
    }
    return commands;
}
}

class TestRunnerE2E : public QObject {
    Q_OBJECT
private slots:
    void PatternBytesAreThePatternWindows();
    void ExitCodes_data();
    void ExitCodes();
    void MonitorRecordsReadBackAsTheConsolesLog();
    void LostRecordsEndWithOne();
    void SilentSupplyLeavesAGapAndALine();
    void MonitoringResumesAfterAnUnpluggedAdapter();
    void SignalStopsSendingAndSwitchesOff_data();
    void SignalStopsSendingAndSwitchesOff();
};

void TestRunnerE2E::PatternBytesAreThePatternWindows()
{
    // Equal times go out on consecutive ticks; the last step is held one tick.
    const QList<PatternStep> steps{{"0.000", "5.000", "1.000"},
                                   {"0.300", "12.500", "0.250"},
                                   {"0.300", "0.500", "2.000"},
                                   {"0.600", "0.000", "0.000"}};
    const int repeats = 2;
    SimProcess windowSim, runnerSim;
    QVERIFY(windowSim.Ok() && runnerSim.Ok());

    PatternState state;
    FakeServices services;
    QTemporaryDir dir;
    QtSerialDevice device([&windowSim](int) { return windowSim.Link(); });
    frmPattern window(state, device, services, false);
    QVERIFY(device.Open().Ok());
    FindControl<QLineEdit>(window, "TextReDo")->setText(QString::number(repeats));
    window.TextReDo_KeyPress();
    for (int i = 0; i < steps.size(); ++i)
        window.Table().SetStep(i + 1, steps.at(i));
    window.ShowTable();
    window.CmdRunP2_Click();
    const int expected = int(steps.size()) * repeats;
    QTRY_COMPARE_WITH_TIMEOUT(Received(windowSim).size(), expected, 20000);

    const QString file = dir.filePath(QStringLiteral("pattern.txt"));
    QVERIFY(SavePattern(file, window.Table()).Ok());
    // COM 1 bound as the console binds it.
    const Run r = RunToEnd({"pattern", file, "--output", "P2", "--repeat", QString::number(repeats), "--quiet"},
                           Headless(runnerSim.Link()));
    QVERIFY2(r.exitCode == 0, qPrintable(r.errors));
    QCOMPARE(r.errors, QString());
    QTRY_COMPARE_WITH_TIMEOUT(Received(runnerSim).size(), expected, 5000);
    QCOMPARE(Received(runnerSim), Received(windowSim));
    QCOMPARE(Received(runnerSim).first(), QStringLiteral("CR APPL P2,5,1"));
}

void TestRunnerE2E::ExitCodes_data()
{
    QTest::addColumn<QByteArray>("pattern");   // written to a file for {file}
    QTest::addColumn<QStringList>("simArgs");  // no simulator when empty
    QTest::addColumn<QStringList>("args");     // {file}, {port} replaced
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("errors");       // a pattern stderr must contain
    QTest::addColumn<int>("commands");         // received by the supply; -1 any

    const QByteArray two = "0,5,1\r\n0.1,6,1\r\n";
    const QStringList sim{"--no-noise"};
    QTest::newRow("help with no display and no port") << two << QStringList() << QStringList{"--help"} << 0
                                                     << "" << -1;
    QTest::newRow("pattern played to its end") << two << sim << QStringList{"pattern", "{file}", "--output", "P1", "--port", "{port}"}
                                               << 0 << "" << 2;
    QTest::newRow("monitoring for its duration") << two << sim << QStringList{"monitor", "--for", "1s", "--port", "{port}"}
                                                 << 0 << "" << -1;
    QTest::newRow("unknown option") << two << QStringList() << QStringList{"pattern", "{file}", "--output", "P1", "--fast"}
                                    << 2 << "Unknown option 'fast'" << -1;
    QTest::newRow("option of the other job") << two << QStringList() << QStringList{"monitor", "--repeat", "2"}
                                             << 2 << "--repeat is for the pattern job" << -1;
    QTest::newRow("bad field sends nothing") << QByteArray("0,5,1\r\n1,x,1\r\n") << sim
                                             << QStringList{"pattern", "{file}", "--output", "P1", "--port", "{port}"}
                                             << 2 << "2번째 단계의 전압 값이 숫자가 아닙니다" << 0;
    QTest::newRow("empty pattern") << QByteArray() << sim << QStringList{"pattern", "{file}", "--output", "P1", "--port", "{port}"}
                                   << 2 << "holds no step" << 0;
    QTest::newRow("unwritable log folder") << two << sim
                                           << QStringList{"monitor", "--log-folder", "/nonexistent/logs", "--port", "{port}"}
                                           << 2 << "/nonexistent/logs does not exist" << 0;
    QTest::newRow("measured run not yet here") << two << sim
                                               << QStringList{"pattern", "{file}", "--output", "P1", "--measure", "500", "--port", "{port}"}
                                               << 2 << "not available" << 0;
    QTest::newRow("port missing") << two << QStringList() << QStringList{"pattern", "{file}", "--output", "P1"}
                                  << 3 << "/nonexistent/tarvio-com1" << -1;
    // {tcp} and {rfc2217}: the simulator behind ser2net.
    for (const char* scheme : {"tcp", "rfc2217"})
        QTest::addRow("pattern over %s", scheme) << two << sim
            << QStringList{"pattern", "{file}", "--output", "P1", "--repeat", "2", "--port", QStringLiteral("{%1}").arg(scheme)}
            << 0 << "" << 4;
    QTest::newRow("device server not there") << two << QStringList() << QStringList{"monitor", "--port", "rfc2217://127.0.0.1:1"}
                                             << 3 << "rfc2217://127.0.0.1:1 연결이 거부되었습니다" << -1;
    QTest::newRow("port lost under a pattern")
        << two << QStringList{"--vanish-after", "1"}
        << QStringList{"pattern", "{file}", "--output", "P1", "--repeat", "forever", "--port", "{port}"} << 4
        << "출력 패턴은 자동으로 다시 시작하지 않습니다" << -1;
}

void TestRunnerE2E::ExitCodes()
{
    QFETCH(QByteArray, pattern);
    QFETCH(QStringList, simArgs);
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, errors);
    QFETCH(int, commands);

    QTemporaryDir dir;
    const QString file = Write(dir, "pattern.txt", pattern);
    std::unique_ptr<SimProcess> sim;
    if (!simArgs.isEmpty()) {
        sim = std::make_unique<SimProcess>(simArgs);
        QVERIFY(sim->Ok());
    }
    std::unique_ptr<Ser2Net> server;
    const bool raw = args.contains(QLatin1String("{tcp}"));
    if (raw || args.contains(QLatin1String("{rfc2217}"))) {
        server = std::make_unique<Ser2Net>(sim->Link(), raw ? Ser2Net::Mode::Raw : Ser2Net::Mode::Rfc2217);
        QVERIFY2(server->Start(), qPrintable(server->Output()));
    }
    const QString address = QStringLiteral("127.0.0.1:%1").arg(server ? server->Port() : 0);
    for (QString& a : args)
        a.replace(QLatin1String("{file}"), file).replace(QLatin1String("{port}"), sim ? sim->Link() : QString())
            .replace(QLatin1String("{tcp}"), "tcp://" + address).replace(QLatin1String("{rfc2217}"), "rfc2217://" + address);
    const Run r = RunToEnd(args);
    QVERIFY2(r.exitCode == exitCode, qPrintable(QString("exit %1: %2").arg(r.exitCode).arg(r.errors)));
    QVERIFY2(r.errors.contains(errors), qPrintable(r.errors));
    if (commands > 0)
        QTRY_COMPARE_WITH_TIMEOUT(Received(*sim).size(), commands, 5000);
    else if (commands == 0)
        QCOMPARE(Received(*sim).size(), 0);
}

void TestRunnerE2E::MonitorRecordsReadBackAsTheConsolesLog()
{
    SimProcess sim({"--demo", "--no-noise"});
    QVERIFY(sim.Ok());
    QTemporaryDir logs;
    const Run r = RunToEnd({"monitor", "--outputs", "2", "--model", "old", "--for", "3s", "--log-folder", logs.path(),
                            "--port", sim.Link()});
    QVERIFY2(r.exitCode == 0, qPrintable(r.errors));
    // Not a terminal: one closing line, no status line.
    QVERIFY2(!r.errors.contains(QLatin1Char('\r')) && r.errors.count(QLatin1Char('\n')) == 1, qPrintable(r.errors));
    const QList<QByteArray> lines = LogLines(logs.path());
    QVERIFY2(lines.size() >= 4 && lines.size() <= 6, qPrintable(QString::number(lines.size())));
    for (const QByteArray& line : lines) {
        const std::optional<LogRecord> record = ReadLogRecord(QByteArrayView(line).chopped(line.endsWith('\r') ? 1 : 0));
        QVERIFY2(record && record->Dual, line.constData());
        QVERIFY2(qAbs(*record->Values[0] - 5.0) < 0.01 && qAbs(*record->Values[2] - 12.0) < 0.01, line.constData());
    }
    QCOMPARE(sim.Commands().first(), QStringLiteral("MEAS:VOLT? P1"));
    QVERIFY(!sim.Commands().contains(QStringLiteral("OUTP:STAT OFF")));
}

void TestRunnerE2E::LostRecordsEndWithOne()
{
    SimProcess sim({"--no-noise"});
    QVERIFY(sim.Ok());
    QTemporaryDir top;
    const QString logs = top.filePath(QStringLiteral("logs"));
    QVERIFY(QDir().mkpath(logs));
    QProcess p;
    p.setProcessEnvironment(Headless());
    p.start(Runner, {"monitor", "--for", "4s", "--log-folder", logs, "--port", sim.Link()});
    QTRY_VERIFY_WITH_TIMEOUT(!LogLines(logs).isEmpty(), 15000);
    // The folder goes away under the run: monitoring goes on, the records are lost.
    QVERIFY(QDir(logs).removeRecursively());
    QVERIFY(p.waitForFinished(RunMs));
    const QString errors = QString::fromLocal8Bit(p.readAllStandardError());
    QVERIFY2(p.exitCode() == 1, qPrintable(errors));
    QVERIFY2(errors.contains(QStringLiteral("측정 기록을 저장할 수 없습니다")), qPrintable(errors));
}

void TestRunnerE2E::SilentSupplyLeavesAGapAndALine()
{
    SimProcess sim({"--silent-after", "1", "--silent-for", "4", "--no-noise"});
    QVERIFY(sim.Ok());
    QTemporaryDir logs;
    const Run r = RunToEnd({"monitor", "--for", "7s", "--log-folder", logs.path(), "--port", sim.Link(), "--quiet"});
    QVERIFY2(r.exitCode == 0, qPrintable(r.errors));
    QCOMPARE(r.errors.count(QStringLiteral("has not answered")), 1);
    QCOMPARE(r.errors.count(QStringLiteral("answers again")), 1);
    // No record repeats values the supply stopped sending.
    qint64 widest = 0, last = -1;
    for (const QByteArray& line : LogLines(logs.path())) {
        const std::optional<LogRecord> record = ReadLogRecord(QByteArrayView(line).chopped(1));
        QVERIFY2(record, line.constData());
        const qint64 at = QDateTime(record->Date, record->Time).toSecsSinceEpoch();
        if (last >= 0)
            widest = std::max(widest, at - last);
        last = at;
    }
    QVERIFY2(widest >= 3, qPrintable(QString::number(widest)));
}

void TestRunnerE2E::MonitoringResumesAfterAnUnpluggedAdapter()
{
    SimProcess sim({"--vanish-after", "1", "--return-after", "0.5", "--no-noise"});
    QVERIFY(sim.Ok());
    QTemporaryDir logs;
    QProcess p;
    p.setProcessEnvironment(Headless());
    p.start(Runner, {"monitor", "--log-folder", logs.path(), "--port", sim.Link()});
    QByteArray errors;
    QTRY_VERIFY_WITH_TIMEOUT((errors += p.readAllStandardError()).contains("다시 연결됨"), 20000);
    QVERIFY(errors.contains("통신포트 연결이 끊어졌습니다"));
    const int before = int(LogLines(logs.path()).size());
    QTRY_VERIFY_WITH_TIMEOUT(LogLines(logs.path()).size() > before, 15000);
    ::kill(pid_t(p.processId()), SIGTERM);
    QVERIFY(p.waitForFinished(RunMs));
    QCOMPARE(p.exitCode(), 130);
}

void TestRunnerE2E::SignalStopsSendingAndSwitchesOff_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("first");   // a command that shows the job is under way
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGINT under monitoring") << QStringList{"monitor", "--off-on-stop"} << "MEAS:VOLTA? P1" << SIGINT;
    QTest::newRow("SIGTERM under an endless pattern")
        << QStringList{"pattern", "{file}", "--output", "P1", "--repeat", "forever", "--off-on-stop"} << "APPL P1,6,1"
        << SIGTERM;
    QTest::newRow("SIGINT without --off-on-stop")
        << QStringList{"pattern", "{file}", "--output", "P1", "--repeat", "forever"} << "APPL P1,6,1" << SIGINT;
}

void TestRunnerE2E::SignalStopsSendingAndSwitchesOff()
{
    QFETCH(QStringList, args);
    QFETCH(QString, first);
    QFETCH(int, signalNumber);
    SimProcess sim({"--no-noise"});
    QVERIFY(sim.Ok());
    QTemporaryDir dir;
    const QString file = Write(dir, "pattern.txt", "0,5,1\r\n0.1,6,1\r\n");
    for (QString& a : args)
        a.replace(QLatin1String("{file}"), file);
    QProcess p;
    p.setProcessEnvironment(Headless());
    p.start(Runner, args + QStringList{"--port", sim.Link(), "--quiet"});
    QTRY_VERIFY_WITH_TIMEOUT(sim.Commands().contains(first), 15000);
    ::kill(pid_t(p.processId()), signalNumber);
    QVERIFY(p.waitForFinished(RunMs));
    QCOMPARE(p.exitCode(), 130);
    const bool off = args.contains(QStringLiteral("--off-on-stop"));
    if (off)
        QTRY_VERIFY_WITH_TIMEOUT(sim.Commands().contains(QStringLiteral("OUTP:STAT OFF")), 5000);
    const QStringList sent = sim.Commands();
    // Nothing after the switch-off: sending stopped at the signal.
    QCOMPARE(sent.last() == QStringLiteral("OUTP:STAT OFF"), off);
    QCOMPARE(sent.count(QStringLiteral("OUTP:STAT OFF")), off ? 1 : 0);
    QVERIFY(QString::fromLocal8Bit(p.readAllStandardError()).contains(QStringLiteral("stopping")));
}

QTEST_MAIN(TestRunnerE2E)
#include "test_runner_e2e.moc"
