// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's command line on any arguments: an accepted one holds
// together (a load per output, a known model, no option without what it
// needs), and a refusal is one line.
#include <cmath>

#include "FuzzCheck.h"
#include "simulator/SimOptions.h"

using namespace sim;

namespace {

void CheckAccepted(const SimOptions& o)
{
    FUZZ_CHECK(FindModel(o.Model.Name) != nullptr, "a model that is not known");
    FUZZ_CHECK(int(o.LoadOhms.size()) == o.Model.Outputs, "not one load per output");
    for (double ohms : o.LoadOhms)
        FUZZ_CHECK(std::isfinite(ohms) && ohms > 0, "a load that is no resistance");
    FUZZ_CHECK(o.TcpPort >= -1 && o.TcpPort <= 65535 && o.ReplyDelayMs >= 0 && o.Baud >= 0 && o.DropEvery >= 0
                   && o.GarbleEvery >= 0,
               "a count out of range");
    for (double t : {o.StopAfterSeconds, o.SilentAfterSeconds, o.SilentForSeconds, o.SilentEverySeconds,
                     o.VanishAfterSeconds, o.ReturnAfterSeconds, o.VanishEverySeconds})
        FUZZ_CHECK(t == -1 || (std::isfinite(t) && t >= 0), "a time neither unset (-1) nor one from 0 on");
    FUZZ_CHECK(o.ReturnAsPath.empty() || (!o.LinkPath.empty() && o.ReturnAsPath != o.LinkPath),
               "a return without a link of its own");
    FUZZ_CHECK(o.TcpPort < 0 || (o.LinkPath.empty() && o.VanishAfterSeconds < 0), "terminal options over TCP");
    for (const StrayLine& l : o.Strays)
        FUZZ_CHECK(l.AfterReply > 0 && l.Text.find_first_of("\r\n") == std::string::npos, "a stray line that is two");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1024)
        return 0;
    std::vector<std::string> args = fuzz::SplitInput(data, size, std::string("\n\r\0", 3));
    if (!args.empty() && args.back().empty())
        args.pop_back();
    const ParsedOptions parsed = ParseOptions(args);
    if (!parsed.Error.empty()) {
        FUZZ_CHECK(parsed.Error.find_first_of("\r\n") == std::string::npos, "a refusal of more than one line");
        return 0;
    }
    CheckAccepted(parsed.Options);
    return 0;
}
