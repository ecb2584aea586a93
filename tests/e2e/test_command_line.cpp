// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>

namespace {
constexpr int WaitMs = 60000;
}

// The programs' information options, run as an operator would on a terminal
// with no display: they answer and exit before any window is made.
class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void AnswersWithoutDisplay_data();
    void AnswersWithoutDisplay();
};

void TestCommandLine::AnswersWithoutDisplay_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output"); // a pattern stdout matches in full
    QTest::addColumn<QString>("errors"); // a pattern stderr matches in full

    const QString app = QStringLiteral(TARVIO_APP_PATH);
    const QString sim = QStringLiteral(TARVIO_SIM_PATH);
    const QString version = QRegularExpression::escape(QStringLiteral(TARVIO_VERSION));
    QTest::newRow("tarvio --version") << app << QStringList{"--version"} << 0 << "tarvio " + version + "\n" << "";
    QTest::newRow("tarvio -v") << app << QStringList{"-v"} << 0 << "tarvio " + version + "\n" << "";
    const QString help = "Usage: tarvio \\[options\\]\n(.|\n)*TARVIO_COM1(.|\n)*-v, --version(.|\n)*";
    QTest::newRow("tarvio --help") << app << QStringList{"--help"} << 0 << help << "";
    QTest::newRow("tarvio -h among Qt's options") << app << QStringList{"-style", "fusion", "-h"} << 0 << help << "";
    // Qt's own option must reach Qt whole, not as -r -e -v... meaning --version.
    QTest::newRow("Qt's -reverse is not -v")
        << app << QStringList{"-reverse"} << 2 << "" << "tarvio: no display found(.|\n)*";
    QTest::newRow("tarvio-sim --version") << sim << QStringList{"--version"} << 0 << "tarvio-sim " + version + "\n" << "";
    QTest::newRow("tarvio-sim --version=1")
        << sim << QStringList{"--version=1"} << 2 << "" << "tarvio-sim: --version takes no value \\(see tarvio-sim --help\\)\n";
}

void TestCommandLine::AnswersWithoutDisplay()
{
    QFETCH(QString, program);
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QFETCH(QString, errors);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, args);
    QVERIFY(process.waitForFinished(WaitMs));
    const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(process.readAllStandardError());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QVERIFY2(process.exitCode() == exitCode, qPrintable(QString("exit code %1; stderr: %2").arg(process.exitCode()).arg(err)));
    QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(output)).match(out).hasMatch(), qPrintable(out));
    QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(errors)).match(err).hasMatch(), qPrintable(err));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
