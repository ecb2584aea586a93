// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "simulator/ModelCatalog.h"

namespace sim {

// A repeatable pseudo-random source, so that two runs with one seed read the
// same noisy values and a failing demo can be replayed.
class NoiseSource {
public:
    explicit NoiseSource(std::uint64_t seed) : state_(seed) {}
    double Symmetric(); // uniform in [-1, 1)

private:
    std::uint64_t state_;
};

enum class RegulationMode { ConstantVoltage, ConstantCurrent };

// What the terminals carry, before any measurement noise.
struct OperatingPoint {
    double Volts = 0;
    double Amps = 0;
    RegulationMode Mode = RegulationMode::ConstantVoltage;
};

// The limits the operator set on one output and the resistor it drives.
struct OutputChannel {
    double SetVolts = 0;
    double SetAmps = 0;
    double LoadOhms = 10;
};

// The load decides which limit holds: the voltage, while the current it draws
// stays within the current limit, otherwise the current.
OperatingPoint SolveOperatingPoint(const OutputChannel& channel, bool outputOn);

enum class Quantity { Volts, Amps };

// A load that wanders slowly, as a resistor warming and cooling does: by a
// few percent over tens of seconds, smoothly, each output on its own course,
// the same course for the same seed.
class LoadDrift {
public:
    explicit LoadDrift(std::uint64_t seed);
    // What the load's resistance is multiplied by, `seconds` after start-up.
    double Factor(int output, double seconds) const;

private:
    double phases_[2][2] = {};
};

// The electrical state of the whole supply: per-output limits and loads, the
// common output switch, tracking and the key lock, and the noisy meters.
class SimulatedSupply {
public:
    SimulatedSupply(const SupplyModelInfo& model, const std::vector<double>& loadOhms,
                    std::uint64_t noiseSeed, bool noise);

    const SupplyModelInfo& Model() const { return model_; }
    int Outputs() const { return static_cast<int>(channels_.size()); }
    const OutputChannel& Channel(int index) const { return channels_.at(index); }

    void Reset();
    // The demonstration's start: the outputs on at modest settings (every
    // model's ratings allow them) into loads that drift from now on.
    void StartDemo(std::uint64_t seed);
    // The instrument's clock, seconds after start-up: the drift follows it.
    void SetTime(double seconds) { time_ = seconds; }
    double Time() const { return time_; }
    // Setting output 1 while tracking carries the value to output 2 as well.
    void SetLevel(int index, Quantity quantity, double value);
    bool OutputOn() const { return outputOn_; }
    void SetOutputOn(bool on) { outputOn_ = on; }
    bool Tracking() const { return tracking_; }
    void SetTracking(bool on);
    bool KeyLock() const { return keyLock_; }
    void SetKeyLock(bool on) { keyLock_ = on; }

    RegulationMode Mode(int index) const;
    // The averaged reading is the mean of several instantaneous ones, which is
    // what makes it quieter.
    double Measure(int index, Quantity quantity, bool averaged);

private:
    double MeasureOnce(double ideal, double noiseAmplitude);
    // The output as it is now, its load drifted.
    OutputChannel Loaded(int index) const;

    SupplyModelInfo model_;
    std::vector<OutputChannel> channels_;
    NoiseSource noiseSource_;
    bool noise_;
    bool outputOn_ = false;
    bool tracking_ = false;
    bool keyLock_ = false;
    std::optional<LoadDrift> drift_;
    double time_ = 0;
};

} // namespace sim
