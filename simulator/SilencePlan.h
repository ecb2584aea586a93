// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "simulator/SimOptions.h"

namespace sim {

// When the instrument plays dead while its line stays open: for good from
// --stop-after on, and for --silent-for seconds at --silent-after, once or
// every --silent-every seconds of answering. Plain arithmetic on the times it
// is given, so a test can walk it through its rounds without waiting for them.
class SilencePlan {
public:
    SilencePlan(const SimOptions& options, double startedAt);

    bool Silent(double now) const;
    // The first moment after `now` at which Silent changes; negative for never.
    double NextChangeAt(double now) const;

private:
    double stopAt_ = -1; // negative: never stops for good
    double firstAt_ = -1; // negative: no timed silence
    double length_ = 0;
    double cycle_ = -1; // from one silence's start to the next; negative: once
};

} // namespace sim
