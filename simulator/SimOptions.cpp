#include "simulator/SimOptions.h"

#include <charconv>
#include <cmath>

namespace {
template <typename Number>
bool ParseNumber(const std::string& text, Number& value)
{
    const char* last = text.data() + text.size();
    const auto result = std::from_chars(text.data(), last, value);
    return !text.empty() && result.ec == std::errc() && result.ptr == last;
}

bool ParseSeconds(const std::string& text, double& seconds)
{
    return ParseNumber(text, seconds) && seconds >= 0 && std::isfinite(seconds);
}

bool ParseLoads(const std::string& text, std::vector<double>& loads)
{
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
}

ParsedOptions ParseOptions(const std::vector<std::string>& args)
{
    ParsedOptions parsed;
    SimOptions& options = parsed.Options;
    int outputs = 0;
    std::string modelName;
    std::vector<double> loads;

    auto fail = [&](const std::string& message) {
        parsed.Error = message;
        return parsed;
    };
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
        auto takeValue = [&]() {
            if (!hasValue && i + 1 < args.size()) {
                value = args[++i];
                hasValue = true;
            }
            return hasValue;
        };

        if (name == "--help" || name == "-h") {
            options.Help = true;
        } else if (name == "--crlf") {
            options.CrLf = true;
        } else if (name == "--no-noise") {
            options.Noise = false;
        } else if (name == "--outputs") {
            if (!takeValue() || !ParseNumber(value, outputs) || (outputs != 1 && outputs != 2))
                return fail("--outputs takes 1 or 2");
        } else if (name == "--model") {
            if (!takeValue() || value.empty())
                return fail("--model takes a model name");
            modelName = value;
        } else if (name == "--link") {
            if (!takeValue() || value.empty())
                return fail("--link takes a path");
            options.LinkPath = value;
        } else if (name == "--reply-delay") {
            if (!takeValue() || !ParseNumber(value, options.ReplyDelayMs) || options.ReplyDelayMs < 0)
                return fail("--reply-delay takes a number of milliseconds");
        } else if (name == "--record") {
            if (!takeValue() || value.empty())
                return fail("--record takes a file name");
            options.RecordPath = value;
        } else if (name == "--baud") {
            if (!takeValue() || !ParseNumber(value, options.Baud) || options.Baud <= 0)
                return fail("--baud takes a rate above zero, e.g. 9600");
        } else if (name == "--drop-every") {
            if (!takeValue() || !ParseNumber(value, options.DropEvery) || options.DropEvery <= 0)
                return fail("--drop-every takes a count above zero");
        } else if (name == "--garble-every") {
            if (!takeValue() || !ParseNumber(value, options.GarbleEvery) || options.GarbleEvery <= 0)
                return fail("--garble-every takes a count above zero");
        } else if (name == "--stop-after") {
            if (!takeValue() || !ParseSeconds(value, options.StopAfterSeconds))
                return fail("--stop-after takes a number of seconds");
        } else if (name == "--vanish-after") {
            if (!takeValue() || !ParseSeconds(value, options.VanishAfterSeconds))
                return fail("--vanish-after takes a number of seconds");
        } else if (name == "--return-after") {
            if (!takeValue() || !ParseSeconds(value, options.ReturnAfterSeconds))
                return fail("--return-after takes a number of seconds");
        } else if (name == "--flood-lines") {
            if (!takeValue() || !ParseSeconds(value, options.FloodLinesPerSecond))
                return fail("--flood-lines takes a number of lines per second (0: as fast as taken)");
            options.Flood = true;
        } else if (name == "--flood-no-lf") {
            options.Flood = true;
            options.FloodNoLineEnds = true;
        } else if (name == "--flood-count") {
            if (!takeValue() || !ParseNumber(value, options.FloodCount) || options.FloodCount == 0)
                return fail("--flood-count takes a count above zero");
        } else if (name == "--load") {
            loads.clear();
            if (!takeValue() || !ParseLoads(value, loads))
                return fail("--load takes one or two resistances above zero, e.g. 10,4.7");
        } else if (name == "--seed") {
            if (!takeValue() || !ParseNumber(value, options.NoiseSeed))
                return fail("--seed takes a whole number");
        } else {
            return fail("unknown option " + args[i]);
        }
    }

    if (options.ReturnAfterSeconds >= 0 && options.VanishAfterSeconds < 0)
        return fail("--return-after needs --vanish-after");
    if (options.FloodCount > 0 && !options.Flood)
        return fail("--flood-count needs --flood-lines or --flood-no-lf");

    if (modelName.empty()) {
        options.Model = DefaultModel(outputs == 0 ? 2 : outputs);
    } else if (const SupplyModelInfo* model = FindModel(modelName)) {
        if (outputs != 0 && outputs != model->Outputs)
            return fail("--outputs " + std::to_string(outputs) + " contradicts model " + model->Name);
        options.Model = *model;
    } else {
        return fail("unknown model " + modelName);
    }

    if (loads.size() > static_cast<std::size_t>(options.Model.Outputs))
        return fail("--load gives more loads than " + options.Model.Name + " has outputs");
    // One load given for a dual model wires the same resistor to both outputs.
    const double last = loads.empty() ? DefaultLoadOhms : loads.back();
    loads.resize(options.Model.Outputs, last);
    options.LoadOhms = loads;
    return parsed;
}

std::string UsageText(const std::string& program)
{
    return "Usage: " + program + " [options]\n"
        "Plays a programmable DC supply on a pseudo-terminal and prints the\n"
        "terminal's path as the first line.\n"
        "\n"
        "  --outputs 1|2        number of outputs (default 2)\n"
        "  --model NAME         model to play, e.g. QPX-30R05D (sets outputs and ratings;\n"
        "                       default QPX-30R03D, or QPX-30R03 with --outputs 1)\n"
        "  --load OHMS[,OHMS]   resistive load per output (default 10)\n"
        "  --seed N             noise and garbling seed (default fixed)\n"
        "  --no-noise           exact readings\n"
        "  --link PATH          make a symbolic link PATH to the terminal, removed on exit\n"
        "  --crlf               end replies with CR LF instead of LF\n"
        "  --reply-delay MS     send each reply MS milliseconds after its command\n"
        "  --baud N             let bytes out no faster than an 8N1 line at N baud\n"
        "                       carries them (10 bits a byte); at most 1 MiB waits, more\n"
        "                       is dropped with a note on stderr\n"
        "  --record FILE        append \"<seconds>\\t<LF|CR>\\t<command>\" for every command\n"
        "                       received (monotonic clock)\n"
        "  --help               show this text\n"
        "\n"
        "Faults (times count from start-up; every reply made counts):\n"
        "  --drop-every N       lose every N-th reply (dropping wins over garbling)\n"
        "  --garble-every N     replace each character of every N-th reply with another\n"
        "                       printable one (same length, line end kept; --seed)\n"
        "  --stop-after SEC     hang after SEC seconds: nothing new is sent; commands are\n"
        "                       still read and recorded, but not carried out\n"
        "  --vanish-after SEC   close the terminal after SEC seconds and exit\n"
        "  --return-after SEC   with --vanish-after: instead of exiting, come back SEC\n"
        "                       seconds later on a new terminal, print its path and point\n"
        "                       --link at it again; the instrument keeps its settings\n"
        "\n"
        "Floods (start at the first line received, even an empty one):\n"
        "  --flood-lines RATE   send readings \"00.000\", \"00.001\", ... one a line, RATE\n"
        "                       lines a second (0: as fast as the terminal takes them)\n"
        "  --flood-no-lf        send the readings with no line ends at all (at RATE if\n"
        "                       --flood-lines is given, else as fast as taken)\n"
        "  --flood-count N      end the flood after N lines, or N bytes with --flood-no-lf\n";
}
