// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pattern/PreviewGeometry.h"

#include "pattern/PatternTable.h"
#include "pattern/StepValues.h"

#include <cfloat>
#include <cmath>

namespace {
// Far beyond the picture yet safe for int arithmetic in the painter: a value
// of 1e12 must still draw off the edge, not wrap round into view.
constexpr double CoordinateLimit = 1000000.0;

double Bounded(double value)
{
    if (std::isnan(value))
        return 0.0;
    return std::fmax(-CoordinateLimit, std::fmin(CoordinateLimit, value));
}

// Single precision as the preview keeps its scales; a value beyond float's
// range becomes infinite instead of an undefined conversion.
float Single(double value)
{
    if (std::fabs(value) > FLT_MAX)
        return value > 0 ? HUGE_VALF : -HUGE_VALF;
    return float(value);
}

int Coordinate(double value)
{
    return int(RoundHalfEven(Bounded(value)));
}

void AddGridLine(PreviewPicture& picture, QPoint from, QPoint to, bool dotted)
{
    picture.Segments.append({from, to, PreviewGridColour, dotted});
}

void AddCurveLine(PreviewPicture& picture, QPoint from, QPoint to)
{
    picture.Segments.append({from, to, PreviewCurveColour, false});
}
}

PreviewPicture ComposePreviewPicture(const PatternTable& table, bool cvMode,
                                     const QString& maxVoltageText, const QString& maxCurrentText)
{
    PreviewPicture picture;
    AddGridLine(picture, {0, 400}, {PreviewWidth, 400}, true);
    AddGridLine(picture, {0, 800}, {PreviewWidth, 800}, false);
    AddGridLine(picture, {0, 1200}, {PreviewWidth, 1200}, true);
    AddGridLine(picture, {800, 0}, {800, PreviewHeight}, true);
    AddGridLine(picture, {1600, 0}, {1600, PreviewHeight}, false);
    AddGridLine(picture, {2400, 0}, {2400, PreviewHeight}, true);

    // The largest time is kept in single precision because the run engine
    // scales its progress strip by exactly this value.
    // A step cut short after its time still counts: its time is on the scale.
    const CellPosition end = table.FirstEmptyCell();
    picture.PreviewStepCount = end.Column > 1 ? end.Row : end.Row - 1;
    float largest = 0;
    for (int n = 1; n <= picture.PreviewStepCount; ++n) {
        const double t = LeadingNumber(table.Cell(n, 1));
        if (t >= largest)
            largest = Single(t);
    }
    picture.PreviewMaxTime = largest;

    const int column = cvMode ? 2 : 3;
    const float scale = Single(LeadingNumber(cvMode ? maxVoltageText : maxCurrentText));
    if (largest == 0 || !std::isfinite(largest) || !(scale > 0) || !std::isfinite(scale))
        return picture;

    auto level = [&](int row) { return PreviewHeight - LeadingNumber(table.Cell(row, column)) * PreviewHeight / scale; };
    int x0 = 0;
    double y0 = level(1);
    for (int n = 1; n <= picture.PreviewStepCount; ++n) {
        const int x = Coordinate(LeadingNumber(table.Cell(n, 1)) * PreviewWidth / largest);
        if (table.Cell(n, column).isEmpty())
            break;
        const double y = level(n);
        const int held = Coordinate(y0);
        AddCurveLine(picture, {x0, held}, {x, held});
        AddCurveLine(picture, {x, held}, {x, Coordinate(y)});
        x0 = x;
        y0 = y;
    }
    return picture;
}

QPointF ProgressMarkCentre(double stepTime, float previewMaxTime)
{
    constexpr double middle = 70;
    if (previewMaxTime == 0 || !std::isfinite(previewMaxTime))
        return {0, middle};
    return {Bounded(stepTime * PreviewWidth / previewMaxTime), middle};
}
