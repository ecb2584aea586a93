// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "simulator/CommandRunner.h"
#include "simulator/ModelCatalog.h"
#include "simulator/ReplyFaults.h"

namespace sim {

// Fixed so that two runs without --seed read the same noisy values.
constexpr std::uint64_t DefaultNoiseSeed = 20240601;
constexpr double DefaultLoadOhms = 10;
// What --stray-after sends unless told otherwise: a line the console could
// take for the answer to a query it never sent.
constexpr const char* DefaultStrayText = "ERROR - 101";

// How the simulator ends, for scripts that start it.
namespace ExitCode {
constexpr int Done = 0;
constexpr int BadCommandLine = 2;
constexpr int StartFailed = 3; // the terminal, its link, the TCP port or the record could not be set up
constexpr int RunFailed = 4; // the terminal or the TCP port failed while running
}

// Everything the command line decides, already resolved: the model is chosen
// and there is one load per output.
struct SimOptions {
    SupplyModelInfo Model;
    std::vector<double> LoadOhms;
    std::string LinkPath;
    std::string ReturnAsPath; // empty: every return is under LinkPath
    std::string StableLinkPath; // empty: no stable name
    std::string RecordPath;
    std::string TcpHost; // with TcpPort: serve TCP clients instead of a terminal
    int TcpPort = -1; // negative: a terminal; 0: any free port
    bool CrLf = false;
    int ReplyDelayMs = 0;
    int Baud = 0; // 0: replies leave as fast as the terminal takes them
    int DropEvery = 0; // 0: no reply lost
    int GarbleEvery = 0; // 0: no reply spoiled
    std::vector<std::uint64_t> DropReplies; // the replies lost, 1 for the first
    std::vector<StrayLine> Strays;
    double StopAfterSeconds = -1; // negative: never
    double SilentAfterSeconds = -1; // negative: not at a time of its own
    double SilentForSeconds = -1; // negative: no timed silence
    double SilentEverySeconds = -1; // negative: silent at most once
    double VanishAfterSeconds = -1; // negative: never
    double ReturnAfterSeconds = -1; // negative: exit on vanishing
    double VanishEverySeconds = -1; // negative: vanish at most once
    double ReturnJitterSeconds = 0; // each return up to this much later still
    bool Flood = false;
    double FloodLinesPerSecond = 0; // 0: as fast as they are taken
    bool FloodNoLineEnds = false;
    std::uint64_t FloodCount = 0; // 0: no end
    std::uint64_t NoiseSeed = DefaultNoiseSeed;
    bool Noise = true;
    bool Demo = false; // start with the outputs on into drifting loads
    std::vector<InjectedFault> Faults;
    bool Help = false;
    bool Version = false;
    bool ListModels = false;
};

struct ParsedOptions {
    SimOptions Options;
    std::string Error; // one line; empty when the command line was understood
};

// Reads the arguments after the program name. Both "--name value" and
// "--name=value" are understood; a switch takes no value.
ParsedOptions ParseOptions(const std::vector<std::string>& args);

std::string UsageText();
// "tarvio-sim" and the version of the whole project, one line.
std::string VersionText();
// The models --model knows, one a line with its ratings.
std::string ModelListText();

} // namespace sim
