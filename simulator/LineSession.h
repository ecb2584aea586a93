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
#include "simulator/SilencePlan.h"
#include "simulator/SimOptions.h"
#include "simulator/TcpServer.h"
#include "simulator/TraceRecord.h"

namespace sim {

// The simulator's event loop on its line, a pseudo-terminal or a TCP client:
// reads commands, lets replies and floods out at the line's pace, and plays
// the timed faults (falling silent, hanging, vanishing, coming back). It never
// blocks and never spins: every wait is a poll() on the line, the listening
// socket, the wake-up pipe and the next deadline.
class LineSession {
public:
    LineSession(const SimOptions& options, CommandInterpreter& interpreter,
                const volatile std::sig_atomic_t& stopRequested, int wakeReadFd);
    ~LineSession();
    LineSession(const LineSession&) = delete;
    LineSession& operator=(const LineSession&) = delete;

    // False when the terminal, its link, the TCP port or the record cannot be set up.
    bool Open();
    // The exit code.
    int Run();

private:
    struct QueuedReply {
        double DueSeconds;
        std::string Text; // without its line end
        bool Stray = false; // an unasked line, not a reply
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
    // What one poll() found.
    struct Ready {
        bool Line = false; // bytes to read, or a TCP client that left
        bool LineHungUp = false;
        bool Listener = false; // a TCP client waiting to be let in
    };

    bool OnTcp() const { return options_.TcpPort >= 0; }
    int LineFd() const { return OnTcp() ? server_.Client() : terminal_.Master(); }
    void ResetLine();
    bool OpenTerminal();
    void Vanish(double now);
    void ClientGone(double now);
    bool AcceptClients(double now);
    bool ReadCommands(bool hungUp);
    void TakeEvents(double now);
    void ReleaseDueReplies(double now);
    void Record(double seconds, RecordKind kind, const std::string& text);
    void Send(const std::string& bytes, double now);
    bool FlushOutput(double now);
    Wait WorkOnce(double now, bool& failed);
    bool PollFor(const Wait& wait, double now, Ready& ready);
    void DrainWakeups();

    const SimOptions& options_;
    const volatile std::sig_atomic_t& stopRequested_;
    int wakeReadFd_;
    const std::string lineEnd_;
    PseudoTerminal terminal_;
    TcpServer server_;
    std::FILE* record_ = nullptr;
    CommandRunner runner_;
    ReplyFaults faults_;
    FloodSource flood_;
    SilencePlan silence_;
    PresencePlan presence_;
    // Reset whenever a new terminal or client appears: the old console's
    // half-sent line and unsent replies went with the old one.
    LineFramer framer_;
    std::deque<QueuedReply> replies_;
    PacedOutput output_;
    bool overflowReported_ = false;
};

} // namespace sim
