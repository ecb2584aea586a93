// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulator/SilencePlan.h"

#include <cmath>

namespace sim {

namespace {
// Keeps a wake-up at exactly a boundary from landing a rounding short of it
// and waking again at once.
constexpr double BoundaryTolerance = 1e-9;
}

SilencePlan::SilencePlan(const SimOptions& options, double startedAt)
{
    if (options.StopAfterSeconds >= 0)
        stopAt_ = startedAt + options.StopAfterSeconds;
    const double first = options.SilentAfterSeconds >= 0 ? options.SilentAfterSeconds : options.SilentEverySeconds;
    if (first >= 0 && options.SilentForSeconds > 0) {
        firstAt_ = startedAt + first;
        length_ = options.SilentForSeconds;
        if (options.SilentEverySeconds > 0)
            cycle_ = length_ + options.SilentEverySeconds;
    }
}

bool SilencePlan::Silent(double now) const
{
    if (stopAt_ >= 0 && now + BoundaryTolerance >= stopAt_)
        return true;
    if (firstAt_ < 0 || now + BoundaryTolerance < firstAt_)
        return false;
    const double into = now - firstAt_;
    const double phase = cycle_ > 0 ? into - std::floor((into + BoundaryTolerance) / cycle_) * cycle_ : into;
    return phase + BoundaryTolerance < length_;
}

double SilencePlan::NextChangeAt(double now) const
{
    if (stopAt_ >= 0 && now + BoundaryTolerance >= stopAt_)
        return -1;
    double next = -1;
    bool inWindow = false;
    if (firstAt_ >= 0) {
        if (now + BoundaryTolerance < firstAt_) {
            next = firstAt_;
        } else {
            const double round = cycle_ > 0 ? std::floor((now - firstAt_ + BoundaryTolerance) / cycle_) : 0;
            const double start = firstAt_ + round * cycle_;
            inWindow = now + BoundaryTolerance < start + length_;
            if (inWindow)
                next = start + length_;
            else if (cycle_ > 0)
                next = start + cycle_;
        }
    }
    // Stopping in the middle of a silence changes nothing: it only never ends.
    if (stopAt_ >= 0 && (next < 0 || stopAt_ < next))
        return inWindow ? -1 : stopAt_;
    return next;
}

} // namespace sim
