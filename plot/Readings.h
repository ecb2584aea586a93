// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>

#include "core/Clock.h"
#include "plot/SampleStore.h"

// A reply, or a log file's field, as a number: surrounding blanks and the
// reply's carriage return are ignored, a sign and an exponent are accepted;
// anything else (an error text, a garbled or empty reply, infinity or a value
// beyond a float's range) is not a reading.
std::optional<double> ReadReading(QByteArrayView bytes);

// Turns readings into the live plot's samples, stamped on a time line that is
// spaced by a monotonic clock and anchored to the wall clock once, so a clock
// change never folds the plot. A reading arrives as reply text for one of the
// plot's series (0 to 3: P1 voltage, P1 current, P2 voltage, P2 current) with
// the monotonic time it arrived.
class LiveReadings {
public:
    LiveReadings(MonotonicClock monotonic, WallClock wall, std::size_t budgetBytes = SampleStore::DefaultBudget);

    const SampleStore& Store() const { return store_; }

    void Measured(int series, const QString& text, qint64 at);
    // A set value: the series' reference line from then on.
    void SetValue(int series, const QString& text, qint64 at);
    // The port was lost or the mode changed: the lines stop here.
    void Interrupted();

    qint64 Now() const;
    int Unreadable() const { return unreadable_; }

private:
    // A non-number is only counted.
    std::optional<double> Readable(const QString& text);

    SampleStore store_;
    MonotonicClock monotonic_;
    qint64 anchorWall_;
    qint64 anchorMonotonic_;
    int unreadable_ = 0;
};
