// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDateTime>
#include <QString>
#include <QStringView>
#include <functional>
#include <optional>

#include "link/ReceiveParser.h"
#include "plot/SampleStore.h"

// A reply as a number: surrounding blanks and the reply's carriage return are
// ignored, a sign and an exponent are accepted; anything else (an error
// text, a garbled or empty reply, infinity) is not a reading.
std::optional<double> ReadReading(QStringView text);
// The same for the bytes of a log file's field.
std::optional<double> ReadReading(QByteArrayView bytes);

// Turns the replies that land in the console's readouts into the live plot's
// samples, stamped on a time line that is spaced by a monotonic clock and
// anchored to the wall clock once, so a clock change never folds the plot.
class LiveReadings {
public:
    using MonotonicClock = std::function<qint64()>;   // milliseconds, never going back
    using WallClock = std::function<QDateTime()>;

    LiveReadings(MonotonicClock monotonic, WallClock wall, std::size_t budgetBytes = SampleStore::DefaultBudget);

    const SampleStore& Store() const { return store_; }

    void ReadoutShown(Readout which, const QString& text);
    // The port was lost or the mode changed: the lines stop here.
    void Interrupted();

    qint64 Now() const;
    int Unreadable() const { return unreadable_; }

private:
    SampleStore store_;
    MonotonicClock monotonic_;
    qint64 anchorWall_;
    qint64 anchorMonotonic_;
    int unreadable_ = 0;
};
