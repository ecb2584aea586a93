// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulator/PresencePlan.h"

namespace sim {

PresencePlan::PresencePlan(const SimOptions& options, double startedAt)
    : link_(options.LinkPath), returnAs_(options.ReturnAsPath), vanishEvery_(options.VanishEverySeconds),
      returnAfter_(options.ReturnAfterSeconds), returnJitter_(options.ReturnJitterSeconds),
      // Apart from the noise's own sequence, which starts from the same seed.
      random_(options.NoiseSeed ^ 0x9E3779B97F4A7C15ull)
{
    const double first = options.VanishAfterSeconds >= 0 ? options.VanishAfterSeconds : vanishEvery_;
    vanishAt_ = first < 0 ? -1 : startedAt + first;
}

PresencePlan::Step PresencePlan::Due(double now)
{
    if (present_ && vanishAt_ >= 0 && now >= vanishAt_) {
        present_ = false;
        vanishAt_ = -1;
        // Counted from the moment it went, not from when it was due: a late
        // vanish must not shorten the time the console has to notice.
        // A return on a whole number of seconds after the loss would always
        // meet a console's once-a-second check in the same phase.
        const double jitter = returnJitter_ > 0 ? returnJitter_ * (random_.Symmetric() + 1) / 2 : 0;
        returnAt_ = returnAfter_ < 0 ? -1 : now + returnAfter_ + jitter;
        return Step::Vanish;
    }
    if (!present_ && returnAt_ >= 0 && now >= returnAt_) {
        present_ = true;
        returnAt_ = -1;
        ++returns_;
        vanishAt_ = vanishEvery_ < 0 ? -1 : now + vanishEvery_;
        return Step::Return;
    }
    return Step::None;
}

const std::string& PresencePlan::LinkPath() const
{
    // A re-enumerated adapter takes the other name each time it comes back;
    // the first appearance and every second return use the original one.
    if (returnAs_.empty())
        return link_;
    const int appearance = present_ ? returns_ : returns_ + 1;
    return appearance % 2 == 1 ? returnAs_ : link_;
}

} // namespace sim
