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

void TestSimDocs::PyVisaExampleRuns()
{
    const QString doc = ReadDoc();
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath("com1");
    QString script = BlockAfter(doc, "```python");
    QVERIFY(script.contains("\"ASRL/tmp/com1::INSTR\""));
    script.replace("/tmp/com1", link);
    const QString scriptPath = dir.filePath("example.py");
    QFile file(scriptPath);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(script.toUtf8());
    file.close();

    QProcess simulator;
    simulator.start(QStringLiteral(TARVIO_SIM_PATH), {"--no-noise", "--link", link});
    QVERIFY(simulator.waitForReadyRead(WaitMs));
    QProcess python;
    python.start("/usr/bin/python3", {scriptPath});
    QVERIFY(python.waitForFinished(WaitMs));
    const QString errors = QString::fromLocal8Bit(python.readAllStandardError());
    QVERIFY2(python.exitStatus() == QProcess::NormalExit && python.exitCode() == 0, qPrintable(errors));
    QCOMPARE(QString::fromLocal8Bit(python.readAllStandardOutput()), BlockAfter(doc, "It prints:"));
    simulator.terminate();
    QVERIFY(simulator.waitForFinished(WaitMs));
    QCOMPARE(simulator.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestSimDocs)
#include "test_sim_docs.moc"
