// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The same session against the simulated supply in Korean and in English, the
// second with the trend window open over a chosen span: what goes down the line,
// the measurement log and the saved pattern file are the same bytes, whatever
// language the operator reads and whether the plot records or not.
#include <QComboBox>
#include <QTemporaryDir>

#include "pattern/frmPattern.h"
#include "plot/Readings.h"
#include "plot/PlotWindow.h"
#include "support/ConsoleBench.h"
#include "support/Languages.h"
#include "support/PatternTables.h"

namespace {
struct Session {
    QString SendCaption;   // shows which language the windows spoke
    QStringList Wire;      // every line the supply received, with its ending
    QByteArray Log, PatternFile;
    QList<qint64> PlotSamples;   // with the plot open: samples of each series
};

QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Typed and composed commands, two monitor rounds logged at a fixed time, a
// pattern played once and saved. Ticks are driven here, so both runs match.
void Run(const QString& language, bool withPlot, Session& s)
{
    QVERIFY(UseLanguage(language));
    ConsoleBench b({QStringLiteral("--outputs"), QStringLiteral("2"), QStringLiteral("--no-noise")});
    QVERIFY(b.sim.Ok());
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
    QTRY_VERIFY(b.Info().contains(QStringLiteral("NO ERROR\n7.500")));

    FindControl<QRadioButton>(b.window, "OptionDual")->setChecked(true);
    FindControl<QRadioButton>(b.window, "OptionMonitorCmd")->setChecked(true);
    // Replies are routed to the readouts while polling runs, so it runs, but too slowly to tick.
    FindControl<QTimer>(b.window, "Timer3")->start(3600 * 1000);
    FindControl<QTimer>(b.window, "Timer4")->stop();
    for (int round = 0; round < 2; ++round) {
        FindControl<QLabel>(b.window, "Label_P2_Current")->setText(QString());
        b.window.Timer3_Timer();
        QTRY_COMPARE(FindControl<QLabel>(b.window, "Label_P2_Current")->text(), QStringLiteral("0.750"));
        b.window.Timer4_Timer();
    }
    s.Log = FileBytes(files.filePath(QStringLiteral("050309_MS.txt")));
    for (int series = 0; plot && series < PlotSeriesCount; ++series)
        s.PlotSamples << plot->Live().Store().Series(series).RawCount();

    FindControl<QRadioButton>(b.window, "OptionLineCmd")->setChecked(true);
    FindControl<QRadioButton>(b.window, "OptionPatternCmd")->setChecked(true);
    auto* pattern = qobject_cast<frmPattern*>(b.window.PatternWindow());
    pattern->Table() = Table(QStringLiteral("0.000 5.000 1.000|0.100 12.500 0.500|0.200 0.000 0.000"));
    pattern->ShowTable();
    FindControl<QLineEdit>(*pattern, "TextReDo")->setText(QStringLiteral("1"));
    pattern->TextReDo_KeyPress();
    pattern->CmdRunP1_Click();
    QTRY_COMPARE_WITH_TIMEOUT(FindControl<QLabel>(*pattern, "LabelRedo")->text(), QStringLiteral("1"), 10000);
    pattern->CmdRunP1_Click();
    b.services.SaveAnswers << files.filePath(QStringLiteral("pattern.txt"));
    pattern->CmdFileSave_Click();
    s.PatternFile = FileBytes(files.filePath(QStringLiteral("pattern.txt")));
    pattern->close();

    // The record's kind column says whether a line ended in LF or CR.
    QTRY_COMPARE(b.sim.Commands().size(), 16);   // 5 typed or composed, 2 monitor rounds of 4, 3 pattern steps
    s.Wire = b.sim.Received();
}
}

class TestLanguageE2e : public QObject {
    Q_OBJECT
private slots:
    void SameBytesInEitherLanguageWithThePlotOpen()
    {
        Session korean, english;
        Run(QStringLiteral("ko"), false, korean);
        Run(QStringLiteral("en"), true, english);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(korean.SendCaption, QStringLiteral("명령 전송"));
        QCOMPARE(english.SendCaption, QStringLiteral("Send"));
        QCOMPARE(english.PlotSamples, (QList<qint64>{2, 2, 2, 2}));

        QVERIFY(korean.Wire.contains(QStringLiteral("LF SOUR:VOLT? P2")));
        QVERIFY(korean.Wire.contains(QStringLiteral("LF MEAS:CURRA? P2")));
        QVERIFY(korean.Wire.contains(QStringLiteral("CR APPL P1,12.5,0.5")));
        QCOMPARE(english.Wire, korean.Wire);

        QCOMPARE(korean.Log.count("P1: "), 2);
        QCOMPARE(english.Log, korean.Log);

        QVERIFY(korean.PatternFile.contains("0.1,12.5,0.5"));
        QCOMPARE(english.PatternFile, korean.PatternFile);
    }
};

QTEST_MAIN(TestLanguageE2e)
#include "test_language_e2e.moc"
