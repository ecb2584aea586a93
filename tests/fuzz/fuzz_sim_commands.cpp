// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated supply's command interpreter on any command lines: a query
// answers with one line and nothing else does, errors are the documented
// ones, and no setting leaves the model's ratings.
#include <cmath>

#include "FuzzCheck.h"
#include "simulator/CommandInterpreter.h"

using namespace sim;

namespace {

bool IsQuery(const std::string& line)
{
    const size_t begin = line.find_first_not_of(" \t");
    if (begin == std::string::npos)
        return false;
    const size_t end = line.find_first_of(" \t", begin);
    return line[(end == std::string::npos ? line.size() : end) - 1] == '?';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 2048)
        return 0;
    const std::vector<SupplyModelInfo>& models = KnownModels();
    const SupplyModelInfo& model = models[data[0] % models.size()];
    const std::vector<double> loads(model.Outputs, 0.5 + data[0] % 7 * 4.0);
    CommandInterpreter first(SimulatedSupply(model, loads, 7, data[0] & 0x40));
    if (data[0] & 0x80)
        first.StartDemo(11);
    double clock = 0;
    for (const std::string& line : fuzz::SplitInput(data + 1, size - 1, "\n")) {
        first.SetTime(clock);
        const Response r = first.HandleCommand(line);
        FUZZ_CHECK(r.Reply.has_value() == IsQuery(line), "a query without an answer, or an answer unasked");
        if (r.Reply)
            FUZZ_CHECK(r.Reply->find_first_of("\r\n") == std::string::npos, "an answer of more than one line");
        FUZZ_CHECK(r.Error == 0 || (r.Error >= ErrorCode::UnknownCommand && r.Error <= ErrorCode::BelowMinimum),
                   "an error number the instrument does not have");
        FUZZ_CHECK(r.Error == 0 || !r.Reply || *r.Reply == "ERROR - " + std::to_string(r.Error),
                   "a failed query does not tell its error");
        FUZZ_CHECK(std::isfinite(r.BusySeconds) && r.BusySeconds >= 0
                       && r.BusySeconds <= MaxSamplesPerQuery * MaxSampleIntervalSeconds,
                   "busy for longer than any series takes");
        for (int i = 0; i < model.Outputs; ++i) {
            const OutputChannel& c = first.Supply().Channel(i);
            FUZZ_CHECK(c.SetVolts >= 0 && c.SetVolts <= model.MaxVolts + 1e-9 && c.SetAmps >= 0 && c.SetAmps <= model.MaxAmps + 1e-9,
                       "a setting beyond the ratings");
        }
        clock += r.BusySeconds + 0.05;
    }
    // The queue keeps the first errors only, and empties.
    int queued = 0;
    while (*first.HandleCommand("SYST:ERR?").Reply != "NO ERROR")
        FUZZ_CHECK(++queued <= int(MaxQueuedErrors), "more errors queued than the queue holds");
    return 0;
}
