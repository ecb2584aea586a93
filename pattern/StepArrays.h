#pragma once
#include <array>

// Where a run or a pattern file holds each step's numbers on their way out of
// or into the table. Index k is step k; index 0 is never used, and 101 leaves
// room for the row past a full table.
struct StepArrays {
    std::array<double, 102> StepTime{}, StepVoltage{}, StepCurrent{};
};
