// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QList>
#include <QPoint>
#include <QPointF>
#include <QString>

class PatternTable;

// Colours as 0xAARRGGBB, the layout QColor takes from an unsigned int, so the
// logic stays free of the GUI module and the painter converts without fuss.
using PreviewRgb = quint32;
constexpr PreviewRgb PreviewGridColour = 0xff808080u;
constexpr PreviewRgb PreviewCurveColour = 0xff00ff00u;

// Logical size of the preview picture; y grows downwards.
constexpr int PreviewWidth = 3200, PreviewHeight = 1600;

// One straight line of the preview, in the picture's logical units. Points may
// lie outside the picture: the painter clips.
struct PreviewSegment {
    QPoint From, To;
    PreviewRgb Colour = PreviewGridColour;
    bool Dotted = false;
};

// The whole preview as data, in drawing order, with what the scan found.
struct PreviewPicture {
    QList<PreviewSegment> Segments;
    float PreviewMaxTime = 0;
    int PreviewStepCount = 0;
};

// The grid, then the pattern's staircase: voltages against the maximum voltage
// text in CV, currents against the maximum current text in CC. A full scale
// that reads 0 or less leaves the grid alone, as does a largest time of 0.
PreviewPicture ComposePreviewPicture(const PatternTable& table, bool cvMode,
                                     const QString& maxVoltageText, const QString& maxCurrentText);

// Centre of the run's progress circle on its strip. With no time scale
// (0 or not a finite number) the circle sits at the left edge.
QPointF ProgressMarkCentre(double stepTime, float previewMaxTime);
