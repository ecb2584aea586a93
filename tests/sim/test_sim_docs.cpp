// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>

namespace {
constexpr int WaitMs = 60000;

QString ReadDoc()
{
    QFile file(QStringLiteral(TARVIO_SIM_DOC));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The fenced block that follows `marker` in the document, without its fences.
QString BlockAfter(const QString& doc, const QString& marker)
{
    const int at = doc.indexOf(marker);
    const int open = at < 0 ? -1 : doc.indexOf(QStringLiteral("```"), at);
    const int start = open < 0 ? -1 : doc.indexOf(QLatin1Char('\n'), open) + 1;
    const int close = start <= 0 ? -1 : doc.indexOf(QStringLiteral("\n```"), start - 1);
    return close < 0 ? QString() : doc.mid(start, close + 1 - start);
}

QString RunSimulator(const QStringList& args)
{
    QProcess simulator;
    simulator.start(QStringLiteral(TARVIO_SIM_PATH), args);
    if (!simulator.waitForFinished(WaitMs) || simulator.exitCode() != 0)
        return QStringLiteral("tarvio-sim failed: ") + QString::fromLocal8Bit(simulator.readAllStandardError());
    return QString::fromLocal8Bit(simulator.readAllStandardOutput());
}

QSet<QString> OptionNames(const QString& text)
{
    QSet<QString> names;
    QRegularExpressionMatchIterator it = QRegularExpression(QStringLiteral("--[a-z][a-z-]*[a-z]")).globalMatch(text);
    while (it.hasNext())
        names.insert(it.next().captured());
    return names;
}
}

// The simulator's reference page against the simulator itself: what it prints
// is quoted word for word, and its scripting example runs as shown.
class TestSimDocs : public QObject {
    Q_OBJECT
private slots:
    void QuotesWhatTheSimulatorPrints();
    void NamesOnlyRealOptions();
    void PyVisaExampleRuns_data();
    void PyVisaExampleRuns();
};

void TestSimDocs::QuotesWhatTheSimulatorPrints()
{
    for (const QString option : {"--help", "--list-models"}) {
        const QString quoted = BlockAfter(ReadDoc(), "This is what `tarvio-sim " + option + "` prints");
        QVERIFY2(!quoted.isEmpty(), qPrintable(option));
        QCOMPARE(quoted, RunSimulator({option}));
    }
}

void TestSimDocs::NamesOnlyRealOptions()
{
    const QSet<QString> documented = OptionNames(ReadDoc());
    const QSet<QString> offered = OptionNames(RunSimulator({"--help"}));
    QVERIFY(offered.size() > 20);
    QCOMPARE(QSet<QString>(documented - offered), QSet<QString>());
    QCOMPARE(QSet<QString>(offered - documented), QSet<QString>());
}

void TestSimDocs::PyVisaExampleRuns_data()
{
    QTest::addColumn<QString>("scriptAfter"); // what the script's block follows in the page
    QTest::addColumn<QString>("placeholder"); // what names the line in its resource
    QTest::addColumn<QStringList>("args"); // $LINK: a link in a fresh folder
    QTest::addColumn<QString>("outputAfter");
    QTest::newRow("serial") << "```python" << "\"ASRL/tmp/com1::INSTR\"" << QStringList{"--no-noise", "--link", "$LINK"} << "It prints:";
    QTest::newRow("tcp") << "over TCP, with PyVISA:" << "\"TCPIP::127.0.0.1::5025::SOCKET\"" << QStringList{"--no-noise", "--demo", "--tcp", "127.0.0.1:0"}
                         << "That prints:";
}

void TestSimDocs::PyVisaExampleRuns()
{
    QFETCH(QString, scriptAfter);
    QFETCH(QString, placeholder);
    QFETCH(QStringList, args);
    QFETCH(QString, outputAfter);
    const QString doc = ReadDoc();
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath("com1");
    QProcess simulator;
    simulator.start(QStringLiteral(TARVIO_SIM_PATH), args.replaceInStrings("$LINK", link));
    for (QDeadlineTimer deadline(WaitMs); !simulator.canReadLine() && !deadline.hasExpired() && simulator.state() != QProcess::NotRunning;)
        simulator.waitForReadyRead(int(deadline.remainingTime()));
    // The terminal's path, or the address it listens on in the form the page shows.
    const QString first = QString::fromLocal8Bit(simulator.readLine()).trimmed();
    const QRegularExpressionMatch address = QRegularExpression("^127\\.0\\.0\\.1:([1-9][0-9]*)$").match(first);
    QVERIFY2(args.contains("--tcp") ? address.hasMatch() : first.startsWith("/dev/pts/"), qPrintable(first));
    const QString line = address.hasMatch() ? "TCPIP::127.0.0.1::" + address.captured(1) + "::SOCKET" : "ASRL" + link + "::INSTR";

    QString script = BlockAfter(doc, scriptAfter);
    QVERIFY(script.contains(placeholder));
    script.replace(placeholder, '"' + line + '"');
    const QString scriptPath = dir.filePath("example.py");
    QFile file(scriptPath);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(script.toUtf8());
    file.close();

    QProcess python;
    python.start("/usr/bin/python3", {scriptPath});
    QVERIFY(python.waitForFinished(WaitMs));
    const QString errors = QString::fromLocal8Bit(python.readAllStandardError());
    QVERIFY2(python.exitStatus() == QProcess::NormalExit && python.exitCode() == 0, qPrintable(errors));
    QCOMPARE(QString::fromLocal8Bit(python.readAllStandardOutput()), BlockAfter(doc, outputAfter));
    simulator.terminate();
    QVERIFY(simulator.waitForFinished(WaitMs));
    QCOMPARE(simulator.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestSimDocs)
#include "test_sim_docs.moc"
