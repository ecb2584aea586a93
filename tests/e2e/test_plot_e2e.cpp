// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The trend window only listens: a session against the simulated supply
// puts the same bytes on the line with the window open as without it.
#include <QComboBox>
#include <QLineEdit>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "plot/LogReader.h"
#include "plot/PlotView.h"
#include "plot/PlotWindow.h"
#include "plot/Readings.h"
#include "support/ConsoleBench.h"

namespace {

constexpr int Polls = 6;

// Commands and their terminators as the supply received them, in order.
QStringList Wire(const SimProcess& sim)
{
    QStringList lines;
    for (const QString& line : sim.RecordText().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString kind = line.section(QLatin1Char('\t'), 1, 1);
        if (kind == QLatin1String("LF") || kind == QLatin1String("CR"))
            lines << line.section(QLatin1Char('\t'), 1);
    }
    return lines;
}

} // namespace

class TestPlotE2e : public QObject {
    Q_OBJECT

    // Dual monitoring polled by hand, a command in line mode, the set values;
    // with the plot open it also zooms, exports and reads a log meanwhile.
    void Session(bool withPlot, QStringList* wire)
    {
        ConsoleBench b({QStringLiteral("--outputs"), QStringLiteral("2"), QStringLiteral("--no-noise")});
        QTemporaryDir scratch;
        b.window.Controller().LogFolder = scratch.path();
        b.OpenThroughTheDialog();
        PlotWindow* plot = nullptr;
        if (withPlot) {
            QTest::mouseClick(FindControl<QPushButton>(b.window, "CmdGraph"), Qt::LeftButton);
            plot = b.window.Plot();
            FindControl<QComboBox>(*plot, "ComboSpan")->setCurrentIndex(4);
        }
        b.Send(QStringLiteral("APPL P1,12.5,1.2"));
        b.Send(QStringLiteral("OUTP:STAT ON"));
        FindControl<QRadioButton>(b.window, "OptionDual")->setChecked(true);
        FindControl<QRadioButton>(b.window, "OptionMonitorCmd")->setChecked(true);
        // Polls come when the test says, so both sessions send the same number.
        FindControl<QTimer>(b.window, "Timer3")->start(3600 * 1000);
        FindControl<QTimer>(b.window, "Timer4")->stop();
        QSignalSpy shown(&b.window.Controller().Readings(), &ConsoleReadings::Arrived);
        for (int poll = 1; poll <= Polls; ++poll) {
            b.window.Timer3_Timer();
            QTRY_COMPARE_WITH_TIMEOUT(shown.size(), 4 * poll, 5000);
            if (plot && poll == 3) {
                FindControl<PlotView>(*plot, "LiveView")->SetRange(FindControl<PlotView>(*plot, "LiveView")->RangeStart(), FindControl<PlotView>(*plot, "LiveView")->RangeEnd() - 100);
                b.services.SaveAnswers << scratch.filePath(QStringLiteral("run.csv"));
                plot->CmdCsv_Click(true);
                QTRY_VERIFY(!plot->Exporting());
                QFile log(scratch.filePath(QStringLiteral("050309_MS.txt")));
                if (log.open(QIODevice::WriteOnly))
                    log.write("1.000\r   2.000\r   050309 PM 02:00:00\r\n");
                log.close();
                b.services.OpenAnswers << log.fileName();
                plot->CmdOpenLog_Click();
                QTRY_VERIFY(!plot->Loader()->Running());
            }
        }
        FindControl<QRadioButton>(b.window, "OptionLineCmd")->setChecked(true);
        b.Send(QStringLiteral("*IDN?"));
        QTRY_VERIFY(b.Info().contains(QStringLiteral("QPX-")));
        FindControl<QRadioButton>(b.window, "OptionSetCmd")->setChecked(true);
        QTRY_COMPARE(FindControl<QLabel>(b.window, "Label_P1_Set_Voltage")->text(), QStringLiteral("12.500"));
        if (plot) {
            const SampleStore& store = plot->Live().Store();
            for (int s = 0; s < PlotSeriesCount; ++s)
                QCOMPARE(store.Series(s).RawCount(), qint64(Polls));
            QVERIFY(store.HasReferences(0));
            QCOMPARE(b.services.Messages, QStringList());
        }
        const int expected = 2 + 4 * Polls + 1 + 4;
        QTRY_COMPARE_WITH_TIMEOUT(Wire(b.sim).size(), expected, 5000);
        *wire = Wire(b.sim);
    }

private slots:
    void SameBytesWithThePlotOpen()
    {
        QStringList without, with;
        Session(false, &without);
        if (QTest::currentTestFailed())
            return;
        Session(true, &with);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(without.size(), 2 + 4 * Polls + 1 + 4);
        QCOMPARE(with, without);
        QVERIFY(without.contains(QStringLiteral("LF\tMEAS:CURRA? P2")));
    }
};

QTEST_MAIN(TestPlotE2e)
#include "test_plot_e2e.moc"
