// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulator/PacedOutput.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {
// Keeps a byte that is due exactly at `now` from missing it by a rounding.
constexpr double CrossingTolerance = 1e-9;
// Unpaced, the terminal takes a few kilobytes per write.
constexpr std::size_t UnpacedLowWater = 4096;
constexpr double PacedLowWaterSeconds = 0.1;
constexpr std::size_t MinimumLowWater = 16;
}

std::size_t BytesCarried(int baud, double seconds)
{
    if (!(seconds > 0))
        return 0;
    if (baud <= 0)
        return static_cast<std::size_t>(-1);
    return static_cast<std::size_t>(std::floor(seconds * baud / BitsPerByte + CrossingTolerance));
}

PacedOutput::PacedOutput(int baud, std::size_t capacity) : baud_(baud), capacity_(capacity) {}

bool PacedOutput::Push(const std::string& bytes, double now)
{
    if (bytes.size() > capacity_ - std::min(capacity_, Size()))
        return false;
    if (head_ > 0 && head_ >= buffer_.size() / 2) {
        buffer_.erase(0, head_);
        head_ = 0;
    }
    buffer_ += bytes;
    if (baud_ <= 0) {
        crossed_ += bytes.size();
        return true;
    }
    SettleCrossed(now);
    // Bytes queued while the line is still sending go out right behind the
    // last one; on an idle line they start now.
    if (!onLine_.empty() && EndOf(onLine_.back()) >= now)
        onLine_.back().Count += bytes.size();
    else
        onLine_.push_back({now, bytes.size()});
    return true;
}

void PacedOutput::SettleCrossed(double now)
{
    while (!onLine_.empty()) {
        Burst& front = onLine_.front();
        const std::size_t through = std::min(front.Count, BytesCarried(baud_, now - front.Start));
        crossed_ += through;
        if (through < front.Count) {
            front.Start += through * ByteSeconds();
            front.Count -= through;
            return;
        }
        onLine_.pop_front();
    }
}

std::string_view PacedOutput::Ready(double now)
{
    SettleCrossed(now);
    return std::string_view(buffer_).substr(head_, crossed_);
}

void PacedOutput::Consume(std::size_t count)
{
    count = std::min(count, crossed_);
    crossed_ -= count;
    head_ += count;
    if (head_ == buffer_.size()) {
        buffer_.clear();
        head_ = 0;
    }
}

double PacedOutput::NextCrossingAt(double now)
{
    SettleCrossed(now);
    return onLine_.empty() ? -1 : onLine_.front().Start + ByteSeconds();
}

std::size_t PacedOutput::LowWater() const
{
    if (baud_ <= 0)
        return UnpacedLowWater;
    const double bytes = PacedLowWaterSeconds * baud_ / BitsPerByte;
    return std::max(MinimumLowWater, static_cast<std::size_t>(bytes));
}

} // namespace sim
