// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Measured pattern runs from the pattern window on the simulated supply: the
// line without measuring, the queries between the steps with it, the report
// against the simulated load, a current limit, and a port that goes away.
#include <QCheckBox>
#include <QDir>
#include <QTemporaryDir>

#include "pattern/RunEngine.h"
#include "pattern/frmPattern.h"
#include "support/ConsoleBench.h"
#include "support/PatternTables.h"

namespace {
// Into 10 ohms: 5 V at 0.5 A in CV, then 0.1 A in CC at 1 V, then off.
const char* const Steps = "0.000 5.000 1.000|1.000 2.000 0.100|2.000 0.000 0.000";

struct Run {
    ConsoleBench b;
    QTemporaryDir logs;
    frmPattern* pattern = nullptr;

    explicit Run(QStringList simArgs) : b(QStringList{"--no-noise"} + simArgs)
    {
        b.window.Controller().LogFolder = logs.path();
        b.OpenThroughTheDialog();
        b.Send(QStringLiteral("OUTP:STAT ON"));
        FindControl<QRadioButton>(b.window, "OptionPatternCmd")->setChecked(true);
        pattern = qobject_cast<frmPattern*>(b.window.PatternWindow());
        const PatternTable table = Table(QString::fromLatin1(Steps));
        for (int row = 1; row <= 3; ++row)
            pattern->Table().SetStep(row, table.Step(row));
        pattern->ShowTable();
        FindControl<QLineEdit>(*pattern, "TextReDo")->setText(QStringLiteral("2"));
        pattern->TextReDo_KeyPress();
    }
    void Measure(const char* currentLimit = "")
    {
        FindControl<QCheckBox>(*pattern, "CheckMeasure")->setChecked(true);
        FindControl<QLineEdit>(*pattern, "TextMeasureInterval")->setText(QStringLiteral("200"));
        FindControl<QLineEdit>(*pattern, "TextLimitCurrent")->setText(QLatin1String(currentLimit));
    }
    // The commands the supply received after the run began, with their line ends.
    QStringList RunCommands() const
    {
        QStringList commands;
        for (const QString& line : b.sim.RecordText().split(QLatin1Char('\n'))) {
            const QString kind = line.section(QLatin1Char('\t'), 1, 1);
            if (kind == QLatin1String("LF") || kind == QLatin1String("CR"))
                commands << kind + QLatin1Char(' ') + line.section(QLatin1Char('\t'), 2);
        }
        return commands.mid(commands.indexOf(QStringLiteral("LF OUTP:STAT ON")) + 1);
    }
    QList<QStringList> ReportRows() const
    {
        QFile f(pattern->ReportPath());
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QList<QStringList> rows;
        for (const QString& line : QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
            rows << line.split(QLatin1Char(','));
        return rows;
    }
};

QStringList StepCommands(int repeats)
{
    RunEngine engine;
    engine.Start(Table(QString::fromLatin1(Steps)), 1);
    QStringList commands;
    while (!engine.Finished(false, repeats))
        if (const RunEngine::Tick t = engine.OnTick(false, repeats); t.Sent)
            commands << QStringLiteral("CR ") + QString::fromLatin1(t.Command).trimmed();
    return commands;
}
}

class TestMeasuredRunE2E : public QObject {
    Q_OBJECT
private slots:
    void UnmeasuredLineIsUnchanged()
    {
        Run r({});
        r.pattern->CmdRunP1_Click();
        QTRY_VERIFY_WITH_TIMEOUT(r.RunCommands().size() >= 6, 10000);
        QTest::qWait(300);
        QCOMPARE(r.RunCommands(), StepCommands(2));
        QVERIFY(QDir(r.logs.path()).entryList(QDir::Files).isEmpty());
        r.pattern->CmdRunP1_Click();
    }

    void MeasuredRunReportsTheLoad()
    {
        Run r({});
        r.Measure();
        r.pattern->CmdRunP1_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!r.pattern->RunningP1(), 15000);
        const QStringList line = r.RunCommands();
        QCOMPARE(line.filter(QStringLiteral("CR ")), StepCommands(2));
        QCOMPARE(line.count(QStringLiteral("LF SYST:ERR?")), 2);
        const QStringList queries = line.filter(QStringLiteral("LF MEAS:"));
        QVERIFY(queries.size() >= 16);
        for (int i = 0; i < queries.size(); ++i)
            QCOMPARE(queries.at(i), QLatin1String(i % 2 ? "LF MEAS:CURRA? P1" : "LF MEAS:VOLTA? P1"));
        QVERIFY(QFileInfo(r.pattern->ReportPath()).fileName().contains(QRegularExpression(QStringLiteral("^\\d{6}_\\d{6}_RUN\\.csv$"))));
        const QList<QStringList> rows = r.ReportRows();
        QCOMPARE(rows.size(), 7);
        // Voltage and current, last readings of the first two steps of each repetition.
        for (const int i : {1, 2, 4, 5}) {
            const bool cv = i % 3 == 1;
            QVERIFY2(rows.at(i).at(9).toInt() >= 3, qPrintable(rows.at(i).join(',')));
            QCOMPARE(rows.at(i).at(12), QLatin1String(cv ? "5.000" : "1.000"));
            QCOMPARE(rows.at(i).at(16), QLatin1String(cv ? "0.500" : "0.100"));
        }
        QCOMPARE(rows.at(6).last(), QStringLiteral("completed"));
        // The console's readouts showed the replies although the console was disabled.
        QCOMPARE(FindControl<QLabel>(r.b.window, "Label_P1_Voltage")->text().trimmed(), QStringLiteral("1.000"));
    }

    void CurrentLimitSwitchesTheOutputOff()
    {
        Run r({});
        r.Measure("0.3");
        r.pattern->CmdRunP1_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!r.pattern->RunningP1(), 5000);
        QTRY_COMPARE(r.b.services.Titles, QStringList{"Tarvio"});
        QTRY_COMPARE(r.RunCommands().last(), QStringLiteral("LF OUTP:STAT OFF"));
        QCOMPARE(r.RunCommands().filter(QStringLiteral("CR ")), QStringList{"CR APPL P1,5,1"});
        QCOMPARE(r.ReportRows().value(1).last(), QStringLiteral("limit"));
    }

    void LostPortStillSavesTheReport()
    {
        Run r({"--vanish-after", "3"});
        r.Measure();
        FindControl<QLineEdit>(*r.pattern, "TextReDo")->setText(QStringLiteral("0"));
        r.pattern->TextReDo_KeyPress();
        r.pattern->CmdRunP1_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!r.pattern->RunningP1(), 10000);
        const QList<QStringList> rows = r.ReportRows();
        QVERIFY(rows.size() >= 2);
        QCOMPARE(rows.last().last(), QStringLiteral("port lost"));
        QVERIFY(rows.at(1).at(9).toInt() > 0);
    }
};

QTEST_MAIN(TestMeasuredRunE2E)
#include "test_measured_run_e2e.moc"
