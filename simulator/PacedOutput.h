// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

namespace sim {

// Start bit, eight data bits, stop bit: what one byte costs on an 8N1 line.
constexpr int BitsPerByte = 10;
// A console that stops reading must not make the simulator grow without end.
constexpr std::size_t DefaultOutputCapacity = 1 << 20;

// How many whole bytes a line at `baud` carries in `seconds`; a byte counts
// only once its stop bit is through. A baud of 0 or less means no line limit.
std::size_t BytesCarried(int baud, double seconds);

// Holds the bytes on their way to the console and lets each one out only once
// a serial line at the set rate would have delivered it, so that a console
// sees the same trickle as from a real instrument. Bytes queued while the line
// is busy wait their turn; a line left idle earns no credit for later bursts.
class PacedOutput {
public:
    explicit PacedOutput(int baud = 0, std::size_t capacity = DefaultOutputCapacity);

    // Queues the bytes at `now`; false, and nothing queued, when they would
    // take the queue past its capacity.
    bool Push(const std::string& bytes, double now);
    // The bytes that have crossed the line by `now` and may be handed over.
    std::string_view Ready(double now);
    // The terminal took the first `count` of the ready bytes.
    void Consume(std::size_t count);
    // When the next byte still on the line will have crossed it; negative
    // when no byte is on the line.
    double NextCrossingAt(double now);

    std::size_t Size() const { return buffer_.size() - head_; }
    bool Empty() const { return Size() == 0; }
    // How much a continuous stream should keep queued: enough to keep the
    // line busy, little enough that a reply behind it is not held long.
    std::size_t LowWater() const;

private:
    // Bytes sent back to back, the first of them starting at Start.
    struct Burst {
        double Start;
        std::size_t Count;
    };
    double ByteSeconds() const { return static_cast<double>(BitsPerByte) / baud_; }
    double EndOf(const Burst& burst) const { return burst.Start + burst.Count * ByteSeconds(); }
    void SettleCrossed(double now);

    int baud_;
    std::size_t capacity_;
    std::string buffer_;
    std::size_t head_ = 0;
    // Queued bytes at the front that have crossed already; behind them come
    // the bursts still on the line.
    std::size_t crossed_ = 0;
    std::deque<Burst> onLine_;
};

} // namespace sim
