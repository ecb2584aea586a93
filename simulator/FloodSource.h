// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace sim {

// Makes the endless stream of readings that a flood sends: fixed-width
// numbers counting up ("00.000", "00.001", ...), each with its line end, or
// all run together with none. It starts at the first command, so a console
// has opened the port and nothing is spent on an empty terminal.
class FloodSource {
public:
    // linesPerSecond 0: as fast as they are taken. limit 0: no end; otherwise
    // the number of lines, or of bytes when there are no line ends.
    FloodSource(double linesPerSecond, std::uint64_t limit, std::string lineEnd);

    void Start(double now);
    bool Running() const { return started_ && !Finished(); }
    bool Finished() const { return limit_ > 0 && sent_ >= limit_; }
    // Appends the readings due by `now` to `out`, whole ones only and no more
    // than `room` bytes, except that a cut reading ends a byte limit exactly.
    void Produce(double now, std::size_t room, std::string& out);
    // The size of the next reading, so a caller can tell whether it has room.
    std::size_t NextSize() const;
    // When the next reading falls due: `now` when one is due already,
    // negative when none ever will be.
    double NextDueAt(double now) const;

private:
    std::string Reading(std::uint64_t index) const;
    std::string NextReading() const;
    std::uint64_t DueBy(double now) const;

    double linesPerSecond_;
    std::uint64_t limit_;
    std::string lineEnd_;
    bool started_ = false;
    double startedAt_ = 0;
    std::uint64_t made_ = 0; // readings made
    std::uint64_t sent_ = 0; // what the limit counts: lines, or bytes
};

} // namespace sim
