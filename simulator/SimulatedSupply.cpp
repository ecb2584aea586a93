// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulator/SimulatedSupply.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {
// A few counts of the last displayed digit, like a real meter's jitter.
constexpr double NoiseVolts = 0.003;
constexpr double NoiseAmps = 0.003;
constexpr int SamplesPerAverage = 16;
// Keeps the exact crossover (V/R == I) in constant voltage despite rounding.
constexpr double CrossoverTolerance = 1e-9;
// Each output's settings in the demonstration: into the default 10 ohms both
// work in CV (0.5 A and 1.2 A) with room to drift, on every model.
constexpr double DemoVolts[] = {5, 12};
constexpr double DemoAmps[] = {1, 1.5};
// The drift: a slow swing and a quicker ripple on it, ±4 % at most.
constexpr double DriftAmplitudes[] = {0.03, 0.01};
constexpr double DriftPeriods[] = {45, 13};
constexpr double Pi = 3.14159265358979323846;
// Apart from the noise's, the garbling's and the returns' sequences.
constexpr std::uint64_t DriftStream = 0xD81F7A11D81F7A11ull;
}

LoadDrift::LoadDrift(std::uint64_t seed)
{
    NoiseSource random(seed ^ DriftStream);
    for (auto& output : phases_) {
        for (double& phase : output)
            phase = Pi * random.Symmetric();
    }
}

double LoadDrift::Factor(int output, double seconds) const
{
    double factor = 1;
    for (int i = 0; i < 2; ++i)
        factor += DriftAmplitudes[i] * std::sin(2 * Pi * seconds / DriftPeriods[i] + phases_[output][i]);
    return factor;
}

double NoiseSource::Symmetric()
{
    // splitmix64: tiny, good enough for jitter, and identical on every platform,
    // unlike the standard distributions.
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) / static_cast<double>(1ull << 52) - 1.0;
}

OperatingPoint SolveOperatingPoint(const OutputChannel& channel, bool outputOn)
{
    OperatingPoint point;
    if (!outputOn)
        return point;
    const double drawn = channel.SetVolts / channel.LoadOhms;
    if (drawn <= channel.SetAmps + CrossoverTolerance) {
        point.Volts = channel.SetVolts;
        point.Amps = drawn;
        point.Mode = RegulationMode::ConstantVoltage;
    } else {
        point.Amps = channel.SetAmps;
        point.Volts = channel.SetAmps * channel.LoadOhms;
        point.Mode = RegulationMode::ConstantCurrent;
    }
    return point;
}

SimulatedSupply::SimulatedSupply(const SupplyModelInfo& model, const std::vector<double>& loadOhms,
                                 std::uint64_t noiseSeed, bool noise)
    : model_(model), channels_(model.Outputs), noiseSource_(noiseSeed), noise_(noise)
{
    for (int i = 0; i < Outputs() && i < static_cast<int>(loadOhms.size()); ++i)
        channels_[i].LoadOhms = loadOhms[i];
    Reset();
}

void SimulatedSupply::Reset()
{
    // The load is wiring, not instrument state, so a reset leaves it alone.
    for (auto& channel : channels_) {
        channel.SetVolts = 0;
        channel.SetAmps = model_.MaxAmps;
    }
    outputOn_ = false;
    tracking_ = false;
    keyLock_ = false;
}

void SimulatedSupply::StartDemo(std::uint64_t seed)
{
    drift_.emplace(seed);
    for (int i = 0; i < Outputs(); ++i) {
        channels_[i].SetVolts = DemoVolts[i];
        channels_[i].SetAmps = DemoAmps[i];
    }
    outputOn_ = true;
}

OutputChannel SimulatedSupply::Loaded(int index) const
{
    OutputChannel channel = channels_.at(index);
    if (drift_)
        channel.LoadOhms *= drift_->Factor(index, time_);
    return channel;
}

void SimulatedSupply::SetLevel(int index, Quantity quantity, double value)
{
    auto apply = [&](OutputChannel& channel) {
        (quantity == Quantity::Volts ? channel.SetVolts : channel.SetAmps) = value;
    };
    apply(channels_.at(index));
    if (tracking_ && index == 0 && Outputs() > 1)
        apply(channels_[1]);
}

void SimulatedSupply::SetTracking(bool on)
{
    // Output 2 follows output 1 from the moment tracking starts, not only from
    // the next setting.
    if (on && !tracking_ && Outputs() > 1) {
        channels_[1].SetVolts = channels_[0].SetVolts;
        channels_[1].SetAmps = channels_[0].SetAmps;
    }
    tracking_ = on;
}

RegulationMode SimulatedSupply::Mode(int index) const
{
    // The front panel shows the mode the settings call for even with the output
    // off, so ask the solver as if the output were on.
    return SolveOperatingPoint(Loaded(index), true).Mode;
}

double SimulatedSupply::Measure(int index, Quantity quantity, bool averaged)
{
    // A switched-off output reads a clean zero: there is nothing to jitter.
    if (!outputOn_)
        return 0;
    const OperatingPoint point = SolveOperatingPoint(Loaded(index), true);
    const double ideal = quantity == Quantity::Volts ? point.Volts : point.Amps;
    const double amplitude = quantity == Quantity::Volts ? NoiseVolts : NoiseAmps;
    if (!averaged)
        return MeasureOnce(ideal, amplitude);
    double sum = 0;
    for (int i = 0; i < SamplesPerAverage; ++i)
        sum += MeasureOnce(ideal, amplitude);
    return sum / SamplesPerAverage;
}

double SimulatedSupply::MeasureOnce(double ideal, double noiseAmplitude)
{
    if (!noise_)
        return ideal;
    // A meter never shows a negative reading for a source that cannot sink.
    return std::max(0.0, ideal + noiseAmplitude * noiseSource_.Symmetric());
}

} // namespace sim
