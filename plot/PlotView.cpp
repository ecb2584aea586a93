// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/PlotView.h"

#include <QDateTime>
#include <QDateTimeAxis>
#include <QGraphicsLineItem>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMouseEvent>
#include <QRubberBand>
#include <QValueAxis>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {
const QColor OutputColour[2] = {QColor(0, 90, 200), QColor(210, 60, 20)};
const char* const SeriesName[PlotSeriesCount] = {"P1 V", "P1 A", "P2 V", "P2 A"};
const char* const ReferenceName[PlotSeriesCount] = {QT_TRANSLATE_NOOP("PlotView", "P1 설정 V"), QT_TRANSLATE_NOOP("PlotView", "P1 설정 A"),
                                                    QT_TRANSLATE_NOOP("PlotView", "P2 설정 V"), QT_TRANSLATE_NOOP("PlotView", "P2 설정 A")};
// Runs a series may be drawn in; beyond this the last ones are joined.
constexpr int MaxRuns = 256;
constexpr qint64 MinRange = 1000;
constexpr double WheelZoom = 0.8;
constexpr int PixelsPerColumn = 2;

bool IsCurrent(int series)
{
    return series % 2 == 1;
}
}

PlotView::PlotView(const SampleStore& store, std::function<qint64()> now, QWidget* parent)
    : QChartView(parent), store_(store), now_(std::move(now)), chart_(new QChart)
{
    setRenderHint(QPainter::Antialiasing, false);
    setRubberBand(QChartView::NoRubberBand);
    setChart(chart_);
    setMouseTracking(true);
    chart_->setMargins(QMargins(4, 4, 4, 4));
    chart_->legend()->setAlignment(Qt::AlignBottom);
    chart_->setAnimationOptions(QChart::NoAnimation);

    time_ = new QDateTimeAxis;
    time_->setFormat(QStringLiteral("HH:mm:ss"));
    time_->setTickCount(7);
    volts_ = new QValueAxis;
    volts_->setTitleText(tr("전압 (V)"));
    amps_ = new QValueAxis;
    amps_->setTitleText(tr("전류 (A)"));
    for (QValueAxis* a : {volts_, amps_})
        a->setLabelFormat(QStringLiteral("%.3f"));
    chart_->addAxis(time_, Qt::AlignBottom);
    chart_->addAxis(volts_, Qt::AlignLeft);
    chart_->addAxis(amps_, Qt::AlignRight);
    // The first series of each pool carries the legend entry.
    for (int s = 0; s < PlotSeriesCount; ++s) {
        RunSeries(runs_[s], 0, s, false);
        RunSeries(references_[s], 0, s, true);
    }
    cursor_ = new QGraphicsLineItem;
    cursor_->setPen(QPen(QColor(90, 90, 90), 1, Qt::DashLine));
    cursor_->setZValue(20);
    cursor_->hide();
    chart_->scene()->addItem(cursor_);
    band_ = new QRubberBand(QRubberBand::Rectangle, this);
    FollowRange();
}

QLineSeries* PlotView::RunSeries(std::vector<QLineSeries*>& pool, int k, int series, bool reference)
{
    while (int(pool.size()) <= k) {
        auto* line = new QLineSeries;
        QPen pen(OutputColour[series / 2]);
        // One pixel wide: a wider line goes through the slow stroker, at full
        // density several times the cost of the whole redraw.
        pen.setWidthF(1.0);
        pen.setStyle(reference ? Qt::DotLine : IsCurrent(series) ? Qt::DashLine : Qt::SolidLine);
        line->setPen(pen);
        line->setName(reference ? tr(ReferenceName[series]) : QString::fromUtf8(SeriesName[series]));
        chart_->addSeries(line);
        line->attachAxis(time_);
        line->attachAxis(IsCurrent(series) ? amps_ : volts_);
        const bool head = pool.empty();
        pool.push_back(line);
        // Hiding a series would bring its legend entry back: an unused one
        // stays shown with no points instead.
        if (!head)
            for (QLegendMarker* m : chart_->legend()->markers(line))
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
    const int columns = std::max(1, int(chart_->plotArea().width()) / PixelsPerColumn);
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
    if (time_->format() != format)
        time_->setFormat(format);
    time_->setRange(QDateTime::fromMSecsSinceEpoch(t0_), QDateTime::fromMSecsSinceEpoch(t1_));
    QValueAxis* const axes[2] = {volts_, amps_};
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
    const QRectF area = chart_->plotArea();
    std::size_t shown = 0;
    for (qint64 t : folds_) {
        if (t < t0_ || t > t1_ || shown >= 32)
            continue;
        if (shown == foldLines_.size()) {
            auto* line = new QGraphicsLineItem;
            line->setPen(QPen(QColor(128, 0, 128), 1, Qt::DashDotLine));
            line->setZValue(10);
            chart_->scene()->addItem(line);
            foldLines_.push_back(line);
        }
        const double x = area.left() + area.width() * double(t - t0_) / double(t1_ - t0_);
        foldLines_[shown]->setLine(x, area.top(), x, area.bottom());
        foldLines_[shown]->show();
        ++shown;
    }
    for (std::size_t k = shown; k < foldLines_.size(); ++k)
        foldLines_[k]->hide();
}

qint64 PlotView::TimeAtX(double x) const
{
    const QRectF area = chart_->plotArea();
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
    const QRectF area = chart_->plotArea();
    if (x < area.left() || x > area.right()) {
        cursor_->hide();
        return;
    }
    cursor_->setLine(x, area.top(), x, area.bottom());
    cursor_->show();
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
        const double perPixel = double(pressT1_ - pressT0_) / std::max(1.0, chart_->plotArea().width());
        const qint64 shift = qint64(std::llround((pressAt_.x() - at.x()) * perPixel));
        SetRange(pressT0_ + shift, pressT1_ + shift);
    } else if (dragging_ == Qt::RightButton) {
        const QRectF area = chart_->plotArea();
        band_->setGeometry(QRect(QPoint(pressAt_.x(), int(area.top())), QPoint(at.x(), int(area.bottom())))
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
    QChartView::resizeEvent(event);
    Refresh();
}
