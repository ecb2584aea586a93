// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

namespace sim {

// Complains on stderr about a failed system call, with its errno text.
void Complain(const std::string& what);
// Sets the status flags (e.g. O_NONBLOCK) and close-on-exec on a descriptor.
bool SetFlags(int fd, int statusFlags);
double MonotonicSeconds();
// The process id of the tarvio-sim that holds the terminal's master side open,
// or -1 when none does.
int SimulatorServing(const std::string& terminalPath);

// The terminal pair the console opens and the links that name it: opened and
// closed as one, so that a vanishing device takes its links along.
class PseudoTerminal {
public:
    PseudoTerminal() = default;
    ~PseudoTerminal() { Close(); }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Either path may be empty for no such link. The stable link points at
    // the link if there is one, else at the terminal itself.
    bool Open(const std::string& linkPath, const std::string& stableLinkPath = std::string());
    void Close();
    bool IsOpen() const { return master_ >= 0; }
    int Master() const { return master_; }
    const std::string& Path() const { return slavePath_; }

private:
    struct Link {
        std::string Path;
        std::string Target;
        bool Made = false;
    };
    static bool Make(Link& link);
    static void Remove(Link& link);

    int master_ = -1;
    // Held open for the whole run: with no slave open, reads on the master
    // fail with EIO at once and poll() would never rest between consoles.
    int slave_ = -1;
    std::string slavePath_;
    // Made in this order and removed in the reverse one, as udev adds the
    // stable name only once the device node is there.
    Link link_, stableLink_;
};

} // namespace sim
