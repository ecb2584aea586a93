// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDateTime>
#include <QDeadlineTimer>
#include <functional>

// Clocks are handed in, so that whatever waits or stamps can be driven by a
// test without sleeping. Monotonic time is in milliseconds and never goes
// back; wall time is the local clock the operator reads, which may.
using MonotonicClock = std::function<qint64()>;
using WallClock = std::function<QDateTime()>;

inline qint64 SteadyNow()
{
    return QDeadlineTimer::current(Qt::PreciseTimer).deadline();
}
// The same clock in microseconds, for what is timed to better than a millisecond.
inline qint64 SteadyMicros()
{
    return QDeadlineTimer::current(Qt::PreciseTimer).deadlineNSecs() / 1000;
}
inline QDateTime LocalNow()
{
    return QDateTime::currentDateTime();
}
