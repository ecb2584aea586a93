// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulator/SimOptions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <iterator>

namespace sim {

namespace {
// What the options say before the model is chosen and the loads are wired.
struct Draft {
    SimOptions Options;
    int Outputs = 0;
    std::string ModelName;
    std::vector<double> Loads;
};

template <typename Number>
bool ParseNumber(const std::string& text, Number& value)
{
    const char* last = text.data() + text.size();
    const auto result = std::from_chars(text.data(), last, value);
    return !text.empty() && result.ec == std::errc() && result.ptr == last;
}

bool ParseCount(const std::string& text, int& count)
{
    return ParseNumber(text, count) && count > 0;
}

bool ParseSeconds(const std::string& text, double& seconds)
{
    return ParseNumber(text, seconds) && seconds >= 0 && std::isfinite(seconds);
}

bool ParsePositiveSeconds(const std::string& text, double& seconds)
{
    return ParseSeconds(text, seconds) && seconds > 0;
}

bool ParseLoads(const std::string& text, std::vector<double>& loads)
{
    loads.clear();
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        double ohms = 0;
        if (!ParseNumber(text.substr(start, comma - start), ohms) || !(ohms > 0) || !std::isfinite(ohms))
            return false;
        loads.push_back(ohms);
        if (comma == std::string::npos)
            return true;
        start = comma + 1;
    }
}

// "KIND[,at=SECONDS|,after=COMMANDS]"; with no trigger the error is there from start-up.
bool ParseFault(const std::string& text, std::vector<InjectedFault>& faults)
{
    const std::size_t comma = text.find(',');
    const std::string kind = text.substr(0, comma);
    InjectedFault fault;
    if (kind == "fan")
        fault.Error = 1;
    else if (kind == "fan2")
        fault.Error = 2;
    else if (kind == "comm")
        fault.Error = 100;
    else
        return false;
    const std::string trigger = comma == std::string::npos ? "at=0" : text.substr(comma + 1);
    if (trigger.compare(0, 3, "at=") == 0) {
        if (!ParseSeconds(trigger.substr(3), fault.AtSeconds))
            return false;
    } else if (trigger.compare(0, 6, "after=") != 0 || !ParseNumber(trigger.substr(6), fault.AfterCommands)
               || fault.AfterCommands == 0) {
        return false;
    }
    faults.push_back(fault);
    return true;
}

// "N[=TEXT]": the reply it follows, and the line; TEXT may be empty (a bare
// line end) but cannot hold a line end of its own, which would make two lines.
bool ParseStray(const std::string& text, std::vector<StrayLine>& strays)
{
    const std::size_t equals = text.find('=');
    StrayLine stray;
    stray.Text = equals == std::string::npos ? DefaultStrayText : text.substr(equals + 1);
    if (!ParseNumber(text.substr(0, equals), stray.AfterReply) || stray.AfterReply == 0
        || stray.Text.find_first_of("\r\n") != std::string::npos)
        return false;
    strays.push_back(stray);
    return true;
}

bool ParseReplyNumber(const std::string& text, std::vector<std::uint64_t>& replies)
{
    std::uint64_t number = 0;
    if (!ParseNumber(text, number) || number == 0)
        return false;
    replies.push_back(number);
    return true;
}

// "HOST:PORT", an IPv6 host in brackets; whether the host exists is for the
// socket to find out.
bool ParseTcpAddress(const std::string& text, SimOptions& options)
{
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos)
        return false;
    std::string host = text.substr(0, colon);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    else if (host.find_first_of(":[]") != std::string::npos)
        return false;
    options.TcpHost = host;
    return !host.empty() && ParseNumber(text.substr(colon + 1), options.TcpPort) && options.TcpPort >= 0
        && options.TcpPort <= 65535;
}

// The switches' and the text options' ways of taking their value; true when
// it is acceptable, so a rule reads as one expression.
bool Set(bool& flag, bool on = true)
{
    flag = on;
    return true;
}

bool Take(const std::string& value, std::string& into)
{
    into = value;
    return !value.empty();
}

// One option: its name, what its value must be (for the message when it is
// not; none for a switch), and how it is taken into the draft.
struct OptionRule {
    const char* Name;
    const char* Takes;
    bool (*Apply)(const std::string& value, Draft& draft);
};

const OptionRule Rules[] = {
    {"--help", nullptr, [](const std::string&, Draft& d) { return Set(d.Options.Help); }},
    {"-h", nullptr, [](const std::string&, Draft& d) { return Set(d.Options.Help); }},
    {"--version", nullptr, [](const std::string&, Draft& d) { return Set(d.Options.Version); }},
    {"--list-models", nullptr, [](const std::string&, Draft& d) { return Set(d.Options.ListModels); }},
    {"--outputs", "1 or 2",
     [](const std::string& v, Draft& d) { return ParseNumber(v, d.Outputs) && (d.Outputs == 1 || d.Outputs == 2); }},
    {"--model", "a model name (see --list-models)", [](const std::string& v, Draft& d) { return Take(v, d.ModelName); }},
    {"--load", "one or two resistances above 0 ohms, e.g. 10,4.7",
     [](const std::string& v, Draft& d) { return ParseLoads(v, d.Loads); }},
    {"--seed", "a whole number from 0 to 18446744073709551615",
     [](const std::string& v, Draft& d) { return ParseNumber(v, d.Options.NoiseSeed); }},
    {"--no-noise", nullptr, [](const std::string&, Draft& d) { return Set(d.Options.Noise, false); }},
    {"--demo", nullptr, [](const std::string&, Draft& d) { return Set(d.Options.Demo); }},
    {"--link", "a path", [](const std::string& v, Draft& d) { return Take(v, d.Options.LinkPath); }},
    {"--tcp", "HOST:PORT with a port from 0 to 65535 (0: any free one), e.g. 127.0.0.1:5025",
     [](const std::string& v, Draft& d) { return ParseTcpAddress(v, d.Options); }},
    {"--crlf", nullptr, [](const std::string&, Draft& d) { return Set(d.Options.CrLf); }},
    {"--reply-delay", "whole milliseconds from 0 to 2147483647",
     [](const std::string& v, Draft& d) { return ParseNumber(v, d.Options.ReplyDelayMs) && d.Options.ReplyDelayMs >= 0; }},
    {"--baud", "a whole rate from 1 to 2147483647, e.g. 9600",
     [](const std::string& v, Draft& d) { return ParseCount(v, d.Options.Baud); }},
    {"--record", "a file name", [](const std::string& v, Draft& d) { return Take(v, d.Options.RecordPath); }},
    {"--drop-every", "a whole count from 1 to 2147483647",
     [](const std::string& v, Draft& d) { return ParseCount(v, d.Options.DropEvery); }},
    {"--garble-every", "a whole count from 1 to 2147483647",
     [](const std::string& v, Draft& d) { return ParseCount(v, d.Options.GarbleEvery); }},
    {"--stop-after", "seconds, 0 or more",
     [](const std::string& v, Draft& d) { return ParseSeconds(v, d.Options.StopAfterSeconds); }},
    {"--silent-after", "seconds, 0 or more",
     [](const std::string& v, Draft& d) { return ParseSeconds(v, d.Options.SilentAfterSeconds); }},
    {"--silent-for", "seconds above 0",
     [](const std::string& v, Draft& d) { return ParsePositiveSeconds(v, d.Options.SilentForSeconds); }},
    {"--silent-every", "seconds above 0",
     [](const std::string& v, Draft& d) { return ParsePositiveSeconds(v, d.Options.SilentEverySeconds); }},
    {"--drop-reply", "a whole count from 1 to 18446744073709551615",
     [](const std::string& v, Draft& d) { return ParseReplyNumber(v, d.Options.DropReplies); }},
    {"--stray-after", "a whole count from 1 to 18446744073709551615, optionally followed by =TEXT without line ends",
     [](const std::string& v, Draft& d) { return ParseStray(v, d.Options.Strays); }},
    {"--vanish-after", "seconds, 0 or more",
     [](const std::string& v, Draft& d) { return ParseSeconds(v, d.Options.VanishAfterSeconds); }},
    {"--return-after", "seconds, 0 or more",
     [](const std::string& v, Draft& d) { return ParseSeconds(v, d.Options.ReturnAfterSeconds); }},
    {"--vanish-every", "seconds above 0",
     [](const std::string& v, Draft& d) { return ParsePositiveSeconds(v, d.Options.VanishEverySeconds); }},
    {"--return-jitter", "seconds, 0 or more",
     [](const std::string& v, Draft& d) { return ParseSeconds(v, d.Options.ReturnJitterSeconds); }},
    {"--return-as", "a path", [](const std::string& v, Draft& d) { return Take(v, d.Options.ReturnAsPath); }},
    {"--stable-link", "a path", [](const std::string& v, Draft& d) { return Take(v, d.Options.StableLinkPath); }},
    {"--fault", "fan, fan2 or comm, optionally followed by ,at=SECONDS (0 or more) or ,after=COMMANDS (1 or more)",
     [](const std::string& v, Draft& d) { return ParseFault(v, d.Options.Faults); }},
    {"--flood-lines", "lines a second, 0 or more (0: as fast as taken)",
     [](const std::string& v, Draft& d) { return Set(d.Options.Flood) && ParseSeconds(v, d.Options.FloodLinesPerSecond); }},
    {"--flood-no-lf", nullptr,
     [](const std::string&, Draft& d) { return Set(d.Options.Flood) && Set(d.Options.FloodNoLineEnds); }},
    {"--flood-count", "a whole count from 1 to 18446744073709551615",
     [](const std::string& v, Draft& d) { return ParseNumber(v, d.Options.FloodCount) && d.Options.FloodCount > 0; }},
};

// The options that play with the terminal and its links have nothing to act
// on when clients come over TCP.
std::string CheckTcp(const SimOptions& options)
{
    const struct {
        const char* Name;
        bool Given;
    } terminalOnly[] = {
        {"--link", !options.LinkPath.empty()},
        {"--stable-link", !options.StableLinkPath.empty()},
        {"--return-as", !options.ReturnAsPath.empty()},
        {"--vanish-after", options.VanishAfterSeconds >= 0},
        {"--vanish-every", options.VanishEverySeconds >= 0},
        {"--return-after", options.ReturnAfterSeconds >= 0},
        {"--return-jitter", options.ReturnJitterSeconds > 0},
    };
    for (const auto& option : terminalOnly) {
        if (options.TcpPort >= 0 && option.Given)
            return std::string(option.Name) + " works on the pseudo-terminal only, not with --tcp";
    }
    return {};
}

std::string Finish(Draft& draft)
{
    SimOptions& options = draft.Options;
    if (std::string error = CheckTcp(options); !error.empty())
        return error;
    if (options.SilentForSeconds > 0 && options.SilentAfterSeconds < 0 && options.SilentEverySeconds < 0)
        return "--silent-for needs --silent-after or --silent-every";
    if ((options.SilentAfterSeconds >= 0 || options.SilentEverySeconds > 0) && options.SilentForSeconds < 0)
        return options.SilentAfterSeconds >= 0 ? "--silent-after needs --silent-for" : "--silent-every needs --silent-for";
    const bool vanishes = options.VanishAfterSeconds >= 0 || options.VanishEverySeconds >= 0;
    if (options.ReturnAfterSeconds >= 0 && !vanishes)
        return "--return-after needs --vanish-after or --vanish-every";
    // Without a return the repetition would never get its second round.
    if (options.VanishEverySeconds >= 0 && options.ReturnAfterSeconds < 0)
        return "--vanish-every needs --return-after";
    if (options.ReturnJitterSeconds > 0 && options.ReturnAfterSeconds < 0)
        return "--return-jitter needs --return-after";
    if (!options.ReturnAsPath.empty()) {
        if (options.ReturnAfterSeconds < 0)
            return "--return-as needs --return-after";
        if (options.LinkPath.empty())
            return "--return-as needs --link";
        if (options.ReturnAsPath == options.LinkPath)
            return "--return-as names the same path as --link";
    }
    if (!options.StableLinkPath.empty()
        && (options.StableLinkPath == options.LinkPath || options.StableLinkPath == options.ReturnAsPath))
        return "--stable-link names the same path as --link or --return-as";
    if (options.FloodCount > 0 && !options.Flood)
        return "--flood-count needs --flood-lines or --flood-no-lf";

    if (draft.ModelName.empty()) {
        options.Model = DefaultModel(draft.Outputs == 0 ? 2 : draft.Outputs);
    } else if (const SupplyModelInfo* model = FindModel(draft.ModelName)) {
        if (draft.Outputs != 0 && draft.Outputs != model->Outputs)
            return "--outputs " + std::to_string(draft.Outputs) + " contradicts model " + model->Name;
        options.Model = *model;
    } else {
        return "unknown model " + draft.ModelName + " (see --list-models)";
    }

    std::vector<double>& loads = draft.Loads;
    if (loads.size() > static_cast<std::size_t>(options.Model.Outputs))
        return "--load gives more loads than " + options.Model.Name + " has outputs";
    // One load given for a dual model wires the same resistor to both outputs.
    const double last = loads.empty() ? DefaultLoadOhms : loads.back();
    loads.resize(options.Model.Outputs, last);
    options.LoadOhms = loads;
    return {};
}
}

ParsedOptions ParseOptions(const std::vector<std::string>& args)
{
    Draft draft;
    ParsedOptions parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool hasValue = false;
        const std::size_t equals = name.find('=');
        if (name.compare(0, 2, "--") == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
            hasValue = true;
        }
        const auto rule = std::find_if(std::begin(Rules), std::end(Rules),
                                       [&](const OptionRule& r) { return name == r.Name; });
        if (rule == std::end(Rules)) {
            parsed.Error = "unknown option " + args[i];
            return parsed;
        }
        if (rule->Takes == nullptr) {
            // "--crlf=no" would otherwise turn CR LF on.
            if (hasValue) {
                parsed.Error = name + " takes no value";
                return parsed;
            }
        } else if (!hasValue && i + 1 < args.size()) {
            value = args[++i];
            hasValue = true;
        }
        if ((rule->Takes != nullptr && !hasValue) || !rule->Apply(value, draft)) {
            parsed.Error = name + " takes " + rule->Takes + (hasValue ? ", not \"" + value + "\"" : "");
            return parsed;
        }
    }
    parsed.Error = Finish(draft);
    parsed.Options = draft.Options;
    return parsed;
}

std::string ModelListText()
{
    std::string text;
    for (const SupplyModelInfo& model : KnownModels()) {
        char line[96];
        std::snprintf(line, sizeof line, "%-13s %5g V %5g A  %d output%s\n", model.Name.c_str(), model.MaxVolts,
                      model.MaxAmps, model.Outputs, model.Outputs == 1 ? "" : "s");
        text += line;
    }
    return text;
}

std::string VersionText()
{
    return std::string("tarvio-sim ") + TARVIO_VERSION + "\n";
}

std::string UsageText()
{
    return "Usage: tarvio-sim [options]\n"
        "Plays a programmable DC supply on a pseudo-terminal and prints the\n"
        "terminal's path as the first line (with --tcp, on a TCP port, and prints\n"
        "its address). Options take their value as the next argument or after\n"
        "\"=\"; the switches take none.\n"
        "\n"
        "The instrument:\n"
        "  --outputs 1|2        number of outputs (default 2)\n"
        "  --model NAME         model to play, e.g. QPX-30R05D (sets outputs and ratings;\n"
        "                       default QPX-30R03D, or QPX-30R03 with --outputs 1)\n"
        "  --list-models        print the models with their ratings and exit\n"
        "  --load OHMS[,OHMS]   resistive load per output, above 0 (default 10)\n"
        "  --seed N             noise, garbling and drift seed, 0 to\n"
        "                       18446744073709551615 (default fixed)\n"
        "  --no-noise           exact readings\n"
        "  --demo               start with the outputs on, P1 at 5 V 1 A and P2 at 12 V\n"
        "                       1.5 A, into loads that drift by up to 4 % over tens of\n"
        "                       seconds (--seed), so that readings move; *RST ends it\n"
        "                       but leaves the loads drifting\n"
        "\n"
        "The line:\n"
        "  --link PATH          make a symbolic link PATH to the terminal, removed on exit;\n"
        "                       a link to a terminal another tarvio-sim still serves is\n"
        "                       refused\n"
        "  --stable-link PATH   also make a symbolic link PATH to the --link (or, without\n"
        "                       one, to the terminal), as udev names a USB adapter in\n"
        "                       /dev/serial/by-id; it goes and comes back with the\n"
        "                       terminal\n"
        "  --tcp HOST:PORT      serve the supply on a TCP port instead of a terminal, one\n"
        "                       client at a time, and print the address it listens on\n"
        "                       as the first line, e.g. 127.0.0.1:40123 (PORT 0: a\n"
        "                       free port); not with --link, --stable-link or the\n"
        "                       faults that vanish and return\n"
        "  --crlf               end replies with CR LF instead of LF\n"
        "  --reply-delay MS     send each reply MS milliseconds after it is ready\n"
        "  --baud N             let bytes out no faster than an 8N1 line at N baud\n"
        "                       carries them (10 bits a byte); at most 1 MiB waits, more\n"
        "                       is dropped with a note on stderr\n"
        "  --record FILE        append a line \"<seconds>\\t<kind>\\t<text>\" for every\n"
        "                       command received (kind LF or CR, its terminator), reply\n"
        "                       sent (OUT) or dropped (DROP), unasked line sent\n"
        "                       (STRAY), error a command raised (ERROR), fault injected\n"
        "                       (FAULT), the terminal's path as it vanishes (VANISH) or\n"
        "                       returns (RETURN), and a TCP client's address as it\n"
        "                       connects (CONNECT) or leaves (DISCONNECT); seconds on\n"
        "                       the monotonic clock; control characters and \\ in the\n"
        "                       text are written \\xHH\n"
        "  --help               show this text and exit\n"
        "  --version            show the version and exit\n"
        "\n"
        "Faults (times count from start-up; every reply made counts):\n"
        "  --fault KIND[,at=SEC|,after=N]\n"
        "                       queue the instrument's own error KIND for SYST:ERR?:\n"
        "                       fan (ERROR - 1), fan2 (ERROR - 2) or comm (ERROR - 100),\n"
        "                       at start-up, SEC seconds after it, or once N commands\n"
        "                       have been carried out; may be given more than once\n"
        "  --drop-every N       lose every N-th reply (dropping wins over garbling)\n"
        "  --drop-reply N       lose the N-th reply; may be given more than once\n"
        "  --garble-every N     replace each character of every N-th reply with another\n"
        "                       printable one (same length, line end kept; --seed)\n"
        "  --stray-after N[=TEXT]\n"
        "                       send an unasked line TEXT (default \"ERROR - 101\") with\n"
        "                       the replies' line end right after the N-th reply, even\n"
        "                       a lost one; it counts as no reply; may be given more\n"
        "                       than once\n"
        "  --stop-after SEC     hang after SEC seconds: nothing new is sent; commands are\n"
        "                       still read and recorded, but not carried out\n"
        "  --silent-after SEC   with --silent-for: fall silent SEC seconds after start-up\n"
        "  --silent-for SEC     stay silent SEC seconds, the line open: commands are read\n"
        "                       and recorded but swallowed, replies not yet sent are\n"
        "                       lost, and none comes late once it answers again\n"
        "  --silent-every SEC   with --silent-for: fall silent SEC seconds after start-up\n"
        "                       (at --silent-after, if given) and again each time it\n"
        "                       has answered SEC seconds after a silence, until stopped\n"
        "  --vanish-after SEC   close the terminal after SEC seconds and exit\n"
        "  --return-after SEC   with --vanish-after: instead of exiting, come back SEC\n"
        "                       seconds later on a new terminal, print its path and point\n"
        "                       --link at it again; the instrument keeps its settings\n"
        "  --vanish-every SEC   with --return-after: vanish SEC seconds after start-up\n"
        "                       (after --vanish-after, if given) and again SEC seconds\n"
        "                       after each return, until stopped\n"
        "  --return-jitter SEC  with --return-after: each return comes a further 0 to SEC\n"
        "                       seconds later, drawn afresh each time (--seed)\n"
        "  --return-as PATH     with --link and --return-after: come back as a renamed\n"
        "                       adapter, the link made at PATH instead; returns take\n"
        "                       PATH and the --link path by turns\n"
        "\n"
        "Floods (start at the first line received, even an empty one; over TCP,\n"
        "at each client's first line):\n"
        "  --flood-lines RATE   send readings \"00.000\", \"00.001\", ... one a line, RATE\n"
        "                       lines a second (0: as fast as the terminal takes them)\n"
        "  --flood-no-lf        send the readings with no line ends at all (at RATE if\n"
        "                       --flood-lines is given, else as fast as taken)\n"
        "  --flood-count N      end the flood after N lines, or N bytes with --flood-no-lf\n"
        "\n"
        "Exit codes:\n"
        "  0  stopped by SIGTERM, SIGINT or SIGHUP, vanished, or --help/--version/--list-models\n"
        "  2  the command line is wrong (the reason is on stderr)\n"
        "  3  the terminal, the link, the TCP port or the record file could not be set up\n"
        "  4  the terminal or the TCP port failed while running\n";
}

} // namespace sim
