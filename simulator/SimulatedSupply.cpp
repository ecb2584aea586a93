// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulator/SimulatedSupply.h"

#include <algorithm>

namespace sim {

namespace {
// A few counts of the last displayed digit, like a real meter's jitter.
constexpr double NoiseVolts = 0.003;
constexpr double NoiseAmps = 0.003;
constexpr int SamplesPerAverage = 16;
// Keeps the exact crossover (V/R == I) in constant voltage despite rounding.
constexpr double CrossoverTolerance = 1e-9;
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
    return SolveOperatingPoint(channels_.at(index), true).Mode;
}

double SimulatedSupply::Measure(int index, Quantity quantity, bool averaged)
{
    // A switched-off output reads a clean zero: there is nothing to jitter.
    if (!outputOn_)
        return 0;
    const OperatingPoint point = SolveOperatingPoint(channels_.at(index), true);
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
