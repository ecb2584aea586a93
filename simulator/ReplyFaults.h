// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "simulator/SimulatedSupply.h"

namespace sim {

// An unasked line the instrument sends right after one of its replies.
struct StrayLine {
    std::uint64_t AfterReply = 0; // 1 for the first reply
    std::string Text; // without its line end
};

// What the replies suffer, by their count: every n-th lost or garbled, chosen
// ones lost, unasked lines slipped in behind chosen ones.
struct ReplyFaultPlan {
    int DropEvery = 0; // 0: none
    int GarbleEvery = 0; // 0: none
    std::vector<std::uint64_t> DropReplies; // 1 for the first reply
    std::vector<StrayLine> Strays;
};

// Spoils replies on purpose, by counting them, so that a console's handling of
// a lost, corrupted or unexpected line can be tested and the run repeated byte
// for byte. Every reply made counts, spoiled or not; a stray line does not.
// When the n-th reply is due both to be dropped and garbled, it is dropped.
class ReplyFaults {
public:
    ReplyFaults(ReplyFaultPlan plan, std::uint64_t seed);

    // The reply (without its line end) as it is to be sent; nothing when it
    // is to be lost.
    std::optional<std::string> Pass(std::string reply);
    // The stray lines due behind the reply Pass saw last, in the order given;
    // each is handed out once.
    std::vector<std::string> TakeStrays();

private:
    void Garble(std::string& reply);

    ReplyFaultPlan plan_;
    std::uint64_t count_ = 0;
    NoiseSource random_;
};

} // namespace sim
