// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QGraphicsView>
#include <functional>
#include <vector>

#include "plot/SampleStore.h"

class QChart;
class QDateTimeAxis;
class QGraphicsLineItem;
class QLineSeries;
class QRubberBand;
class QValueAxis;

// The chart of a sample store: voltage and current on one pane (voltage
// left, current right) or stacked on two (voltage above, current below), with
// local clock time below. It follows the latest readings over a span until
// the operator zooms (wheel, rubber band with the right button) or pans
// (drag); a double-click returns to following. The charts are only ever
// handed the decimated points.
class PlotView : public QGraphicsView {
    Q_OBJECT
public:
    // now: the time the followed view ends at.
    PlotView(const SampleStore& store, std::function<qint64()> now, QWidget* parent = nullptr);

    // The followed span in milliseconds; 0 shows the whole run.
    void SetSpan(qint64 ms);
    void Follow();
    bool Following() const { return following_; }
    void SetRange(qint64 t0, qint64 t1);
    qint64 RangeStart() const { return t0_; }
    qint64 RangeEnd() const { return t1_; }
    void SetSeriesVisible(int series, bool on);
    bool SeriesVisible(int series) const { return visible_[series]; }
    void SetStacked(bool on);
    bool Stacked() const { return stacked_; }
    // One pane, or two when stacked (voltage first).
    int PaneCount() const { return stacked_ ? 2 : 1; }
    QChart* Pane(int k) const { return panes_[k].Chart; }
    void SetFolds(std::vector<qint64> folds);
    // Reads the store again and redraws the points.
    void Refresh();
    // Points handed to the charts at the last refresh, all series together.
    int PointsHanded() const { return pointsHanded_; }
    // The time under the cursor line and the four readings nearest to it.
    QString CursorText(qint64 t) const;

signals:
    void CursorMoved(const QString& text);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // A chart with its own time axis; the time axes of both panes always
    // carry the same range.
    struct PaneItems {
        QChart* Chart = nullptr;
        QDateTimeAxis* Time = nullptr;
        QGraphicsLineItem* Cursor = nullptr;
        std::vector<QGraphicsLineItem*> FoldLines;
        // Added to the left and right margins so that both panes' plot areas line up.
        int Indent[2] = {0, 0};
    };

    void BuildPanes();
    PaneItems& PaneOf(int series);
    void LayOutPanes();
    void AlignPanes();
    QRectF PlotArea(const PaneItems& pane) const;   // in view coordinates
    QLineSeries* RunSeries(std::vector<QLineSeries*>& pool, int k, int series, bool reference);
    void ShowRuns(std::vector<QLineSeries*>& pool, const std::vector<PlotRun>& runs, int series, bool reference);
    qint64 TimeAtX(double x) const;
    void FollowRange();
    void PlaceCursor(double x);
    void PlaceFolds();

    const SampleStore& store_;
    std::function<qint64()> now_;
    PaneItems panes_[2];
    QValueAxis* values_[2] = {nullptr, nullptr};   // volts, amps
    std::vector<QLineSeries*> runs_[PlotSeriesCount];
    std::vector<QLineSeries*> references_[PlotSeriesCount];
    std::vector<qint64> folds_;
    QRubberBand* band_;
    QPoint pressAt_;
    qint64 pressT0_ = 0, pressT1_ = 0;
    Qt::MouseButton dragging_ = Qt::NoButton;
    bool visible_[PlotSeriesCount] = {true, true, true, true};
    bool stacked_ = false;
    bool following_ = true;
    qint64 span_ = 5 * 60 * 1000;
    qint64 t0_ = 0, t1_ = 1;
    int pointsHanded_ = 0;
};
