// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulator/CommandRunner.h"

#include <algorithm>
#include <limits>

namespace sim {

namespace {
// Keeps a command due exactly at `now` from missing it by a rounding.
constexpr double DueTolerance = 1e-9;

bool IsBlankLine(const std::string& line)
{
    return line.find_first_not_of(" \t") == std::string::npos;
}
}

CommandRunner::CommandRunner(CommandInterpreter& interpreter, std::vector<InjectedFault> faults, double startedAt)
    : interpreter_(interpreter),
      faults_(std::move(faults)),
      startedAt_(startedAt),
      busyUntil_(-std::numeric_limits<double>::infinity()) {}

void CommandRunner::Receive(const std::string& line, double now)
{
    pending_.push_back({line, now});
}

std::vector<InstrumentEvent> CommandRunner::Work(double now)
{
    std::vector<InstrumentEvent> events;
    while (!pending_.empty()) {
        const double start = std::max(busyUntil_, pending_.front().ArrivedAt);
        if (start > now + DueTolerance)
            break;
        // A fault due before the command began is in the queue it reads.
        RaiseFaults(start, events);
        const std::string line = std::move(pending_.front().Line);
        pending_.pop_front();
        interpreter_.SetTime(start - startedAt_);
        const Response response = interpreter_.HandleCommand(line);
        if (response.Error != 0)
            events.push_back({InstrumentEvent::Kind::Error, start, std::to_string(response.Error)});
        busyUntil_ = start + response.BusySeconds;
        if (response.Reply)
            events.push_back({InstrumentEvent::Kind::Reply, busyUntil_, *response.Reply});
        if (!IsBlankLine(line))
            ++carriedOut_;
    }
    RaiseFaults(now, events);
    return events;
}

void CommandRunner::RaiseFaults(double now, std::vector<InstrumentEvent>& events)
{
    auto due = [&](const InjectedFault& fault) {
        return (fault.AtSeconds >= 0 && startedAt_ + fault.AtSeconds <= now + DueTolerance)
            || (fault.AfterCommands > 0 && carriedOut_ >= fault.AfterCommands);
    };
    // In the order they were given, so two faults due together queue as listed.
    for (const InjectedFault& fault : faults_) {
        if (due(fault)) {
            interpreter_.RaiseError(fault.Error);
            // A timed fault happened when it was due, even if the loop woke late.
            const double at = fault.AtSeconds >= 0 ? std::min(now, startedAt_ + fault.AtSeconds) : now;
            events.push_back({InstrumentEvent::Kind::Fault, at, std::to_string(fault.Error)});
        }
    }
    faults_.erase(std::remove_if(faults_.begin(), faults_.end(), due), faults_.end());
}

double CommandRunner::NextFaultAt() const
{
    double next = -1;
    for (const InjectedFault& fault : faults_) {
        const double at = fault.AtSeconds >= 0 ? startedAt_ + fault.AtSeconds : -1;
        if (at >= 0 && (next < 0 || at < next))
            next = at;
    }
    return next;
}

double CommandRunner::NextWakeAt() const
{
    double next = NextFaultAt();
    if (!pending_.empty()) {
        const double start = std::max(busyUntil_, pending_.front().ArrivedAt);
        if (next < 0 || start < next)
            next = start;
    }
    return next;
}

} // namespace sim
