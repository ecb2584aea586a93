// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "simulator/SimulatedSupply.h"

namespace sim {

// Spoils replies on purpose, by counting them, so that a console's handling of
// a lost or corrupted line can be tested and the run repeated byte for byte.
// Every reply made counts, spoiled or not; when the n-th reply is due both to
// be dropped and garbled, it is dropped.
class ReplyFaults {
public:
    // An interval of 0 turns that fault off.
    ReplyFaults(int dropEvery, int garbleEvery, std::uint64_t seed);

    // The reply (without its line end) as it is to be sent; nothing when it
    // is to be lost.
    std::optional<std::string> Pass(std::string reply);

private:
    void Garble(std::string& reply);

    int dropEvery_;
    int garbleEvery_;
    std::uint64_t count_ = 0;
    NoiseSource random_;
};

} // namespace sim
