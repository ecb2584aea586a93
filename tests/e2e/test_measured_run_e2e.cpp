// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Measured pattern runs on the simulated supply: queries between the steps, the
// report against the load, a limit, a lost port. (Unmeasured: test_console_sim.)
#include <QCheckBox>

#include "pattern/frmPattern.h"
#include "support/ConsoleBench.h"
#include "support/PatternTables.h"

namespace {
// Into 10 ohms, twice: 5 V at 0.5 A in CV, then 0.1 A in CC at 1 V, then off.
const QString Steps = QStringLiteral("0.000 5.000 1.000|1.000 2.000 0.100|2.000 0.000 0.000");

struct Run : ConsoleBench {
    QTemporaryDir logs;
    frmPattern* pattern = nullptr;

    explicit Run(QStringList simArgs, const char* currentLimit = "") : ConsoleBench(QStringList{"--no-noise"} + simArgs)
    {
        window.Controller().LogFolder = logs.path();
        OpenThroughTheDialog();
        Send(QStringLiteral("OUTP:STAT ON"));
        FindControl<QRadioButton>(window, "OptionPatternCmd")->setChecked(true);
        pattern = qobject_cast<frmPattern*>(window.PatternWindow());
        for (int row = 1; row <= 3; ++row)
            pattern->Table().SetStep(row, Table(Steps).Step(row));
        FindControl<QLineEdit>(*pattern, "TextReDo")->setText(QStringLiteral("2"));
        pattern->TextReDo_KeyPress();
        FindControl<QCheckBox>(*pattern, "CheckMeasure")->setChecked(true);
        FindControl<QLineEdit>(*pattern, "TextMeasureInterval")->setText(QStringLiteral("200"));
        FindControl<QLineEdit>(*pattern, "TextLimitCurrent")->setText(QLatin1String(currentLimit));
        pattern->CmdRunP1_Click();
    }
    // What the supply received after the output went on, each command after its line end.
    QStringList Line() const
    {
        QStringList commands = sim.RecordText().replace(QLatin1Char('\t'), QLatin1Char(' ')).split(QLatin1Char('\n'));
        commands.replaceInStrings(QRegularExpression(QStringLiteral("^\\S+ ")), QString());
        commands = commands.filter(QRegularExpression(QStringLiteral("^(LF|CR) ")));
        return commands.mid(commands.indexOf(QStringLiteral("LF OUTP:STAT ON")) + 1);
    }
    QList<QStringList> Report() const
    {
        QFile f(pattern->ReportPath());
        QList<QStringList> rows;
        for (const QString& line : QString::fromUtf8(f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
            rows << line.split(QLatin1Char(','));
        return rows;
    }
};

// One repetition on the line as the run engine sends it, each command ended by CR.
const QStringList Repetition{"CR APPL P1,5,1", "CR APPL P1,2,0.1", "CR APPL P1,0,0"};
}

class TestMeasuredRunE2E : public QObject {
    Q_OBJECT
private slots:
    void MeasuredRunReportsTheLoad()
    {
        Run r({});
        QTRY_VERIFY_WITH_TIMEOUT(!r.pattern->RunningP1(), 15000);
        QCOMPARE(r.Line().filter(QStringLiteral("CR ")), Repetition + Repetition);
        QCOMPARE(r.Line().count(QStringLiteral("LF SYST:ERR?")), 2);
        const QStringList queries = r.Line().filter(QStringLiteral("LF MEAS:"));
        QVERIFY(queries.size() >= 16 && queries.size() == 2 * queries.count(QStringLiteral("LF MEAS:VOLTA? P1")));
        const QList<QStringList> rows = r.Report();
        QCOMPARE(rows.size(), 7);
        for (const int i : {1, 2, 4, 5})   // the steps that hold: three readings at least, the last ones as the load has it
            QVERIFY2(rows.at(i).at(9).toInt() >= 3 && rows.at(i).at(12) == QLatin1String(i % 3 == 1 ? "5.000" : "1.000")
                         && rows.at(i).at(16) == QLatin1String(i % 3 == 1 ? "0.500" : "0.100"), qPrintable(rows.at(i).join(',')));
        QCOMPARE(rows.at(6).last(), QStringLiteral("completed"));
        // The console's readouts took the replies although the console was disabled.
        QCOMPARE(FindControl<QLabel>(r.window, "Label_P1_Voltage")->text().trimmed(), QStringLiteral("1.000"));
    }

    void CurrentLimitSwitchesTheOutputOff()
    {
        Run r({}, "0.3");
        QTRY_COMPARE(r.services.Titles, QStringList{"Tarvio"});
        QTRY_COMPARE(r.Line().last(), QStringLiteral("LF OUTP:STAT OFF"));
        QCOMPARE(r.Line().filter(QStringLiteral("CR ")), QStringList{"CR APPL P1,5,1"});
        QCOMPARE(r.Report().value(1).last(), QStringLiteral("limit"));
    }

    void LostPortStillSavesTheReport()
    {
        Run r({"--vanish-after", "1.5"});
        QTRY_VERIFY_WITH_TIMEOUT(!r.pattern->RunningP1(), 10000);
        QCOMPARE(r.Report().last().last(), QStringLiteral("port lost"));
    }
};

QTEST_MAIN(TestMeasuredRunE2E)
#include "test_measured_run_e2e.moc"
