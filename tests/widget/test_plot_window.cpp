// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The trend window driven through the console on a fake port: what it
// records, how it is opened and moved, and what it writes.
#include <QComboBox>
#include <QTabWidget>

#include "plot/LogReader.h"
#include "plot/PlotView.h"
#include "plot/PlotWindow.h"
#include "plot/Readings.h"
#include "support/FakeConsole.h"

namespace {
struct PlotConsole : FakeConsole {
    PlotWindow* Open()
    {
        QTest::mouseClick(FindControl<QPushButton>(window, "CmdGraph"), Qt::LeftButton);
        return window.Plot();
    }
    void Monitor(const QByteArray& replies)
    {
        FindControl<QRadioButton>(window, "OptionMonitorCmd")->setChecked(true);
        port.Receive(replies);
    }
    const SampleStore& Store() { return window.Plot()->Live().Store(); }
    qint64 Samples(int series) { return Store().Series(series).RawCount(); }
    // The separate runs a series is drawn in.
    std::size_t Runs(int series)
    {
        const SampleSeries& s = Store().Series(series);
        return s.Decimate(s.FirstTime(), s.LastTime() + 1, 200).size();
    }
};

void Mouse(QWidget* surface, QEvent::Type type, QPointF at, Qt::MouseButton button = Qt::NoButton)
{
    QMouseEvent e(type, at, surface->mapToGlobal(at), button, type == QEvent::MouseMove ? Qt::MouseButtons(button) : button, Qt::NoModifier);
    QApplication::sendEvent(surface, &e);
}
}

class TestPlotWindow : public QObject {
    Q_OBJECT
private slots:
    // Only replies routed to the measured readouts are samples; set values
    // are reference lines; non-numbers are counted; a mode change or a lost
    // port breaks the lines.
    void RecordsWhatTheReadoutsShow()
    {
        PlotConsole c;
        PlotWindow* plot = c.Open();
        c.port.Receive("12.000\n");   // line mode: the message panel only
        QVERIFY(c.Store().Empty());
        FindControl<QRadioButton>(c.window, "OptionDual")->setChecked(true);
        c.Monitor("12.000\r\n1.000\r\nERROR - 101\r\n0.500\r\n");
        QCOMPARE(c.Samples(0), qint64(1));
        QCOMPARE(c.Samples(2), qint64(0));
        QCOMPARE(c.Samples(3), qint64(1));
        plot->RefreshTimer_Timer();
        QCOMPARE(FindControl<QLabel>(*plot, "LabelUnreadable")->text(), QStringLiteral("읽지 못한 값 1"));
        FindControl<QRadioButton>(c.window, "OptionSetCmd")->setChecked(true);
        c.port.Receive("12.500\r\n1.200\r\n5.000\r\n0.300\r\n");
        QVERIFY(c.Store().HasReferences(0) && c.Store().HasReferences(3));
        QCOMPARE(c.Samples(0), qint64(1));
        c.Monitor("12.001\r\n1.001\r\n");
        QCOMPARE(c.Runs(0), std::size_t(2));
        c.port.Vanish(QStringLiteral("gone"));
        c.OpenPort();   // monitoring resumes in the same mode
        c.port.Receive("12.002\r\n");
        QCOMPARE(c.Runs(0), std::size_t(3));
        // The console shows exactly what it showed without the plot.
        QCOMPARE(FindControl<QLabel>(c.window, "Label_P1_Voltage")->text(), QStringLiteral("12.002\r"));
    }

    // Wheel zooms around the pointer, a drag pans, a right-button band
    // zooms to its width, a double-click follows again; the cursor line names
    // the nearest values.
    void MouseMovesTheView()
    {
        PlotConsole c;
        PlotWindow* plot = c.Open();
        c.Monitor("12.000\n1.000\n");
        PlotView* view = FindControl<PlotView>(*plot, "LiveView");
        QWidget* surface = view->viewport();
        const qint64 span = view->RangeEnd() - view->RangeStart();
        QCOMPARE(span, PlotWindow::Spans[1]);
        const QPointF middle(surface->width() / 2.0, surface->height() / 2.0);
        QWheelEvent wheel(middle, surface->mapToGlobal(middle), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(surface, &wheel);
        QVERIFY(!view->Following());
        const qint64 zoomed = view->RangeEnd() - view->RangeStart();
        QVERIFY(zoomed < span * 0.85 && zoomed > span * 0.75);
        const qint64 start = view->RangeStart();
        for (const auto& [button, shift] : {std::pair{Qt::LeftButton, 100}, std::pair{Qt::RightButton, 50}}) {
            Mouse(surface, QEvent::MouseButtonPress, middle, button);
            Mouse(surface, QEvent::MouseMove, middle + QPointF(shift, 0), button);
            Mouse(surface, QEvent::MouseButtonRelease, middle + QPointF(shift, 0), button);
            if (button == Qt::LeftButton)
                QVERIFY(view->RangeStart() < start && view->RangeEnd() - view->RangeStart() == zoomed);
        }
        QVERIFY(view->RangeEnd() - view->RangeStart() < zoomed / 4);
        Mouse(surface, QEvent::MouseButtonDblClick, middle, Qt::LeftButton);
        QVERIFY(view->Following());
        FindControl<QComboBox>(*plot, "ComboSpan")->setCurrentIndex(4);
        QVERIFY(view->RangeStart() <= c.Store().FirstTime());
        Mouse(surface, QEvent::MouseMove, middle);
        QVERIFY(FindControl<QLabel>(*plot, "LabelCursor")->text().contains(QStringLiteral("P1 V 12.000   P1 A 1.000   P2 V -")));
    }

    // Each export writes its kind of file, or says which file it could not write.
    void Exports()
    {
        for (const char* button : {"CmdPng", "CmdSvg", "CmdCsvView", "CmdCsvAll"}) {
            for (const bool writable : {true, false}) {
                PlotConsole c;
                PlotWindow* plot = c.Open();
                c.Monitor("12.000\n1.000\n12.100\n1.100\n");
                const QString path = writable ? c.logDir.filePath(QStringLiteral("out")) : QStringLiteral("/proc/none/out");
                c.services.SaveAnswers << path;
                QTest::mouseClick(FindControl<QPushButton>(*plot, button), Qt::LeftButton);
                QTRY_VERIFY(!plot->Exporting());
                QVERIFY2(c.services.Messages.isEmpty() == writable && (writable || c.services.Messages.first().contains(path)), button);
                QFile f(path);
                const QByteArray bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
                if (!writable)
                    continue;
                if (button == QLatin1String("CmdPng"))
                    QCOMPARE(QImage(path).size(), FindControl<PlotView>(*plot, "LiveView")->size());
                else if (button == QLatin1String("CmdSvg"))
                    QVERIFY(bytes.contains("<svg") && QString::fromUtf8(bytes).contains(QStringLiteral(">전압")));
                else   // what the rows hold is the CSV writer's test
                    QVERIFY2(bytes.startsWith(QStringLiteral("시각,P1 V,P1 A,P2 V,P2 A\r\n").toUtf8()) && bytes.count("\r\n") >= 3, button);
            }
        }
    }

    // A log opens on its own tab; the live view and its readings stay as they are.
    void OpensALogBesideTheLiveView()
    {
        PlotConsole c;
        PlotWindow* plot = c.Open();
        c.Monitor("12.000\n1.000\n");
        const QString path = c.logDir.filePath(QStringLiteral("050309_MS.txt"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("1.500\r   0.250\r   050309 PM 02:05:07\r\nP1: 1.600\r   0.260\r   P2: 3.000\r   0.100\r   050309 PM 02:05:08\r\n");
        f.close();
        c.services.OpenAnswers << path;
        QTest::mouseClick(FindControl<QPushButton>(*plot, "CmdOpenLog"), Qt::LeftButton);
        QCOMPARE(FindControl<QTabWidget>(*plot, "TabViews")->count(), 2);
        QTRY_VERIFY(!plot->Loader()->Running());
        QCOMPARE(FindControl<PlotView>(*plot, "LogView")->RangeStart(), QDateTime(QDate(2005, 3, 9), QTime(14, 5, 7)).toMSecsSinceEpoch());
        QCOMPARE(c.Samples(0), qint64(1));
    }
};

QTEST_MAIN(TestPlotWindow)
#include "test_plot_window.moc"
