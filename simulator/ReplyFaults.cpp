// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulator/ReplyFaults.h"

#include <algorithm>

namespace sim {

namespace {
// A stream of its own, so that garbling leaves the meters' noise as it was.
constexpr std::uint64_t GarbleStream = 0x5EED0F6A7B1EULL;
constexpr int FirstPrintable = 0x21; // '!': a blank could pass for padding
constexpr int PrintableCount = 0x7F - FirstPrintable;

bool Every(int interval, std::uint64_t count)
{
    return interval > 0 && count % static_cast<std::uint64_t>(interval) == 0;
}
}

ReplyFaults::ReplyFaults(ReplyFaultPlan plan, std::uint64_t seed)
    : plan_(std::move(plan)), random_(seed ^ GarbleStream) {}

std::optional<std::string> ReplyFaults::Pass(std::string reply)
{
    ++count_;
    const auto& chosen = plan_.DropReplies;
    if (Every(plan_.DropEvery, count_) || std::find(chosen.begin(), chosen.end(), count_) != chosen.end())
        return std::nullopt;
    if (Every(plan_.GarbleEvery, count_))
        Garble(reply);
    return reply;
}

std::vector<std::string> ReplyFaults::TakeStrays()
{
    std::vector<std::string> due;
    auto& strays = plan_.Strays;
    for (auto it = strays.begin(); it != strays.end();) {
        if (it->AfterReply == count_) {
            due.push_back(std::move(it->Text));
            it = strays.erase(it);
        } else {
            ++it;
        }
    }
    return due;
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
