// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <vector>

class PatternTable;

// One step of a pattern as numbers: what a run plays and a pattern file holds.
struct StepNumbers {
    double Time = 0, Voltage = 0, Current = 0;
};

// The table's leading complete steps, each cell read with LeadingNumber.
// Saving and running both start from this.
std::vector<StepNumbers> LeadingSteps(const PatternTable& table);
