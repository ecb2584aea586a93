// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "simulator/SimulatedSupply.h"

namespace sim {

// The instrument's error numbers, as the console's reference list shows them.
namespace ErrorCode {
constexpr int UnknownCommand = 101;
constexpr int BadParameter = 102;
constexpr int ParameterCount = 103;
constexpr int BadOutput = 104;
constexpr int AboveMaximum = 105;
constexpr int BelowMinimum = 106;
}

constexpr std::size_t MaxQueuedErrors = 16;
constexpr int MaxSamplesPerQuery = 100;
// Longest pause between two samples of a series, in seconds: the instrument
// answers nothing else meanwhile, so a longer one would look like a hang.
constexpr double MaxSampleIntervalSeconds = 60;

// What one command line did: the reply line for a query (without its
// terminator), the error it raised (0 for none), and how long the instrument
// was busy carrying it out before the reply was ready.
struct Response {
    std::optional<std::string> Reply;
    int Error = 0;
    double BusySeconds = 0;
};

// Plays the instrument's side of the command language: one command line in, at
// most one reply line out (without its terminator), errors kept in a queue for
// SYST:ERR?. A query that fails still answers, with the error text, because the
// console pairs replies with its queries by counting lines.
class CommandInterpreter {
public:
    explicit CommandInterpreter(SimulatedSupply supply);

    Response HandleCommand(const std::string& line);
    const SimulatedSupply& Supply() const { return supply_; }
    // Queues an error the instrument raised by itself (a fan, the
    // communication module), as a command's error would be queued.
    void RaiseError(int code) { PushError(code); }
    // What time it is on the instrument's clock, seconds after start-up, as
    // the next command begins.
    void SetTime(double seconds) { supply_.SetTime(seconds); }
    // The demonstration's start (see SimulatedSupply::StartDemo).
    void StartDemo(std::uint64_t seed) { supply_.StartDemo(seed); }

private:
    // A handler's answer: an error number (0 for none), for queries the text,
    // and the time the instrument spends before the answer is ready.
    struct Outcome {
        int Error = 0;
        std::string Reply;
        double BusySeconds = 0;
    };
    using Parameters = std::vector<std::string>;
    using Handler = Outcome (CommandInterpreter::*)(const Parameters&);
    struct Command {
        const char* Keyword;
        Handler Run;
        bool TakesParameters;
    };

    static const std::vector<Command>& Commands();

    Outcome SetVoltage(const Parameters& params) { return SetLevel(params, Quantity::Volts); }
    Outcome SetCurrent(const Parameters& params) { return SetLevel(params, Quantity::Amps); }
    Outcome QueryVoltage(const Parameters& params) { return QueryLevel(params, Quantity::Volts); }
    Outcome QueryCurrent(const Parameters& params) { return QueryLevel(params, Quantity::Amps); }
    Outcome SetLevel(const Parameters& params, Quantity quantity);
    Outcome QueryLevel(const Parameters& params, Quantity quantity);
    Outcome QueryFlow(const Parameters& params);
    Outcome Apply(const Parameters& params);
    Outcome QueryApply(const Parameters& params);
    Outcome MeasureVoltage(const Parameters& params) { return Measure(params, Quantity::Volts, false); }
    Outcome MeasureCurrent(const Parameters& params) { return Measure(params, Quantity::Amps, false); }
    Outcome MeasureVoltageAveraged(const Parameters& params) { return Measure(params, Quantity::Volts, true); }
    Outcome MeasureCurrentAveraged(const Parameters& params) { return Measure(params, Quantity::Amps, true); }
    Outcome Measure(const Parameters& params, Quantity quantity, bool averaged);
    Outcome MeasureVoltageSeries(const Parameters& params) { return MeasureSeries(params, Quantity::Volts); }
    Outcome MeasureCurrentSeries(const Parameters& params) { return MeasureSeries(params, Quantity::Amps); }
    Outcome MeasureSeries(const Parameters& params, Quantity quantity);
    Outcome SetOutput(const Parameters& params);
    Outcome QueryOutput(const Parameters& params);
    Outcome SetTracking(const Parameters& params);
    Outcome QueryTracking(const Parameters& params);
    Outcome SetKeyLock(const Parameters& params);
    Outcome QueryKeyLock(const Parameters& params);
    Outcome QueryError(const Parameters& params);
    Outcome QueryVersion(const Parameters& params);
    Outcome QueryIdentity(const Parameters& params);
    Outcome Reset(const Parameters& params);
    Outcome ClearErrors(const Parameters& params);

    int ParseChannel(const std::string& token, int& index) const;
    int ParseSetChannel(const std::string& token, int& index) const;
    int ParseLeadingChannel(const Parameters& params, bool setting, int& index, std::size_t& first) const;
    int ParseQueriedChannel(const Parameters& params, int& index) const;
    int ParseLevel(const std::string& token, Quantity quantity, double& value) const;
    static int ParseSwitch(const Parameters& params, bool& on);
    Outcome SetSwitch(const Parameters& params, void (SimulatedSupply::*set)(bool));
    Outcome QuerySwitch(bool (SimulatedSupply::*get)() const) const;
    void PushError(int code);

    SimulatedSupply supply_;
    std::deque<int> errors_;
};

// Replies carry three decimals, the instrument's resolution.
std::string FormatThreeDecimals(double value);

} // namespace sim
