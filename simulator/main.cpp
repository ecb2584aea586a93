// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// tarvio-sim: a simulated supply on a pseudo-terminal or a TCP port. This
// file only reads the command line and wires up signals; the loop is
// LineSession, and what the instrument does is in the core library.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "simulator/CommandInterpreter.h"
#include "simulator/LineSession.h"
#include "simulator/SimOptions.h"

namespace {
// A signal handler can reach the loop only through globals: it raises the flag
// and writes a byte to the pipe so that a poll() already waiting wakes up.
volatile std::sig_atomic_t StopRequested = 0;
int WakeWriteFd = -1;

void OnStopSignal(int)
{
    const int savedErrno = errno;
    StopRequested = 1;
    const char byte = 0;
    if (write(WakeWriteFd, &byte, 1) < 0) {
        // A full pipe already holds a wake-up.
    }
    errno = savedErrno;
}

bool InstallSignalHandlers(int wakeFds[2])
{
    if (pipe(wakeFds) != 0 || !sim::SetFlags(wakeFds[0], O_NONBLOCK) || !sim::SetFlags(wakeFds[1], O_NONBLOCK))
        return false;
    WakeWriteFd = wakeFds[1];
    struct sigaction action{};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        if (sigaction(signal, &action, nullptr) != 0)
            return false;
    }
    std::signal(SIGPIPE, SIG_IGN);
    return true;
}
}

int main(int argc, char** argv)
{
    using namespace sim;
    const ParsedOptions parsed = ParseOptions(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    if (!parsed.Error.empty()) {
        std::fprintf(stderr, "tarvio-sim: %s (see tarvio-sim --help)\n", parsed.Error.c_str());
        return ExitCode::BadCommandLine;
    }
    const SimOptions& options = parsed.Options;
    if (options.Help || options.Version || options.ListModels) {
        const std::string text = options.Help ? UsageText() : options.Version ? VersionText() : ModelListText();
        std::fputs(text.c_str(), stdout);
        return ExitCode::Done;
    }

    int wakeFds[2] = {-1, -1};
    if (!InstallSignalHandlers(wakeFds)) {
        Complain("cannot install signal handlers");
        return ExitCode::StartFailed;
    }
    CommandInterpreter interpreter(SimulatedSupply(options.Model, options.LoadOhms, options.NoiseSeed, options.Noise));
    if (options.Demo)
        interpreter.StartDemo(options.NoiseSeed);
    LineSession session(options, interpreter, StopRequested, wakeFds[0]);
    if (!session.Open())
        return ExitCode::StartFailed;
    return session.Run();
}
