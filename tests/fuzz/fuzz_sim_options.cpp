// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's command line on any arguments: an accepted one holds
// together (a load per output, a known model, no option without what it
// needs), "--name=value" reads as "--name value", and a refusal is one line.
#include <cmath>
#include <sstream>

#include "FuzzCheck.h"
#include "simulator/SimOptions.h"

using namespace sim;

namespace {

// Every field, so two parses can be compared whole.
std::string Digest(const SimOptions& o)
{
    std::ostringstream s;
    s << o.Model.Name << '|' << o.LinkPath << '|' << o.ReturnAsPath << '|' << o.StableLinkPath << '|' << o.RecordPath
      << '|' << o.TcpHost << '|' << o.TcpPort << '|' << o.CrLf << o.Flood << o.FloodNoLineEnds << o.Noise << o.Demo
      << o.Help << o.Version << o.ListModels << '|' << o.ReplyDelayMs << ' ' << o.Baud << ' ' << o.DropEvery << ' '
      << o.GarbleEvery << ' ' << o.StopAfterSeconds << ' ' << o.SilentAfterSeconds << ' ' << o.SilentForSeconds << ' '
      << o.SilentEverySeconds << ' ' << o.VanishAfterSeconds << ' ' << o.ReturnAfterSeconds << ' '
      << o.VanishEverySeconds << ' ' << o.ReturnJitterSeconds << ' ' << o.FloodLinesPerSecond << ' ' << o.FloodCount
      << ' ' << o.NoiseSeed << '|';
    for (double ohms : o.LoadOhms)
        s << ohms << ',';
    for (std::uint64_t n : o.DropReplies)
        s << n << ',';
    for (const StrayLine& l : o.Strays)
        s << l.AfterReply << '=' << l.Text << ',';
    for (const InjectedFault& f : o.Faults)
        s << f.Error << '@' << f.AtSeconds << '/' << f.AfterCommands << ',';
    return s.str();
}

// -1 (not given) or a finite time from 0 on.
bool TimeOrUnset(double seconds)
{
    return seconds == -1 || (std::isfinite(seconds) && seconds >= 0);
}

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
        FUZZ_CHECK(TimeOrUnset(t), "a time out of range");
    FUZZ_CHECK(!(o.SilentForSeconds > 0) || o.SilentAfterSeconds >= 0 || o.SilentEverySeconds >= 0,
               "a silence that never starts");
    FUZZ_CHECK(o.ReturnAsPath.empty() || (!o.LinkPath.empty() && o.ReturnAsPath != o.LinkPath),
               "a return without a link of its own");
    FUZZ_CHECK(o.FloodCount == 0 || o.Flood, "a flood count without a flood");
    FUZZ_CHECK(o.TcpPort < 0 || (o.LinkPath.empty() && o.VanishAfterSeconds < 0), "terminal options over TCP");
    for (const StrayLine& l : o.Strays)
        FUZZ_CHECK(l.AfterReply > 0 && l.Text.find_first_of("\r\n") == std::string::npos, "a stray line that is two");
    for (std::uint64_t n : o.DropReplies)
        FUZZ_CHECK(n > 0, "a lost reply before the first");
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
    // Each "--name=value" where an option stands, spread into two arguments;
    // an option that takes a value takes the next argument whatever it holds.
    std::vector<std::string> spread;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const size_t equals = a.find('=');
        if (a.compare(0, 2, "--") == 0 && equals != std::string::npos) {
            spread.push_back(a.substr(0, equals));
            spread.push_back(a.substr(equals + 1));
            continue;
        }
        spread.push_back(a);
        if (i + 1 < args.size() && ParseOptions({a}).Error.rfind(a + " takes ", 0) == 0)
            spread.push_back(args[++i]);
    }
    const ParsedOptions again = ParseOptions(spread);
    FUZZ_CHECK(again.Error.empty() && Digest(again.Options) == Digest(parsed.Options),
               "--name=value and --name value read differently");
    return 0;
}
