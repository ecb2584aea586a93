// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/PlotView.h"

#include <QDateTime>
#include <QChart>
#include <QDateTimeAxis>
#include <QGraphicsLineItem>
#include <QGraphicsScene>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMouseEvent>
#include <QRubberBand>
#include <QValueAxis>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {
// A hue of its own for each series, so that voltage and current stay apart
// where both axes happen to put them on the same height; P1 in cool hues,
// P2 in warm ones. None is the purple of the fold lines.
const QColor SeriesColour[PlotSeriesCount] = {QColor(0, 90, 200), QColor(20, 150, 40), QColor(215, 70, 0),
                                              QColor(200, 40, 140)};
const char* const SeriesName[PlotSeriesCount] = {"P1 V", "P1 A", "P2 V", "P2 A"};
const char* const ReferenceName[PlotSeriesCount] = {QT_TRANSLATE_NOOP("PlotView", "P1 설정 V"), QT_TRANSLATE_NOOP("PlotView", "P1 설정 A"),
                                                    QT_TRANSLATE_NOOP("PlotView", "P2 설정 V"), QT_TRANSLATE_NOOP("PlotView", "P2 설정 A")};
// Runs a series may be drawn in; beyond this the last ones are joined.
constexpr int MaxRuns = 256;
constexpr qint64 MinRange = 1000;
constexpr double WheelZoom = 0.8;
constexpr int PixelsPerColumn = 2;
constexpr int Margin = 4;
// In pen widths: on, off.
const QList<qreal> ReferenceDashes = {6, 3};
const QList<qreal> CurrentDots = {2, 2};

bool IsCurrent(int series)
{
    return series % 2 == 1;
}
}

PlotView::PlotView(const SampleStore& store, std::function<qint64()> now, QWidget* parent)
    : QGraphicsView(parent), store_(store), now_(std::move(now))
{
    setScene(new QGraphicsScene(this));
    setFrameShape(QFrame::NoFrame);
    setBackgroundRole(QPalette::Window);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setRenderHint(QPainter::Antialiasing, false);
    setMouseTracking(true);
    band_ = new QRubberBand(QRubberBand::Rectangle, this);
    BuildPanes();
    FollowRange();
}

void PlotView::BuildPanes()
{
    for (auto* pools : {runs_, references_})
        for (int s = 0; s < PlotSeriesCount; ++s)
            pools[s].clear();
    // A chart owns its axes and series, and the cursor and fold lines are its children.
    for (PaneItems& pane : panes_) {
        delete pane.Chart;
        pane = PaneItems();
    }
    const int count = PaneCount();
    for (int k = 0; k < count; ++k) {
        PaneItems& pane = panes_[k];
        pane.Chart = new QChart;
        pane.Chart->setMargins(QMargins(Margin, k == 0 ? Margin : 0, Margin, Margin));
        pane.Chart->legend()->setAlignment(Qt::AlignBottom);
        // Each entry draws a piece of its line: colour and dashes as in the plot.
        pane.Chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
        pane.Chart->setAnimationOptions(QChart::NoAnimation);
        pane.Time = new QDateTimeAxis;
        pane.Time->setFormat(QStringLiteral("HH:mm:ss"));
        pane.Time->setTickCount(7);
        // One time axis: the upper pane keeps only its grid.
        pane.Time->setLabelsVisible(k == count - 1);
        pane.Chart->addAxis(pane.Time, Qt::AlignBottom);
        pane.Cursor = new QGraphicsLineItem(pane.Chart);
        pane.Cursor->setPen(QPen(QColor(90, 90, 90), 1, Qt::DashLine));
        pane.Cursor->setZValue(20);
        pane.Cursor->hide();
        scene()->addItem(pane.Chart);
        connect(pane.Chart, &QChart::plotAreaChanged, this, &PlotView::AlignPanes);
    }
    values_[0] = new QValueAxis;
    values_[0]->setTitleText(tr("전압 (V)"));
    values_[1] = new QValueAxis;
    values_[1]->setTitleText(tr("전류 (A)"));
    for (QValueAxis* a : values_)
        a->setLabelFormat(QStringLiteral("%.3f"));
    panes_[0].Chart->addAxis(values_[0], Qt::AlignLeft);
    panes_[count - 1].Chart->addAxis(values_[1], stacked_ ? Qt::AlignLeft : Qt::AlignRight);
    // The first series of each pool carries the legend entry.
    for (int s = 0; s < PlotSeriesCount; ++s) {
        RunSeries(runs_[s], 0, s, false);
        RunSeries(references_[s], 0, s, true);
    }
    LayOutPanes();
}

PlotView::PaneItems& PlotView::PaneOf(int series)
{
    return panes_[stacked_ && IsCurrent(series) ? 1 : 0];
}

void PlotView::LayOutPanes()
{
    const QSize size = viewport()->size();
    const int count = PaneCount();
    for (int k = 0; k < count; ++k) {
        const int top = size.height() * k / count;
        panes_[k].Chart->setGeometry(QRectF(0, top, size.width(), size.height() * (k + 1) / count - top));
    }
    setSceneRect(QRectF(QPointF(0, 0), size));
}

void PlotView::AlignPanes()
{
    if (!stacked_)
        return;
    // Voltage and current labels differ in width, and only the lower pane
    // labels the time: each side is indented to the wider of the two, so one
    // x is one time in both panes.
    int natural[2][2], widest[2] = {0, 0};
    for (int k = 0; k < 2; ++k) {
        const QChart* chart = panes_[k].Chart;
        const QRectF area = chart->plotArea();
        natural[k][0] = int(std::lround(area.left())) - panes_[k].Indent[0];
        natural[k][1] = int(std::lround(chart->size().width() - area.right())) - panes_[k].Indent[1];
        for (int side = 0; side < 2; ++side)
            widest[side] = std::max(widest[side], natural[k][side]);
    }
    for (int k = 0; k < 2; ++k) {
        PaneItems& pane = panes_[k];
        const int left = widest[0] - natural[k][0], right = widest[1] - natural[k][1];
        if (pane.Indent[0] == left && pane.Indent[1] == right)
            continue;
        pane.Indent[0] = left;
        pane.Indent[1] = right;
        pane.Chart->setMargins(QMargins(Margin + left, k == 0 ? Margin : 0, Margin + right, Margin));
    }
    PlaceFolds();
}

QRectF PlotView::PlotArea(const PaneItems& pane) const
{
    return pane.Chart->plotArea().translated(pane.Chart->pos());
}

QLineSeries* PlotView::RunSeries(std::vector<QLineSeries*>& pool, int k, int series, bool reference)
{
    PaneItems& pane = PaneOf(series);
    while (int(pool.size()) <= k) {
        auto* line = new QLineSeries;
        QPen pen(SeriesColour[series]);
        // One pixel wide: a wider line goes through the slow stroker, at full
        // density several times the cost of the whole redraw.
        pen.setWidthF(1.0);
        // Set values in long dashes; a measured current dotted, so that a
        // voltage it lies on where both axes scale alike shows between its dots.
        if (reference)
            pen.setDashPattern(ReferenceDashes);
        else if (IsCurrent(series))
            pen.setDashPattern(CurrentDots);
        line->setPen(pen);
        line->setName(reference ? tr(ReferenceName[series]) : QString::fromUtf8(SeriesName[series]));
        pane.Chart->addSeries(line);
        line->attachAxis(pane.Time);
        line->attachAxis(values_[IsCurrent(series) ? 1 : 0]);
        const bool head = pool.empty();
        pool.push_back(line);
        // Hiding a series would bring its legend entry back: an unused one
        // stays shown with no points instead.
        if (!head)
            for (QLegendMarker* m : pane.Chart->legend()->markers(line))
                m->setVisible(false);
    }
    return pool[k];
}

void PlotView::ShowRuns(std::vector<QLineSeries*>& pool, const std::vector<PlotRun>& runs, int series,
                        bool reference)
{
    const int used = std::min<int>(int(runs.size()), MaxRuns);
    for (int k = 0; k < std::max<int>(used, int(pool.size())); ++k) {
        QList<QPointF> points;
        if (k < used) {
            const int last = k == used - 1 ? int(runs.size()) : k + 1;
            for (int r = k; r < last; ++r)
                for (const PlotPoint& p : runs[r])
                    points.append(QPointF(p.T, p.V));
        }
        QLineSeries* line = RunSeries(pool, k, series, reference);
        pointsHanded_ += int(points.size());
        if (!points.isEmpty())
            line->replace(points);
    }
}

void PlotView::SetSpan(qint64 ms)
{
    span_ = ms;
    Follow();
}

void PlotView::Follow()
{
    following_ = true;
    Refresh();
}

void PlotView::SetRange(qint64 t0, qint64 t1)
{
    following_ = false;
    t0_ = t0;
    t1_ = std::max(t1, t0 + MinRange);
    Refresh();
}

void PlotView::SetSeriesVisible(int series, bool on)
{
    visible_[series] = on;
    Refresh();
}

void PlotView::SetStacked(bool on)
{
    if (on == stacked_)
        return;
    stacked_ = on;
    BuildPanes();
    Refresh();
}

void PlotView::SetFolds(std::vector<qint64> folds)
{
    folds_ = std::move(folds);
    PlaceFolds();
}

void PlotView::FollowRange()
{
    const qint64 end = now_();
    t1_ = std::max(end, store_.Empty() ? end : store_.LastTime());
    t0_ = span_ > 0 ? t1_ - span_ : (store_.Empty() ? t1_ - MinRange : store_.FirstTime());
    if (t1_ - t0_ < MinRange)
        t0_ = t1_ - MinRange;
}

void PlotView::Refresh()
{
    if (following_)
        FollowRange();
    // A minimum and a maximum every two pixels: the envelope looks the same
    // as with a pair on each pixel, for half the points.
    const int columns = std::max(1, int(PlotArea(panes_[0]).width()) / PixelsPerColumn);
    pointsHanded_ = 0;
    std::vector<PlotRun> runs[PlotSeriesCount], references[PlotSeriesCount];
    double lo[2] = {INFINITY, INFINITY}, hi[2] = {-INFINITY, -INFINITY};
    for (int s = 0; s < PlotSeriesCount; ++s) {
        if (!visible_[s])
            continue;
        runs[s] = store_.Series(s).Decimate(t0_, t1_, columns);
        references[s] = store_.ReferenceRuns(s, t0_, t1_, std::max(now_(), store_.LastTime()));
        const int axis = IsCurrent(s) ? 1 : 0;
        for (const auto* group : {&runs[s], &references[s]})
            for (const PlotRun& run : *group)
                for (const PlotPoint& p : run) {
                    lo[axis] = std::min(lo[axis], p.V);
                    hi[axis] = std::max(hi[axis], p.V);
                }
    }
    // Every change of an axis lays out all series again (and the chart
    // strokes each line's outline for hovering): the old points go first,
    // the ranges are set only when they change, then the new points come.
    for (auto* pools : {runs_, references_})
        for (int s = 0; s < PlotSeriesCount; ++s)
            for (QLineSeries* line : pools[s])
                if (line->count() > 0)
                    line->clear();
    const QString format = t1_ - t0_ > 24 * 3600 * 1000 ? QStringLiteral("MM-dd HH:mm") : QStringLiteral("HH:mm:ss");
    for (int k = 0; k < PaneCount(); ++k) {
        QDateTimeAxis* time = panes_[k].Time;
        if (time->format() != format)
            time->setFormat(format);
        time->setRange(QDateTime::fromMSecsSinceEpoch(t0_), QDateTime::fromMSecsSinceEpoch(t1_));
    }
    QValueAxis* const* axes = values_;
    for (int a = 0; a < 2; ++a) {
        if (lo[a] > hi[a]) {
            lo[a] = 0;
            hi[a] = 1;
        }
        // Kept while the readings stay inside it, so the axis does not twitch.
        const double margin = std::max((hi[a] - lo[a]) * 0.05, 0.01);
        const bool inside = lo[a] >= axes[a]->min() && hi[a] <= axes[a]->max();
        const bool tight = (axes[a]->max() - axes[a]->min()) < 4 * (hi[a] - lo[a] + 2 * margin);
        if (!(inside && tight)) {
            axes[a]->setRange(lo[a] - margin, hi[a] + margin);
            axes[a]->applyNiceNumbers();
        }
    }
    for (int s = 0; s < PlotSeriesCount; ++s) {
        ShowRuns(runs_[s], runs[s], s, false);
        ShowRuns(references_[s], references[s], s, true);
    }
    PlaceFolds();
}

void PlotView::PlaceFolds()
{
    for (int k = 0; k < PaneCount(); ++k) {
        PaneItems& pane = panes_[k];
        const QRectF area = pane.Chart->plotArea();
        std::size_t shown = 0;
        for (qint64 t : folds_) {
            if (t < t0_ || t > t1_ || shown >= 32)
                continue;
            if (shown == pane.FoldLines.size()) {
                auto* line = new QGraphicsLineItem(pane.Chart);
                line->setPen(QPen(QColor(128, 0, 128), 1, Qt::DashDotLine));
                line->setZValue(10);
                pane.FoldLines.push_back(line);
            }
            const double x = area.left() + area.width() * double(t - t0_) / double(t1_ - t0_);
            pane.FoldLines[shown]->setLine(x, area.top(), x, area.bottom());
            pane.FoldLines[shown]->show();
            ++shown;
        }
        for (std::size_t j = shown; j < pane.FoldLines.size(); ++j)
            pane.FoldLines[j]->hide();
    }
}

qint64 PlotView::TimeAtX(double x) const
{
    const QRectF area = PlotArea(panes_[0]);
    const double f = (x - area.left()) / std::max(1.0, area.width());
    return t0_ + qint64(std::llround(f * double(t1_ - t0_)));
}

QString PlotView::CursorText(qint64 t) const
{
    QString text = QDateTime::fromMSecsSinceEpoch(t).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    for (int s = 0; s < PlotSeriesCount; ++s) {
        qint64 at;
        float v;
        text += QStringLiteral("   %1 ").arg(QString::fromUtf8(SeriesName[s]));
        text += store_.Series(s).Nearest(t, &at, &v) ? QString::number(double(v), 'f', 3) : QStringLiteral("-");
    }
    return text;
}

void PlotView::PlaceCursor(double x)
{
    const QRectF area = PlotArea(panes_[0]);
    const bool inside = x >= area.left() && x <= area.right();
    for (int k = 0; k < PaneCount(); ++k) {
        const PaneItems& pane = panes_[k];
        const QRectF own = pane.Chart->plotArea();
        pane.Cursor->setLine(x - pane.Chart->pos().x(), own.top(), x - pane.Chart->pos().x(), own.bottom());
        pane.Cursor->setVisible(inside);
    }
    if (inside)
        emit CursorMoved(CursorText(TimeAtX(x)));
}

void PlotView::wheelEvent(QWheelEvent* event)
{
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0)
        return;
    const qint64 at = TimeAtX(event->position().x());
    const double factor = std::pow(WheelZoom, steps);
    SetRange(at - qint64((at - t0_) * factor), at + qint64((t1_ - at) * factor));
    event->accept();
}

void PlotView::mousePressEvent(QMouseEvent* event)
{
    dragging_ = event->button();
    pressAt_ = event->position().toPoint();
    pressT0_ = t0_;
    pressT1_ = t1_;
    if (dragging_ == Qt::RightButton) {
        band_->setGeometry(QRect(pressAt_, QSize()));
        band_->show();
    }
    event->accept();
}

void PlotView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (dragging_ == Qt::LeftButton) {
        const double perPixel = double(pressT1_ - pressT0_) / std::max(1.0, PlotArea(panes_[0]).width());
        const qint64 shift = qint64(std::llround((pressAt_.x() - at.x()) * perPixel));
        SetRange(pressT0_ + shift, pressT1_ + shift);
    } else if (dragging_ == Qt::RightButton) {
        const double top = PlotArea(panes_[0]).top(), bottom = PlotArea(panes_[PaneCount() - 1]).bottom();
        band_->setGeometry(QRect(QPoint(pressAt_.x(), int(top)), QPoint(at.x(), int(bottom)))
                               .normalized());
    }
    PlaceCursor(at.x());
    event->accept();
}

void PlotView::mouseReleaseEvent(QMouseEvent* event)
{
    if (dragging_ == Qt::RightButton) {
        band_->hide();
        const int x0 = std::min(pressAt_.x(), int(event->position().x()));
        const int x1 = std::max(pressAt_.x(), int(event->position().x()));
        if (x1 - x0 >= 3)
            SetRange(TimeAtX(x0), TimeAtX(x1));
    }
    dragging_ = Qt::NoButton;
    event->accept();
}

void PlotView::mouseDoubleClickEvent(QMouseEvent* event)
{
    Follow();
    event->accept();
}

void PlotView::resizeEvent(QResizeEvent* event)
{
    QGraphicsView::resizeEvent(event);
    LayOutPanes();
    Refresh();
}
