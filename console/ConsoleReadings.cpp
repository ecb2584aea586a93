// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/ConsoleReadings.h"

ConsoleReadings::ConsoleReadings(MonotonicClock clock, QObject* parent) : QObject(parent), clock_(std::move(clock)) {}

void ConsoleReadings::Arrive(Readout which, const QString& text)
{
    Reading& r = readings_[int(which)];
    r.Text = text;
    r.ArrivedAt = clock_();
    emit Arrived(which, text, r.ArrivedAt);
}
