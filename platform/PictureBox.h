// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QColor>
#include <QList>
#include <QPointF>
#include <QWidget>

// A drawing surface in fixed logical units (y down) that keeps what was drawn
// until cleared and scales it to whatever size the window gives it; lines
// outside the surface are clipped.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    PictureBox(int logicalWidth, int logicalHeight, QWidget* parent = nullptr);

    void Clear();
    void DrawLine(QPointF from, QPointF to, const QColor& colour, bool dotted = false);
    void DrawCircle(QPointF centre, double radius, const QColor& colour);

    struct Shape {
        bool Circle = false;
        QPointF A, B;     // line ends, or the circle's centre and (radius, 0)
        QColor Colour;
        bool Dotted = false;
    };
    const QList<Shape>& Shapes() const { return shapes_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    int width_, height_;
    QList<Shape> shapes_;
};
