// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QTimer>
#include <QWidget>
#include <memory>

#include "plot/SampleStore.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSaveFile;
class QTabWidget;
class CsvWriter;
class LiveReadings;
class LogLoader;
class PlotView;
class UiServices;

// The trend window "측정 그래프": the live readings and, on its own tab, a
// measurement log file opened for a look. It only listens to the console.
class PlotWindow : public QWidget {
    Q_OBJECT
public:
    PlotWindow(LiveReadings& live, UiServices& services, QWidget* parent = nullptr);
    ~PlotWindow() override;

    // The span choices, in the order of the span box; 0 is the whole run.
    static const qint64 Spans[5];

    void CmdPng_Click();
    void CmdSvg_Click();
    // The samples of the view, or of the whole run, as CSV.
    void CmdCsv_Click(bool wholeRun);
    void CmdOpenLog_Click();
    void CmdCancelLog_Click();
    void RefreshTimer_Timer();
    // True while a CSV export is still being written.
    bool Exporting() const { return csvWriter_ != nullptr; }
    const LiveReadings& Live() const { return live_; }
    // The log being read or last read, if any.
    const LogLoader* Loader() const { return loader_.get(); }
    // The view of the tab shown.
    PlotView* CurrentView() const;
    const SampleStore* CurrentStore() const;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QComboBox* ComboSpan;
    QCheckBox* CheckSeries[PlotSeriesCount];
    QCheckBox* CheckStacked;
    QPushButton *CmdPng, *CmdSvg, *CmdCsvView, *CmdCsvAll, *CmdOpenLog, *CmdCancelLog;
    QLabel *LabelUnreadable, *LabelCursor, *LabelLog;
    QProgressBar* ProgressLog;
    QTabWidget* TabViews;
    PlotView* LiveView;
    PlotView* LogView = nullptr;
    QTimer RefreshTimer, CsvTimer;

    void BuildControls();
    QString SavePath(const QString& title, const QString& filter, const QString& suffix);
    void Fail(const QString& text);
    void CsvTimer_Timer();
    void LogFinished(bool ok);
    void ShowLogCounts();

    LiveReadings& live_;
    UiServices& services_;
    std::unique_ptr<SampleStore> logStore_;
    std::unique_ptr<LogLoader> loader_;
    std::unique_ptr<QSaveFile> csvFile_;
    std::unique_ptr<CsvWriter> csvWriter_;
};
