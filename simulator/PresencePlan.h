// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

#include "simulator/SimOptions.h"
#include "simulator/SimulatedSupply.h"

namespace sim {

// When the instrument is on the line and under which link it appears: the
// timed vanishing and returning of an adapter pulled and plugged in again,
// once or over and over. Plain arithmetic on the times it is given, so a test
// can walk it through its cycles without waiting for them.
class PresencePlan {
public:
    enum class Step {
        None,
        Vanish, // close the terminal; with no return planned, exit
        Return, // open a new terminal under LinkPath()
    };

    PresencePlan(const SimOptions& options, double startedAt);

    // What is due at now; the plan moves on as if it were done. Call until None.
    Step Due(double now);
    // When something is next due; negative for never.
    double NextAt() const { return present_ ? vanishAt_ : returnAt_; }
    bool Present() const { return present_; }
    bool ReturnsAgain() const { return returnAfter_ >= 0; }
    // Where the link of the current appearance (or, while gone, of the next) goes.
    const std::string& LinkPath() const;
    int Returns() const { return returns_; }

private:
    std::string link_, returnAs_;
    double vanishEvery_, returnAfter_, returnJitter_;
    NoiseSource random_;
    double vanishAt_, returnAt_ = -1;
    bool present_ = true;
    int returns_ = 0;
};

} // namespace sim
