// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "simulator/CommandInterpreter.h"

namespace sim {

// An error the instrument raises by itself: once, at a time after start-up or
// once a number of commands has been carried out.
struct InjectedFault {
    int Error = 0;
    double AtSeconds = -1; // negative: not by time
    std::uint64_t AfterCommands = 0; // 0: not by count
};

// Something the instrument did that the session sends or records.
struct InstrumentEvent {
    enum class Kind { Reply, Error, Fault };
    Kind What = Kind::Reply;
    double Seconds = 0; // when it happened; a reply, when it is ready to leave
    std::string Text; // the reply line, or the error number
};

// Carries out the received commands one at a time, as the instrument does: a
// command that arrives while a slow one (a series of samples) still runs waits
// its turn, and its reply comes after that one's. It reads no clock of its own:
// every call says what time it is, so a test can drive it with made-up times.
class CommandRunner {
public:
    CommandRunner(CommandInterpreter& interpreter, std::vector<InjectedFault> faults, double startedAt);

    void Receive(const std::string& line, double now);
    // Carries out every command whose turn has come by `now`, and raises the
    // faults that have fallen due; what happened, in order.
    std::vector<InstrumentEvent> Work(double now);
    // When Work has something to do next; negative when only a new command can
    // give it any.
    double NextWakeAt() const;
    // The cable went: what was received but not begun is lost with it.
    void DropPending() { pending_.clear(); }

private:
    struct Pending {
        std::string Line;
        double ArrivedAt;
    };
    void RaiseFaults(double now, std::vector<InstrumentEvent>& events);
    double NextFaultAt() const;

    CommandInterpreter& interpreter_;
    std::vector<InjectedFault> faults_; // those not raised yet
    double startedAt_;
    std::deque<Pending> pending_;
    double busyUntil_;
    std::uint64_t carriedOut_ = 0;
};

} // namespace sim
