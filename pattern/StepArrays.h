// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <array>

class PatternTable;

// Where a run or a pattern file holds each step's numbers on their way out of
// or into the table. Index k is step k; index 0 is never used, and 101 leaves
// room for the row past a full table.
struct StepArrays {
    std::array<double, 102> StepTime{}, StepVoltage{}, StepCurrent{};
};

// Reads the table's leading complete steps into the arrays, cell by cell
// (a row's values are staged up to its first empty cell), and returns how
// many complete steps there are. Saving and running both start from this.
int StageLeadingSteps(const PatternTable& table, StepArrays& arrays);
