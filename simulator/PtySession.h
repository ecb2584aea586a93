// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <csignal>
#include <cstdio>
#include <deque>
#include <string>

#include "simulator/CommandInterpreter.h"
#include "simulator/CommandRunner.h"
#include "simulator/FloodSource.h"
#include "simulator/LineFramer.h"
#include "simulator/PacedOutput.h"
#include "simulator/PresencePlan.h"
#include "simulator/PseudoTerminal.h"
#include "simulator/ReplyFaults.h"
#include "simulator/SimOptions.h"
#include "simulator/TraceRecord.h"

namespace sim {

// The simulator's event loop: reads commands from the terminal, lets replies
// and floods out at the line's pace, and plays the timed faults (hanging,
// vanishing, coming back). It never blocks and never spins: every wait is a
// poll() on the terminal, the wake-up pipe and the next deadline.
class PtySession {
public:
    PtySession(const SimOptions& options, CommandInterpreter& interpreter,
               const volatile std::sig_atomic_t& stopRequested, int wakeReadFd);
    ~PtySession();
    PtySession(const PtySession&) = delete;
    PtySession& operator=(const PtySession&) = delete;

    // False when the terminal, its link or the record cannot be set up.
    bool Open();
    // The exit code.
    int Run();

private:
    struct QueuedReply {
        double DueSeconds;
        std::string Text; // without its line end
    };
    // Where the loop stands after one round of work: what to wait for next.
    struct Wait {
        bool Writable = false;
        double Until = -1; // negative: no deadline
        void Before(double deadline)
        {
            if (deadline >= 0 && (Until < 0 || deadline < Until))
                Until = deadline;
        }
    };

    bool OpenTerminal();
    void Vanish(double now);
    bool ReadCommands();
    void TakeEvents(double now);
    void ReleaseDueReplies(double now);
    void Record(double seconds, RecordKind kind, const std::string& text);
    void Send(const std::string& bytes, double now);
    bool FlushOutput(double now);
    Wait WorkOnce(double now, bool& failed);
    bool PollFor(const Wait& wait, double now, bool& readable);
    void DrainWakeups();

    const SimOptions& options_;
    const volatile std::sig_atomic_t& stopRequested_;
    int wakeReadFd_;
    const std::string lineEnd_;
    PseudoTerminal terminal_;
    std::FILE* record_ = nullptr;
    CommandRunner runner_;
    ReplyFaults faults_;
    FloodSource flood_;
    double stopAt_ = -1;
    PresencePlan presence_;
    // Reset whenever a new terminal appears: the old console's half-sent
    // line and unsent replies went with the old one.
    LineFramer framer_;
    std::deque<QueuedReply> replies_;
    PacedOutput output_;
    bool overflowReported_ = false;
};

} // namespace sim
