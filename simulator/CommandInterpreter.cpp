// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulator/CommandInterpreter.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace sim {

namespace {
constexpr const char* FirmwareVersion = "1.00";
// Lets a value typed with more digits than the instrument resolves still reach
// the rating exactly ("30.0004" is 30.000, not above 30).
constexpr double RatingTolerance = 1e-9;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string Trim(const std::string& text)
{
    std::size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

std::string ToUpper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::vector<std::string> SplitParameters(const std::string& text)
{
    std::vector<std::string> params;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        params.push_back(Trim(text.substr(start, comma - start)));
        if (comma == std::string::npos)
            return params;
        start = comma + 1;
    }
}

// The channel may be left out, so a leading parameter is taken for one by its
// first letter; a misspelt channel then reports a bad output, not a bad value.
bool LooksLikeChannel(const std::string& token)
{
    return !token.empty() && std::toupper(static_cast<unsigned char>(token[0])) == 'P';
}

// Plain decimal text only: strtod would also take "inf", "nan" and hex, and
// follows the process locale, which Qt sets from the environment.
bool ParseDecimal(const std::string& token, double& value)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) {
        negative = token[i] == '-';
        ++i;
    }
    const std::size_t numberStart = i;
    std::size_t digits = 0;
    while (i < token.size() && std::isdigit(static_cast<unsigned char>(token[i])))
        ++i, ++digits;
    if (i < token.size() && token[i] == '.')
        ++i;
    while (i < token.size() && std::isdigit(static_cast<unsigned char>(token[i])))
        ++i, ++digits;
    if (digits == 0)
        return false;
    if (i < token.size() && (token[i] == 'e' || token[i] == 'E')) {
        ++i;
        if (i < token.size() && (token[i] == '+' || token[i] == '-'))
            ++i;
        const std::size_t exponentStart = i;
        while (i < token.size() && std::isdigit(static_cast<unsigned char>(token[i])))
            ++i;
        if (i == exponentStart)
            return false;
    }
    if (i != token.size())
        return false;
    const char* first = token.data() + numberStart;
    const char* last = token.data() + token.size();
    const auto result = std::from_chars(first, last, value);
    if (result.ec != std::errc() || result.ptr != last || !std::isfinite(value))
        return false;
    if (negative)
        value = -value;
    return true;
}

std::string ErrorText(int code)
{
    return "ERROR - " + std::to_string(code);
}
}

std::string FormatThreeDecimals(double value)
{
    // Rounding a tiny negative would print "-0.000".
    if (std::fabs(value) < 0.0005)
        value = 0;
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 3);
    return std::string(text, result.ptr);
}

CommandInterpreter::CommandInterpreter(SimulatedSupply supply) : supply_(std::move(supply)) {}

const std::vector<CommandInterpreter::Command>& CommandInterpreter::Commands()
{
    static const std::vector<Command> commands = {
        {"SOUR:VOLT", &CommandInterpreter::SetVoltage, true},
        {"SOUR:VOLT?", &CommandInterpreter::QueryVoltage, true},
        {"SOUR:CURR", &CommandInterpreter::SetCurrent, true},
        {"SOUR:CURR?", &CommandInterpreter::QueryCurrent, true},
        {"SOUR:FLOW?", &CommandInterpreter::QueryFlow, true},
        {"APPL", &CommandInterpreter::Apply, true},
        {"APPL?", &CommandInterpreter::QueryApply, true},
        {"MEAS:VOLT?", &CommandInterpreter::MeasureVoltage, true},
        {"MEAS:CURR?", &CommandInterpreter::MeasureCurrent, true},
        {"MEAS:VOLTA?", &CommandInterpreter::MeasureVoltageAveraged, true},
        {"MEAS:CURRA?", &CommandInterpreter::MeasureCurrentAveraged, true},
        {"MEAS:VOLTS?", &CommandInterpreter::MeasureVoltageSeries, true},
        {"MEAS:CURRS?", &CommandInterpreter::MeasureCurrentSeries, true},
        {"OUTP:STAT", &CommandInterpreter::SetOutput, true},
        {"OUTP:STAT?", &CommandInterpreter::QueryOutput, false},
        {"OUTP:TRACK", &CommandInterpreter::SetTracking, true},
        {"OUTP:TRACK?", &CommandInterpreter::QueryTracking, false},
        {"KEYB:LOCK", &CommandInterpreter::SetKeyLock, true},
        {"KEYB:LOCK?", &CommandInterpreter::QueryKeyLock, false},
        {"SYST:ERR?", &CommandInterpreter::QueryError, false},
        {"SYST:VERS?", &CommandInterpreter::QueryVersion, false},
        {"*IDN?", &CommandInterpreter::QueryIdentity, false},
        {"*RST", &CommandInterpreter::Reset, false},
        {"*CLS", &CommandInterpreter::ClearErrors, false},
    };
    return commands;
}

Response CommandInterpreter::HandleCommand(const std::string& line)
{
    const std::string text = Trim(line);
    if (text.empty())
        return {};
    const std::size_t blank = std::find_if(text.begin(), text.end(), IsBlank) - text.begin();
    const std::string keyword = ToUpper(text.substr(0, blank));
    const Parameters params = blank < text.size() ? SplitParameters(text.substr(blank + 1)) : Parameters();

    const auto& commands = Commands();
    const auto command = std::find_if(commands.begin(), commands.end(),
                                      [&](const Command& c) { return keyword == c.Keyword; });
    Outcome outcome;
    if (command == commands.end())
        outcome.Error = ErrorCode::UnknownCommand;
    else if (!command->TakesParameters && !params.empty())
        outcome.Error = ErrorCode::ParameterCount;
    else
        outcome = (this->*command->Run)(params);
    Response response;
    response.Error = outcome.Error;
    response.BusySeconds = outcome.BusySeconds;
    if (outcome.Error != 0)
        PushError(outcome.Error);
    if (keyword.back() == '?')
        response.Reply = outcome.Error != 0 ? ErrorText(outcome.Error) : outcome.Reply;
    return response;
}

int CommandInterpreter::ParseChannel(const std::string& token, int& index) const
{
    const std::string upper = ToUpper(token);
    if (upper == "P1")
        index = 0;
    else if (upper == "P2" && supply_.Outputs() > 1)
        index = 1;
    else
        return ErrorCode::BadOutput;
    return 0;
}

// While tracking, output 2 follows output 1 and cannot be set on its own.
int CommandInterpreter::ParseSetChannel(const std::string& token, int& index) const
{
    if (int error = ParseChannel(token, index))
        return error;
    return index == 1 && supply_.Tracking() ? ErrorCode::BadOutput : 0;
}

// For commands whose channel may be left out before their values: `first` is
// where the values start.
int CommandInterpreter::ParseLeadingChannel(const Parameters& params, bool setting, int& index, std::size_t& first) const
{
    index = 0;
    first = 0;
    if (params.empty() || !LooksLikeChannel(params[0]))
        return 0;
    first = 1;
    return setting ? ParseSetChannel(params[0], index) : ParseChannel(params[0], index);
}

int CommandInterpreter::ParseQueriedChannel(const Parameters& params, int& index) const
{
    index = 0;
    if (params.empty())
        return 0;
    if (params.size() > 1)
        return ErrorCode::ParameterCount;
    return ParseChannel(params[0], index);
}

int CommandInterpreter::ParseLevel(const std::string& token, Quantity quantity, double& value) const
{
    const double rating = quantity == Quantity::Volts ? supply_.Model().MaxVolts : supply_.Model().MaxAmps;
    const std::string upper = ToUpper(token);
    if (upper == "MIN") {
        value = 0;
        return 0;
    }
    if (upper == "MAX") {
        value = rating;
        return 0;
    }
    if (!ParseDecimal(token, value))
        return ErrorCode::BadParameter;
    if (value < 0)
        return ErrorCode::BelowMinimum;
    value = std::round(value * 1000) / 1000;
    if (value > rating + RatingTolerance)
        return ErrorCode::AboveMaximum;
    return 0;
}

int CommandInterpreter::ParseSwitch(const Parameters& params, bool& on)
{
    if (params.size() != 1)
        return ErrorCode::ParameterCount;
    const std::string upper = ToUpper(params[0]);
    if (upper == "ON" || upper == "1")
        on = true;
    else if (upper == "OFF" || upper == "0")
        on = false;
    else
        return ErrorCode::BadParameter;
    return 0;
}

void CommandInterpreter::PushError(int code)
{
    // Like the instrument, keep the first errors: they explain the later ones.
    if (errors_.size() < MaxQueuedErrors)
        errors_.push_back(code);
}

CommandInterpreter::Outcome CommandInterpreter::SetLevel(const Parameters& params, Quantity quantity)
{
    int index = 0;
    const std::string* valueToken = nullptr;
    if (params.size() == 2) {
        if (int error = ParseSetChannel(params[0], index))
            return {error, {}};
        valueToken = &params[1];
    } else if (params.size() == 1 && !LooksLikeChannel(params[0])) {
        valueToken = &params[0];
    } else {
        return {ErrorCode::ParameterCount, {}};
    }
    double value = 0;
    if (int error = ParseLevel(*valueToken, quantity, value))
        return {error, {}};
    supply_.SetLevel(index, quantity, value);
    return {};
}

CommandInterpreter::Outcome CommandInterpreter::QueryLevel(const Parameters& params, Quantity quantity)
{
    int index = 0;
    if (int error = ParseQueriedChannel(params, index))
        return {error, {}};
    const OutputChannel& channel = supply_.Channel(index);
    return {0, FormatThreeDecimals(quantity == Quantity::Volts ? channel.SetVolts : channel.SetAmps)};
}

CommandInterpreter::Outcome CommandInterpreter::QueryFlow(const Parameters& params)
{
    int index = 0;
    if (int error = ParseQueriedChannel(params, index))
        return {error, {}};
    return {0, supply_.Mode(index) == RegulationMode::ConstantVoltage ? "CV" : "CC"};
}

CommandInterpreter::Outcome CommandInterpreter::Apply(const Parameters& params)
{
    int index = 0;
    std::size_t first = 0;
    if (int error = ParseLeadingChannel(params, true, index, first))
        return {error, {}};
    const std::size_t valueCount = params.size() - first;
    if (valueCount == 0 || valueCount > 2)
        return {ErrorCode::ParameterCount, {}};

    // Either value may be left empty; nothing is applied unless both that are
    // given are valid.
    std::optional<double> levels[2];
    const Quantity quantities[2] = {Quantity::Volts, Quantity::Amps};
    for (std::size_t i = 0; i < valueCount; ++i) {
        const std::string& token = params[first + i];
        if (token.empty())
            continue;
        double value = 0;
        if (int error = ParseLevel(token, quantities[i], value))
            return {error, {}};
        levels[i] = value;
    }
    if (!levels[0] && !levels[1])
        return {ErrorCode::ParameterCount, {}};
    for (int i = 0; i < 2; ++i) {
        if (levels[i])
            supply_.SetLevel(index, quantities[i], *levels[i]);
    }
    return {};
}

CommandInterpreter::Outcome CommandInterpreter::QueryApply(const Parameters& params)
{
    int index = 0;
    if (int error = ParseQueriedChannel(params, index))
        return {error, {}};
    const OutputChannel& channel = supply_.Channel(index);
    return {0, FormatThreeDecimals(channel.SetVolts) + "," + FormatThreeDecimals(channel.SetAmps)};
}

CommandInterpreter::Outcome CommandInterpreter::Measure(const Parameters& params, Quantity quantity, bool averaged)
{
    int index = 0;
    if (int error = ParseQueriedChannel(params, index))
        return {error, {}};
    return {0, FormatThreeDecimals(supply_.Measure(index, quantity, averaged))};
}

CommandInterpreter::Outcome CommandInterpreter::MeasureSeries(const Parameters& params, Quantity quantity)
{
    int index = 0;
    std::size_t first = 0;
    if (int error = ParseLeadingChannel(params, false, index, first))
        return {error, {}};
    const std::size_t count = params.size() - first;
    if (count < 1 || count > 2)
        return {ErrorCode::ParameterCount, {}};
    double interval = 0;
    if (!ParseDecimal(params[first], interval))
        return {ErrorCode::BadParameter, {}};
    if (interval < 0)
        return {ErrorCode::BelowMinimum, {}};
    if (interval > MaxSampleIntervalSeconds)
        return {ErrorCode::AboveMaximum, {}};
    double samples = 1;
    if (count == 2) {
        if (!ParseDecimal(params[first + 1], samples) || samples != std::floor(samples))
            return {ErrorCode::BadParameter, {}};
        if (samples < 1)
            return {ErrorCode::BelowMinimum, {}};
        if (samples > MaxSamplesPerQuery)
            return {ErrorCode::AboveMaximum, {}};
    }
    // The first sample is taken at once and the reply leaves with the last.
    // No command can change the settings meanwhile, as the instrument carries
    // out one at a time, so the samples can be read now, each on the clock
    // at its own moment for a load that drifts.
    std::string reply;
    const double begun = supply_.Time();
    for (int i = 0; i < static_cast<int>(samples); ++i) {
        if (i > 0)
            reply += ',';
        supply_.SetTime(begun + i * interval);
        reply += FormatThreeDecimals(supply_.Measure(index, quantity, false));
    }
    return {0, reply, (samples - 1) * interval};
}

// The three ON/OFF settings share one way of being set and read back.
CommandInterpreter::Outcome CommandInterpreter::SetSwitch(const Parameters& params, void (SimulatedSupply::*set)(bool))
{
    bool on = false;
    if (int error = ParseSwitch(params, on))
        return {error, {}};
    (supply_.*set)(on);
    return {};
}

CommandInterpreter::Outcome CommandInterpreter::QuerySwitch(bool (SimulatedSupply::*get)() const) const
{
    return {0, (supply_.*get)() ? "ON" : "OFF"};
}

CommandInterpreter::Outcome CommandInterpreter::SetOutput(const Parameters& params)
{
    return SetSwitch(params, &SimulatedSupply::SetOutputOn);
}

CommandInterpreter::Outcome CommandInterpreter::QueryOutput(const Parameters&)
{
    return QuerySwitch(&SimulatedSupply::OutputOn);
}

CommandInterpreter::Outcome CommandInterpreter::SetTracking(const Parameters& params)
{
    return SetSwitch(params, &SimulatedSupply::SetTracking);
}

CommandInterpreter::Outcome CommandInterpreter::QueryTracking(const Parameters&)
{
    return QuerySwitch(&SimulatedSupply::Tracking);
}

CommandInterpreter::Outcome CommandInterpreter::SetKeyLock(const Parameters& params)
{
    return SetSwitch(params, &SimulatedSupply::SetKeyLock);
}

CommandInterpreter::Outcome CommandInterpreter::QueryKeyLock(const Parameters&)
{
    return QuerySwitch(&SimulatedSupply::KeyLock);
}

CommandInterpreter::Outcome CommandInterpreter::QueryError(const Parameters&)
{
    if (errors_.empty())
        return {0, "NO ERROR"};
    const int code = errors_.front();
    errors_.pop_front();
    return {0, ErrorText(code)};
}

CommandInterpreter::Outcome CommandInterpreter::QueryVersion(const Parameters&)
{
    return {0, FirmwareVersion};
}

CommandInterpreter::Outcome CommandInterpreter::QueryIdentity(const Parameters&)
{
    return {0, supply_.Model().Name};
}

CommandInterpreter::Outcome CommandInterpreter::Reset(const Parameters&)
{
    supply_.Reset();
    return {};
}

CommandInterpreter::Outcome CommandInterpreter::ClearErrors(const Parameters&)
{
    errors_.clear();
    return {};
}

} // namespace sim
