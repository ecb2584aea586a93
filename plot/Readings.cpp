// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/Readings.h"

#include <QLocale>
#include <cmath>

std::optional<double> ReadReading(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> ReadReading(QByteArrayView bytes)
{
    const QByteArrayView trimmed = bytes.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    if (!ok || !std::isfinite(value))
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

void LiveReadings::ReadoutShown(Readout which, const QString& text)
{
    const std::optional<double> value = ReadReading(text);
    if (!value) {
        ++unreadable_;
        return;
    }
    const int index = int(which);
    if (index < PlotSeriesCount)
        store_.Append(index, Now(), float(*value));
    else
        store_.SetReference(index - PlotSeriesCount, Now(), float(*value));
}

void LiveReadings::Interrupted()
{
    store_.BreakAll();
}
