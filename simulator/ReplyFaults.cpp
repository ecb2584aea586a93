// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulator/ReplyFaults.h"

namespace sim {

namespace {
// A stream of its own, so that garbling leaves the meters' noise as it was.
constexpr std::uint64_t GarbleStream = 0x5EED0F6A7B1EULL;
constexpr int FirstPrintable = 0x21; // '!': a blank could pass for padding
constexpr int PrintableCount = 0x7F - FirstPrintable;
}

ReplyFaults::ReplyFaults(int dropEvery, int garbleEvery, std::uint64_t seed)
    : dropEvery_(dropEvery), garbleEvery_(garbleEvery), random_(seed ^ GarbleStream) {}

std::optional<std::string> ReplyFaults::Pass(std::string reply)
{
    ++count_;
    if (dropEvery_ > 0 && count_ % static_cast<std::uint64_t>(dropEvery_) == 0)
        return std::nullopt;
    if (garbleEvery_ > 0 && count_ % static_cast<std::uint64_t>(garbleEvery_) == 0)
        Garble(reply);
    return reply;
}

void ReplyFaults::Garble(std::string& reply)
{
    // Every character changes and none becomes a line end, so the console
    // gets a line of the same length that cannot be read as the right one.
    for (char& c : reply) {
        const int offset = static_cast<int>((random_.Symmetric() + 1.0) / 2.0 * (PrintableCount - 1));
        int replacement = FirstPrintable + offset;
        if (replacement >= static_cast<unsigned char>(c))
            ++replacement;
        c = static_cast<char>(replacement);
    }
}

} // namespace sim
