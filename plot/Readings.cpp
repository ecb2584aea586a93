// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/Readings.h"

#include <cmath>
#include <limits>

std::optional<double> ReadReading(QByteArrayView bytes)
{
    const QByteArrayView trimmed = bytes.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    // The plot keeps samples as floats: a larger value would be drawn as infinity.
    if (!ok || !std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
        return std::nullopt;
    return value;
}

LiveReadings::LiveReadings(MonotonicClock monotonic, WallClock wall, std::size_t budgetBytes)
    : store_(budgetBytes), monotonic_(std::move(monotonic)), anchorWall_(wall().toMSecsSinceEpoch()),
      anchorMonotonic_(monotonic_())
{
}

qint64 LiveReadings::Now() const
{
    return anchorWall_ + (monotonic_() - anchorMonotonic_);
}

std::optional<double> LiveReadings::Readable(const QString& text)
{
    const std::optional<double> value = ReadReading(text.toLatin1());
    if (!value)
        ++unreadable_;
    return value;
}

void LiveReadings::Measured(int series, const QString& text, qint64 at)
{
    if (const std::optional<double> value = Readable(text))
        store_.Append(series, anchorWall_ + (at - anchorMonotonic_), float(*value));
}

void LiveReadings::SetValue(int series, const QString& text, qint64 at)
{
    if (const std::optional<double> value = Readable(text))
        store_.SetReference(series, anchorWall_ + (at - anchorMonotonic_), float(*value));
}

void LiveReadings::Interrupted()
{
    store_.BreakAll();
}
