// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PictureBox.h"

#include <QPainter>

PictureBox::PictureBox(int logicalWidth, int logicalHeight, QWidget* parent)
    : QWidget(parent), width_(logicalWidth), height_(logicalHeight)
{
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::black);
    setPalette(p);
}

void PictureBox::Clear()
{
    shapes_.clear();
    update();
}

void PictureBox::DrawLine(QPointF from, QPointF to, const QColor& colour, bool dotted)
{
    shapes_.append(Shape{false, from, to, colour, dotted});
    update();
}

void PictureBox::DrawCircle(QPointF centre, double radius, const QColor& colour)
{
    shapes_.append(Shape{true, centre, QPointF(radius, 0), colour, false});
    update();
}

QSize PictureBox::sizeHint() const
{
    // 1440 logical units to the inch, shown at 96 pixels to the inch.
    return {width_ * 96 / 1440, height_ * 96 / 1440};
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setClipRect(rect());
    // The far edges (x = width, y = height) land on the last pixel, so a line
    // drawn there, like the last step of a pattern, stays visible.
    const double sx = double(width() - 1) / width_, sy = double(height() - 1) / height_;
    p.scale(sx, sy);
    for (const Shape& s : shapes_) {
        QPen pen(s.Colour, 0, s.Dotted ? Qt::DotLine : Qt::SolidLine);
        p.setPen(pen);
        if (s.Circle) {
            p.setRenderHint(QPainter::Antialiasing, true);
            // The radius is in horizontal units; the strip scales x and y
            // apart, and a circle must come out round at any width.
            p.drawEllipse(s.A, s.B.x(), s.B.x() * (sy > 0 ? sx / sy : 1.0));
            p.setRenderHint(QPainter::Antialiasing, false);
        } else {
            p.drawLine(s.A, s.B);
        }
    }
}
