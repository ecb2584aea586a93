// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// tarvio-run as a script runs it, on the simulated supply: the bytes at the
// supply, the console's log files, and an exit code for each outcome; and the
// information options of all three programs, on a terminal with no display.
#include <QDir>
#include <QtTest>
#include <csignal>

#include "plot/LogReader.h"
#include "support/SimProcess.h"

namespace {
constexpr int RunMs = 60000;
const QString Off = QStringLiteral("LF OUTP:STAT OFF");
const QString Nothing = QStringLiteral("\\A\\z");

QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}

class TestRunnerE2E : public QObject {
    Q_OBJECT
private slots:
    void ExitCodes_data();
    void ExitCodes();
};

void TestRunnerE2E::ExitCodes_data()
{
    QTest::addColumn<QByteArray>("pattern");   // written to {file}
    QTest::addColumn<QStringList>("simArgs");  // COM 1 as the console binds it; no simulator when empty
    QTest::addColumn<QStringList>("args");     // {file} and {dir} filled in
    QTest::addColumn<int>("signalNumber");     // sent once the supply received `after`
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("errors");       // a pattern stderr must match
    QTest::addColumn<QStringList>("sent");     // the supply's commands in full; after a leading "*", its last ones
    QTest::addColumn<QString>("report");       // a pattern the only report in {dir} matches; empty: no report
    QTest::addColumn<QList<int>>("records");   // in {dir}: at least, at most, the widest gap in seconds at least
    QTest::addColumn<QString>("output");       // a pattern stdout must match

    // A second apart: a measuring batch needs a tick with no step in it or due next.
    const QByteArray slow = "0,5,1\r\n1,6,1\r\n";
    const QStringList sim{"--no-noise"}, demo{"--demo", "--no-noise"}, any{"*"}, off{"*", Off};
    const QStringList p1{"pattern", "{file}", "--output", "P1"};
    const QStringList onePass{"CR APPL P1,5,1", "CR APPL P1,6,1"};
    const QStringList endless = p1 + QStringList{"--repeat", "forever", "--quiet"};
    const QStringList logs{"--log-folder", "{dir}"};
    auto row = [&](const char* name, const QStringList& simArgs, const QStringList& args, int exit, const QString& errors,
                   const QStringList& sent, const QString& report = QString(), const QList<int>& records = {},
                   const QByteArray& pattern = "0,5,1\r\n0.1,6,1\r\n") {
        QTest::newRow(name) << pattern << simArgs << args << 0 << QString() << exit << errors << sent << report << records << "";
    };
    // The programs' information options answer and exit before any window is made.
    auto info = [&](const char* name, const QStringList& args, int exit, const QString& output, const QString& errors) {
        QTest::newRow(name) << QByteArray() << QStringList() << args << 0 << QString() << exit << errors << QStringList()
                            << QString() << QList<int>() << output;
    };
    const QString version = QRegularExpression::escape(QStringLiteral(TARVIO_VERSION));
    const QString help = "^Usage: tarvio \\[options\\]\n(.|\n)*TARVIO_COM1(.|\n)*-v, --version";
    info("tarvio --version", {"{tarvio}", "--version"}, 0, "^tarvio " + version + "\n$", Nothing);
    info("tarvio -h among Qt's options", {"{tarvio}", "-style", "fusion", "-h"}, 0, help, Nothing);
    // Qt's own option must reach Qt whole, not as -r -e -v... meaning --version.
    info("Qt's -reverse is not -v", {"{tarvio}", "-reverse"}, 2, Nothing, "^tarvio: no display found");
    info("tarvio-sim --version=1", {"{tarvio-sim}", "--version=1"}, 2, Nothing,
         "^tarvio-sim: --version takes no value \\(see tarvio-sim --help\\)\n$");
    // Equal times go out on consecutive ticks; the last step is held one tick.
    const QStringList window{"CR APPL P2,5,1", "CR APPL P2,12.5,0.25", "CR APPL P2,0.5,2", "CR APPL P2,0,0"};
    row("pattern as the window plays it", sim, {"pattern", "{file}", "--output", "P2", "--repeat", "2", "--quiet"}, 0, Nothing,
        window + window, {}, {}, "0,5,1\r\n0.3,12.5,0.25\r\n0.3,0.5,2\r\n0.6,0,0\r\n");
    // Off a terminal: one line per repetition, and nothing else.
    row("progress off a terminal", sim, p1 + QStringList{"--repeat", "2"}, 0,
        "^repetition 1/2  step 2/2  00:00:0[^\r\n]*  6 V  1.5 A\nrepetition 2/2  step 2/2  00:00:0[^\r\n]*  6 V  1.5 A\n$",
        {"CR APPL P1,5,1", "CR APPL P1,6,1.5", "CR APPL P1,5,1", "CR APPL P1,6,1.5"}, {}, {}, "0,5,1\r\n0.2,6,1.5\r\n");
    info("help with no display and no port", {"--help"}, 0, "^Usage: tarvio-run pattern FILE", Nothing);
    // The demonstration supply: P1 at 5 V, P2 at 12 V. Not a terminal: one closing line, no status line.
    row("monitor records read back as the console's log", demo,
        QStringList{"monitor", "--outputs", "2", "--model", "old", "--for", "3s"} + logs, 0, "^[^\r\n]*\n$", any, {}, {4, 6, 0});
    // The console's own lines, once each; no record repeats values the supply stopped sending.
    row("a silent supply is a gap in the log", {"--silent-after", "1", "--silent-for", "4", "--no-noise"},
        QStringList{"monitor", "--for", "7s", "--quiet"} + logs, 0,
        "^응답 없음 \\(마지막 응답 [^\n]*\n응답 다시 받음 \\(끊긴 시간 [^\n]*\n(?!(.|\n)*응답)", any, {}, {2, 14, 3});
    // The console's wait and reconnection: records go on after the adapter is back.
    row("monitoring resumes after an unplugged adapter", {"--vanish-after", "1", "--return-after", "0.5", "--no-noise"},
        QStringList{"monitor", "--for", "6s", "--quiet"} + logs, 0, "통신포트 연결이 끊어졌습니다[^\n]*\n(.|\n)*다시 연결됨", any, {},
        {5, 12, 0});
    row("unknown option", {}, p1 + QStringList{"--fast"}, 2, "Unknown option 'fast'", {});
    row("bad field sends nothing", sim, p1, 2, "2번째 단계의 전압 값이 숫자가 아닙니다", {}, {}, {}, "0,5,1\r\n1,x,1\r\n");
    // Monitoring goes on as in the window; the records are lost and the exit code says so.
    row("unwritable log folder", demo, {"monitor", "--for", "2s", "--log-folder", "/nonexistent/logs"}, 1,
        "측정 기록을 저장할 수 없습니다: /nonexistent/logs/", any);
    // Read after the repetition; the run still plays to its end.
    row("errors in the supply's queue", {"--no-noise", "--fault", "fan"}, p1 + QStringList{"--measure", "200", "--report", "{dir}"},
        1, "the supply's error queue: ERROR - ", any, ",ERROR - [0-9]+,,completed\\s*$");
    // Into the demonstration's 10 ohms, twice: 5 V at 0.5 A in CV, then 0.1 A in CC at about 1 V, then off. Each step that
    // holds has three readings at least, as the load has them.
    row("a measured run reports the load", demo, p1 + QStringList{"--repeat", "2", "--measure", "200", "--report", "{dir}/run.csv"},
        0, "", any,
        "run_end(\n[12],1,[^\n]*,[3-9](,5\\.000){3},[3-9](,0\\.5[0-9]*){3},[^\n]*\n[12],2,[^\n]*,[3-9](,0\\.9[0-9]*){3},[3-9]"
        "(,0\\.100){3},[^\n]*\n[12],3,[^\n]*){2}(?<=,completed)$", {}, "0,5,1\r\n1,2,0.1\r\n2,0,0\r\n");
    row("unwritable report", sim, p1 + QStringList{"--report", "/nonexistent/run.csv"}, 1,
        "실행 보고서를 저장하지 못했습니다: /nonexistent/run.csv", onePass);
    row("port missing", {}, p1, 3, "/nonexistent/tarvio-com1", {});
    row("device server not there", {}, {"monitor", "--port", "rfc2217://127.0.0.1:1"}, 3,
        "rfc2217://127.0.0.1:1 연결이 거부되었습니다", {});
    row("port lost under a pattern", {"--vanish-after", "1"}, p1 + QStringList{"--repeat", "forever"}, 4,
        "출력 패턴은 자동으로 다시 시작하지 않습니다", any);
    // The demonstration's P1 delivers 5 V and about 0.5 A, P2 12 V and about 1.2 A. Nothing after the switch-off.
    row("P1 current while monitoring", demo, QStringList{"monitor", "--limit-current", "0.3"} + logs, 1, "P1 current 0\\.", off);
    row("P2 voltage, two outputs", demo, QStringList{"monitor", "--outputs", "2", "--limit-voltage", "6"} + logs, 1,
        "P2 voltage 12", off);
    // A limit alone measures, as setting one in the window does; the window's words say it.
    row("P1 current under a pattern", demo, p1 + QStringList{"--repeat", "forever", "--limit-current", "0.3", "--report", "{dir}"},
        1, "전류 한계 0.300 A를 넘는 측정값 0\\.", off, "current 0\\.[^\n]*,limit\\s*$", {}, slow);
    // Sending stops at the signal: nothing after the switch-off, or none without --off-on-stop.
    auto stop = [&](const char* name, const QStringList& args, int signal, const char* after, const QStringList& sent,
                    const QString& report = QString()) {
        QTest::newRow(name) << slow << sim << args << signal << after << 130 << "stopping" << sent << report << QList<int>() << "";
    };
    stop("SIGINT under monitoring", {"monitor", "--off-on-stop", "--quiet"}, SIGINT, "MEAS:VOLTA? P1", off);
    stop("SIGTERM under an endless pattern", endless + QStringList{"--off-on-stop"}, SIGTERM, "APPL P1,6,1", off);
    stop("SIGINT without --off-on-stop", endless, SIGINT, "APPL P1,6,1", any);
    stop("SIGINT under a measured run", endless + QStringList{"--measure", "200", "--report", "{dir}/run.csv"}, SIGINT,
         "MEAS:CURRA? P1", any, "^repetition,step,[^\n]*\n(.|\n)*,stopped\\s*$");
}

void TestRunnerE2E::ExitCodes()
{
    QFETCH(QByteArray, pattern);
    QFETCH(QStringList, simArgs);
    QFETCH(QStringList, args);
    QFETCH(int, signalNumber);
    QFETCH(QString, after);
    QFETCH(int, exitCode);
    QFETCH(QString, errors);
    QFETCH(QStringList, sent);
    QFETCH(QString, report);
    QFETCH(QList<int>, records);
    QFETCH(QString, output);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("pattern.txt"));
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(pattern) == pattern.size());
    }
    std::unique_ptr<SimProcess> sim;
    if (!simArgs.isEmpty()) {
        sim = std::make_unique<SimProcess>(simArgs);
        QVERIFY(sim->Ok());
    }
    for (QString& a : args)
        a.replace(QLatin1String("{file}"), file)
            .replace(QLatin1String("{dir}"), dir.path());

    // On a terminal with no display; COM 1 is the simulator, when there is one.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("TARVIO_COM1"), sim ? sim->Link() : QStringLiteral("/nonexistent/tarvio-com1"));
    QProcess run;
    run.setProcessEnvironment(env);
    const bool other = args.value(0).startsWith(QLatin1String("{tarvio"));   // {tarvio} or {tarvio-sim}
    run.start(args.value(0) == QLatin1String("{tarvio}") ? TARVIO_APP_PATH : other ? TARVIO_SIM_PATH : TARVIO_RUN_PATH,
              args.mid(other ? 1 : 0));
    if (signalNumber) {
        QTRY_VERIFY_WITH_TIMEOUT(sim->Commands().contains(after), 15000);
        ::kill(pid_t(run.processId()), signalNumber);
    }
    QVERIFY(run.waitForFinished(RunMs) && run.exitStatus() == QProcess::NormalExit);
    const QString errorText = QString::fromLocal8Bit(run.readAllStandardError());
    QVERIFY2(run.exitCode() == exitCode, qPrintable(QString("exit %1: %2").arg(run.exitCode()).arg(errorText)));
    QVERIFY2(QRegularExpression(errors).match(errorText).hasMatch(), qPrintable(errorText));
    const QString outputText = QString::fromLocal8Bit(run.readAllStandardOutput());
    QVERIFY2(QRegularExpression(output).match(outputText).hasMatch(), qPrintable(outputText));
    if (sim) {
        const bool tail = sent.value(0) == QLatin1String("*");
        const QStringList want = tail ? sent.mid(1) : sent;
        QTRY_COMPARE_WITH_TIMEOUT(tail ? sim->Received().mid(sim->Received().size() - want.size()) : sim->Received(), want, 5000);
        QCOMPARE(sim->Received().count(Off), want.count(Off));
    }
    const QStringList reports = QDir(dir.path()).entryList({QStringLiteral("*.csv")});
    QCOMPARE(reports.size(), report.isEmpty() ? 0 : 1);
    if (!report.isEmpty()) {
        const QString text = QString::fromUtf8(FileBytes(dir.filePath(reports.first()))).remove(QLatin1Char('\r'));
        QVERIFY2(QRegularExpression(report).match(text).hasMatch(), qPrintable(text));
    }
    if (records.isEmpty())
        return;
    const bool dual = args.contains(QStringLiteral("--outputs"));
    const QList<QByteArray> lines = LogLines(dir.path());
    QVERIFY2(lines.size() >= records.at(0) && lines.size() <= records.at(1), qPrintable(QString::number(lines.size())));
    qint64 widest = 0, last = -1;
    for (const QByteArray& line : lines) {
        const std::optional<LogRecord> record = ReadLogRecord(QByteArrayView(line).chopped(line.endsWith('\r') ? 1 : 0));
        QVERIFY2(record && record->Dual == dual, line.constData());
        if (dual)
            QVERIFY2(qAbs(*record->Values[0] - 5.0) < 0.01 && qAbs(*record->Values[2] - 12.0) < 0.01, line.constData());
        const qint64 at = QDateTime(record->Date, record->Time).toSecsSinceEpoch();
        widest = std::max(widest, last < 0 ? 0 : at - last);
        last = at;
    }
    QVERIFY2(widest >= records.at(2), qPrintable(QString::number(widest)));
    // The old model's queries, unaveraged.
    QCOMPARE(sim->Received().contains(QStringLiteral("LF MEAS:VOLT? P1")), args.contains(QStringLiteral("old")));
}

QTEST_MAIN(TestRunnerE2E)
#include "test_runner_e2e.moc"
