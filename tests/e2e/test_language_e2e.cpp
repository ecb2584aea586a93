// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The same session against the simulated supply in Korean and in English, the
// second with the trend window open, zoomed, exporting and reading a log: what
// goes down the line, the measurement log and the saved pattern file are the
// same bytes, whatever language the operator reads and whatever the plot does.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "pattern/frmPattern.h"
#include "plot/LogReader.h"
#include "plot/Readings.h"
#include "plot/PlotView.h"
#include "plot/PlotWindow.h"
#include "support/ConsoleBench.h"
#include "support/Languages.h"

namespace {
struct Session {
    QString SendCaption;   // shows which language the windows spoke
    QStringList Wire;      // every line the supply received, with its ending
    QByteArray Log, PatternFile;
    QString Stopped;       // the step that did not happen
    QList<qint64> PlotSamples;   // with the plot open: samples of each series
    QStringList Messages;
};

QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Typed and composed commands, two monitor rounds logged at a fixed time, a
// pattern played once and saved. Ticks are driven here, so both runs match.
Session Run(const QString& language, bool withPlot)
{
    Session s;
    if (!UseLanguage(language))
        return s.Stopped = QStringLiteral("catalogue"), s;
    ConsoleBench b({QStringLiteral("--outputs"), QStringLiteral("2"), QStringLiteral("--no-noise")});
    if (!b.sim.Ok())
        return s.Stopped = QStringLiteral("simulator"), s;
    QTemporaryDir files;
    b.window.Controller().LogFolder = files.path();
    b.window.Controller().LogClock = [] { return QDateTime(QDate(2005, 3, 9), QTime(14, 5, 7)); };
    b.OpenThroughTheDialog();
    PlotWindow* plot = nullptr;
    if (withPlot) {
        QTest::mouseClick(FindControl<QPushButton>(b.window, "CmdGraph"), Qt::LeftButton);
        plot = b.window.Plot();
        FindControl<QComboBox>(*plot, "ComboSpan")->setCurrentIndex(4);
    }
    s.SendCaption = FindControl<QPushButton>(b.window, "CmdStartStop")->text();
    for (const char* command : {"APPL P1,12.5,1.2", "APPL P2,7.5,1", "OUTP:STAT ON", "SYST:ERR?"})
        b.Send(QString::fromLatin1(command));
    for (const char* key : {"CmdSVQ", "CmdP2"})
        b.window.findChild<QPushButton*>(QLatin1String(key))->click();
    b.window.CmdStartStop_Click();
    // Every reply in before polling starts, or a late one would take a readout's place.
    if (!QTest::qWaitFor([&] { return b.Info().contains(QStringLiteral("NO ERROR\n7.500")); }))
        return s.Stopped = QStringLiteral("line commands"), s;

    FindControl<QRadioButton>(b.window, "OptionDual")->setChecked(true);
    FindControl<QRadioButton>(b.window, "OptionMonitorCmd")->setChecked(true);
    // Replies are routed to the readouts while polling runs, so it runs, but too slowly to tick.
    FindControl<QTimer>(b.window, "Timer3")->start(3600 * 1000);
    FindControl<QTimer>(b.window, "Timer4")->stop();
    for (int round = 0; round < 2; ++round) {
        FindControl<QLabel>(b.window, "Label_P2_Current")->setText(QString());
        b.window.Timer3_Timer();
        if (!QTest::qWaitFor([&] { return FindControl<QLabel>(b.window, "Label_P2_Current")->text() == QLatin1String("0.750"); }))
            return s.Stopped = QStringLiteral("monitor round"), s;
        b.window.Timer4_Timer();
        if (plot && round == 0) {
            PlotView* view = FindControl<PlotView>(*plot, "LiveView");
            view->SetRange(view->RangeStart(), view->RangeEnd() - 100);
            b.services.SaveAnswers << files.filePath(QStringLiteral("run.csv"));
            plot->CmdCsv_Click(true);
            QFile log(files.filePath(QStringLiteral("earlier_MS.txt")));
            if (log.open(QIODevice::WriteOnly))
                log.write("1.000\r   2.000\r   050309 PM 02:00:00\r\n");
            log.close();
            b.services.OpenAnswers << log.fileName();
            plot->CmdOpenLog_Click();
            if (!QTest::qWaitFor([&] { return !plot->Exporting() && plot->Loader() && !plot->Loader()->Running(); }))
                return s.Stopped = QStringLiteral("plot"), s;
        }
    }
    s.Log = FileBytes(files.filePath(QStringLiteral("050309_MS.txt")));
    if (plot) {
        for (int series = 0; series < PlotSeriesCount; ++series)
            s.PlotSamples << plot->Live().Store().Series(series).RawCount();
        s.Messages = b.services.Messages;
    }

    FindControl<QRadioButton>(b.window, "OptionLineCmd")->setChecked(true);
    FindControl<QRadioButton>(b.window, "OptionPatternCmd")->setChecked(true);
    auto* pattern = qobject_cast<frmPattern*>(b.window.PatternWindow());
    if (!pattern)
        return s.Stopped = QStringLiteral("pattern window"), s;
    const QList<PatternStep> steps{{"0.000", "5.000", "1.000"}, {"0.100", "12.500", "0.500"}, {"0.200", "0.000", "0.000"}};
    for (int i = 0; i < steps.size(); ++i)
        pattern->Table().SetStep(i + 1, steps.at(i));
    pattern->ShowTable();
    FindControl<QLineEdit>(*pattern, "TextReDo")->setText(QStringLiteral("1"));
    pattern->TextReDo_KeyPress();
    pattern->CmdRunP1_Click();
    if (!QTest::qWaitFor([&] { return FindControl<QLabel>(*pattern, "LabelRedo")->text() == QLatin1String("1"); }, 10000))
        return s.Stopped = QStringLiteral("pattern run"), s;
    pattern->CmdRunP1_Click();
    b.services.SaveAnswers << files.filePath(QStringLiteral("pattern.txt"));
    pattern->CmdFileSave_Click();
    s.PatternFile = FileBytes(files.filePath(QStringLiteral("pattern.txt")));
    pattern->close();

    // The record's kind column says whether a line ended in LF or CR.
    (void)QTest::qWaitFor([&] { return b.sim.Commands().size() == 16; });
    for (const QString& line : b.sim.RecordText().split(QLatin1Char('\n'))) {
        const QString kind = line.section(QLatin1Char('\t'), 1, 1);
        if (kind == QLatin1String("LF") || kind == QLatin1String("CR"))
            s.Wire << line.section(QLatin1Char('\t'), 1);
    }
    return s;
}
}

class TestLanguageE2e : public QObject {
    Q_OBJECT
private slots:
    void SameBytesInEitherLanguageWithThePlotOpen()
    {
        const Session korean = Run(QStringLiteral("ko"), false);
        const Session english = Run(QStringLiteral("en"), true);
        QVERIFY2(korean.Stopped.isEmpty() && english.Stopped.isEmpty(), qPrintable(korean.Stopped + english.Stopped));
        QCOMPARE(korean.SendCaption, QStringLiteral("명령 전송"));
        QCOMPARE(english.SendCaption, QStringLiteral("Send"));
        QCOMPARE(english.PlotSamples, (QList<qint64>{2, 2, 2, 2}));
        QCOMPARE(english.Messages, QStringList());

        QCOMPARE(korean.Wire.size(), 16);   // 5 typed or composed, 2 monitor rounds of 4, 3 pattern steps
        QVERIFY(korean.Wire.contains(QStringLiteral("LF\tSOUR:VOLT? P2")));
        QVERIFY(korean.Wire.contains(QStringLiteral("LF\tMEAS:CURRA? P2")));
        QVERIFY(korean.Wire.contains(QStringLiteral("CR\tAPPL P1,12.5,0.5")));
        QCOMPARE(english.Wire, korean.Wire);

        QCOMPARE(korean.Log.count("P1: "), 2);
        QCOMPARE(english.Log, korean.Log);

        QVERIFY(korean.PatternFile.contains("0.1,12.5,0.5"));
        QCOMPARE(english.PatternFile, korean.PatternFile);
    }
};

QTEST_MAIN(TestLanguageE2e)
#include "test_language_e2e.moc"
