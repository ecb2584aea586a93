// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pattern/StepNumbers.h"

#include "pattern/PatternTable.h"
#include "pattern/StepValues.h"

std::vector<StepNumbers> LeadingSteps(const PatternTable& table)
{
    const int count = table.LeadingCompleteSteps();
    std::vector<StepNumbers> steps;
    steps.reserve(count);
    for (int n = 1; n <= count; ++n)
        steps.push_back({LeadingNumber(table.Cell(n, 1)), LeadingNumber(table.Cell(n, 2)), LeadingNumber(table.Cell(n, 3))});
    return steps;
}
