// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulator/FloodSource.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace sim {

namespace {
constexpr std::uint64_t ReadingsBeforeWrap = 100000;
constexpr double DueTolerance = 1e-9;
}

FloodSource::FloodSource(double linesPerSecond, std::uint64_t limit, std::string lineEnd)
    : linesPerSecond_(linesPerSecond), limit_(limit), lineEnd_(std::move(lineEnd)) {}

void FloodSource::Start(double now)
{
    if (started_)
        return;
    started_ = true;
    startedAt_ = now;
}

std::string FloodSource::Reading(std::uint64_t index) const
{
    const auto wrapped = static_cast<unsigned>(index % ReadingsBeforeWrap);
    char text[16];
    std::snprintf(text, sizeof text, "%02u.%03u", wrapped / 1000, wrapped % 1000);
    return text + lineEnd_;
}

std::string FloodSource::NextReading() const
{
    std::string reading = Reading(made_);
    // Without line ends the limit counts bytes, and the last reading is cut to meet it.
    if (lineEnd_.empty() && limit_ > 0)
        reading.resize(static_cast<std::size_t>(std::min<std::uint64_t>(reading.size(), limit_ - sent_)));
    return reading;
}

std::size_t FloodSource::NextSize() const
{
    return Running() ? NextReading().size() : 0;
}

std::uint64_t FloodSource::DueBy(double now) const
{
    if (linesPerSecond_ <= 0)
        return std::numeric_limits<std::uint64_t>::max();
    // The first reading goes out at the start, the next one 1/rate later.
    const double due = std::floor((now - startedAt_) * linesPerSecond_ + DueTolerance) + 1;
    return due <= 0 ? 0 : static_cast<std::uint64_t>(due);
}

void FloodSource::Produce(double now, std::size_t room, std::string& out)
{
    if (!Running())
        return;
    const std::uint64_t due = DueBy(now);
    const bool countsBytes = lineEnd_.empty();
    while (made_ < due && !Finished()) {
        const std::string reading = NextReading();
        if (reading.size() > room)
            return;
        room -= reading.size();
        out += reading;
        ++made_;
        sent_ += countsBytes ? reading.size() : 1;
    }
}

double FloodSource::NextDueAt(double now) const
{
    if (!Running())
        return -1;
    if (linesPerSecond_ <= 0 || made_ < DueBy(now))
        return now;
    return startedAt_ + static_cast<double>(made_) / linesPerSecond_;
}

} // namespace sim
