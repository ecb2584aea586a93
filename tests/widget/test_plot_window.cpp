// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The trend window driven through the console on a fake port: what it
// records, how it is opened and moved, and what it writes.
#include <QCheckBox>
#include <QChart>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

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
    const SampleStore& Store() { return window.Plot()->Live().Store(); }
    // Samples of one series, and the separate runs they are drawn in.
    qint64 Samples(int series) { return Store().Series(series).RawCount(); }
    std::size_t Runs(int series)
    {
        const SampleSeries& s = Store().Series(series);
        return s.Decimate(s.FirstTime(), s.LastTime() + 1, 200).size();
    }
};

QString ReadText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

void Hover(QWidget* surface, QPointF at, QEvent::Type type = QEvent::MouseMove, Qt::MouseButton button = Qt::NoButton)
{
    QMouseEvent e(type, at, surface->mapToGlobal(at), button, type == QEvent::MouseMove ? Qt::MouseButtons(button) : button,
                  Qt::NoModifier);
    QApplication::sendEvent(surface, &e);
}

} // namespace

class TestPlotWindow : public QObject {
    Q_OBJECT

private slots:
    // A non-modal window beside the console; closing only hides it.
    void OpensBesideTheConsole()
    {
        PlotConsole c;
        QVERIFY(FindControl<QPushButton>(c.window, "CmdGraph")->isEnabled());
        auto* port = c.window.findChild<QGroupBox*>(QStringLiteral("FramePort"));
        QVERIFY(port->isAncestorOf(FindControl<QPushButton>(c.window, "CmdGraph")));
        // In the group's free room: it overlaps none of the group's other controls.
        for (QWidget* other : port->findChildren<QWidget*>())
            if (other != FindControl<QPushButton>(c.window, "CmdGraph") && other->isVisible())
                QVERIFY2(!other->geometry().intersects(FindControl<QPushButton>(c.window, "CmdGraph")->geometry()), qPrintable(other->objectName()));
        QVERIFY(port->rect().contains(FindControl<QPushButton>(c.window, "CmdGraph")->geometry()));

        PlotWindow* plot = c.Open();
        QVERIFY(plot && plot->isVisible());
        QCOMPARE(plot->windowTitle(), QStringLiteral("측정 그래프"));
        QVERIFY(!plot->isModal());
        QVERIFY(c.window.isEnabled());
        FindControl<QRadioButton>(c.window, "OptionMonitorCmd")->setChecked(true);
        c.port.Receive("1.5\n0.25\n");
        plot->close();
        QVERIFY(!plot->isVisible());
        QCOMPARE(c.Open(), plot);
        QCOMPARE(c.Samples(0), qint64(1));
    }

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
        FindControl<QRadioButton>(c.window, "OptionMonitorCmd")->setChecked(true);
        c.port.Receive("12.000\r\n1.000\r\nERROR - 101\r\n0.500\r\n");
        QCOMPARE(c.Samples(0), qint64(1));
        QCOMPARE(c.Samples(2), qint64(0));
        QCOMPARE(c.Samples(3), qint64(1));
        plot->RefreshTimer_Timer();
        QCOMPARE(FindControl<QLabel>(*plot, "LabelUnreadable")->text(), QStringLiteral("읽지 못한 값 1"));

        FindControl<QRadioButton>(c.window, "OptionSetCmd")->setChecked(true);
        c.port.Receive("12.500\r\n1.200\r\n5.000\r\n0.300\r\n");
        QVERIFY(c.Store().HasReferences(0) && c.Store().HasReferences(3));
        QCOMPARE(c.Samples(0), qint64(1));

        FindControl<QRadioButton>(c.window, "OptionMonitorCmd")->setChecked(true);
        c.port.Receive("12.001\r\n1.001\r\n");
        QCOMPARE(c.Runs(0), std::size_t(2));
        c.port.Vanish(QStringLiteral("gone"));
        c.OpenPort();   // monitoring resumes in the same mode
        QVERIFY(FindControl<QTimer>(c.window, "Timer3")->isActive());
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
        FindControl<QRadioButton>(c.window, "OptionMonitorCmd")->setChecked(true);
        c.port.Receive("12.000\n1.000\n");
        PlotView* view = FindControl<PlotView>(*plot, "LiveView");
        QWidget* surface = view->viewport();
        const qint64 span = view->RangeEnd() - view->RangeStart();
        QCOMPARE(span, PlotWindow::Spans[1]);

        const QPointF middle(surface->width() / 2.0, surface->height() / 2.0);
        QWheelEvent wheel(middle, surface->mapToGlobal(middle), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(surface, &wheel);
        QVERIFY(!view->Following());
        const qint64 zoomed = view->RangeEnd() - view->RangeStart();
        QVERIFY(zoomed < span * 0.85 && zoomed > span * 0.75);

        const qint64 start = view->RangeStart();
        Hover(surface, middle, QEvent::MouseButtonPress, Qt::LeftButton);
        Hover(surface, middle + QPointF(100, 0), QEvent::MouseMove, Qt::LeftButton);
        Hover(surface, middle + QPointF(100, 0), QEvent::MouseButtonRelease, Qt::LeftButton);
        QVERIFY(view->RangeStart() < start);
        QCOMPARE(view->RangeEnd() - view->RangeStart(), zoomed);

        Hover(surface, middle, QEvent::MouseButtonPress, Qt::RightButton);
        Hover(surface, middle + QPointF(50, 0), QEvent::MouseMove, Qt::RightButton);
        Hover(surface, middle + QPointF(50, 0), QEvent::MouseButtonRelease, Qt::RightButton);
        QVERIFY(view->RangeEnd() - view->RangeStart() < zoomed / 4);

        Hover(surface, middle, QEvent::MouseButtonDblClick, Qt::LeftButton);
        QVERIFY(view->Following());
        FindControl<QComboBox>(*plot, "ComboSpan")->setCurrentIndex(4);
        QVERIFY(view->RangeStart() <= c.Store().FirstTime());

        Hover(surface, middle);
        QVERIFY(FindControl<QLabel>(*plot, "LabelCursor")->text().contains(QStringLiteral("P1 V 12.000   P1 A 1.000   P2 V -")));
    }

    // Stacked panes show one time range and line up; the choice stays with the
    // window when it is closed and opened again.
    void StackedPanes()
    {
        PlotConsole c;
        PlotWindow* plot = c.Open();
        auto* check = FindControl<QCheckBox>(*plot, "CheckStacked");
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(5, check->height() / 2));
        PlotView* view = FindControl<PlotView>(*plot, "LiveView");
        view->SetRange(view->RangeStart() - 60000, view->RangeEnd() - 30000);
        QCOMPARE(view->PaneCount(), 2);
        for (QChart* pane : {view->Pane(0), view->Pane(1)}) {
            auto* time = static_cast<QDateTimeAxis*>(pane->axes(Qt::Horizontal).first());
            QCOMPARE(std::make_pair(time->min().toMSecsSinceEpoch(), time->max().toMSecsSinceEpoch()), std::make_pair(view->RangeStart(), view->RangeEnd()));
        }
        QVERIFY(view->Pane(0)->geometry().bottom() <= view->Pane(1)->geometry().top());
        // Margins are whole pixels: one time lies within a pixel in both panes.
        QTRY_VERIFY(qAbs(view->Pane(0)->plotArea().left() - view->Pane(1)->plotArea().left()) < 1);
        QTRY_VERIFY(qAbs(view->Pane(0)->plotArea().right() - view->Pane(1)->plotArea().right()) < 1);
        plot->close();
        QCOMPARE(c.Open(), plot);
        QVERIFY(check->isChecked() && view->Stacked());
        check->setChecked(false);
        QCOMPARE(view->PaneCount(), 1);
    }

    void Exports_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("writable");
        for (const char* button : {"CmdPng", "CmdSvg", "CmdCsvView", "CmdCsvAll"}) {
            QTest::newRow(qPrintable(QStringLiteral("%1 written").arg(QLatin1String(button)))) << button << true;
            QTest::newRow(qPrintable(QStringLiteral("%1 unwritable").arg(QLatin1String(button)))) << button << false;
        }
    }
    void Exports()
    {
        QFETCH(QString, button);
        QFETCH(bool, writable);
        PlotConsole c;
        PlotWindow* plot = c.Open();
        FindControl<QRadioButton>(c.window, "OptionMonitorCmd")->setChecked(true);
        c.port.Receive("12.000\n1.000\n12.100\n1.100\n");
        const QString path = writable ? c.logDir.filePath(QStringLiteral("out")) : QStringLiteral("/proc/none/out");
        c.services.SaveAnswers << path;
        QTest::mouseClick(plot->findChild<QPushButton*>(button), Qt::LeftButton);
        QTRY_VERIFY(!plot->Exporting());
        if (!writable) {
            QCOMPARE(c.services.Titles, QStringList{QStringLiteral("Tarvio")});
            QVERIFY(c.services.Messages.first().contains(path));
            return;
        }
        QVERIFY(c.services.Messages.isEmpty());
        if (button == QLatin1String("CmdPng")) {
            QCOMPARE(QImage(path).size(), FindControl<PlotView>(*plot, "LiveView")->size());
        } else if (button == QLatin1String("CmdSvg")) {
            const QString svg = ReadText(path);
            QVERIFY(svg.contains(QStringLiteral("<svg")) && svg.contains(QStringLiteral(">전압")));
        } else {
            // What the rows hold is the CSV writer's test (test_plot_files).
            const QStringList lines = ReadText(path).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
            QCOMPARE(lines.value(0), QStringLiteral("시각,P1 V,P1 A,P2 V,P2 A"));
            QVERIFY(lines.size() >= 3);
        }
    }

    // A log opens on its own tab; the live view and its readings stay as they are.
    void OpensALogBesideTheLiveView()
    {
        PlotConsole c;
        PlotWindow* plot = c.Open();
        FindControl<QRadioButton>(c.window, "OptionMonitorCmd")->setChecked(true);
        c.port.Receive("12.000\n1.000\n");
        const QString path = c.logDir.filePath(QStringLiteral("050309_MS.txt"));
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("1.500\r   0.250\r   050309 PM 02:05:07\r\nnot a record\r\n"
                    "P1: 1.600\r   0.260\r   P2: 3.000\r   0.100\r   050309 PM 02:05:08\r\n");
        }
        c.services.OpenAnswers << path;
        FindControl<QCheckBox>(*plot, "CheckStacked")->setChecked(true);
        QTest::mouseClick(FindControl<QPushButton>(*plot, "CmdOpenLog"), Qt::LeftButton);
        QCOMPARE(FindControl<QTabWidget>(*plot, "TabViews")->count(), 2);
        QVERIFY(FindControl<PlotView>(*plot, "LogView")->Stacked());
        QCOMPARE(plot->CurrentView(), FindControl<PlotView>(*plot, "LogView"));
        QTRY_VERIFY(!plot->Loader()->Running());
        QCOMPARE(FindControl<QLabel>(*plot, "LabelLog")->text(), QStringLiteral("기록 2, 건너뛴 줄 1, 읽지 못한 값 0, 시간 되돌림 0"));
        QCOMPARE(plot->CurrentStore()->Series(0).RawCount(), qint64(2));
        QCOMPARE(FindControl<PlotView>(*plot, "LogView")->RangeStart(), QDateTime(QDate(2005, 3, 9), QTime(14, 5, 7)).toMSecsSinceEpoch());
        QCOMPARE(c.Samples(0), qint64(1));

        c.services.OpenAnswers << c.logDir.filePath(QStringLiteral("missing.txt"));
        QTest::mouseClick(FindControl<QPushButton>(*plot, "CmdOpenLog"), Qt::LeftButton);
        QCOMPARE(c.services.Titles, QStringList{QStringLiteral("Tarvio")});
        QCOMPARE(FindControl<QTabWidget>(*plot, "TabViews")->count(), 2);
    }
};

QTEST_MAIN(TestPlotWindow)
#include "test_plot_window.moc"
