// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pattern/StepArrays.h"

#include "pattern/PatternTable.h"
#include "pattern/StepValues.h"

int StageLeadingSteps(const PatternTable& table, StepArrays& arrays)
{
    std::array<double, 102>* const columns[] = {&arrays.StepTime, &arrays.StepVoltage, &arrays.StepCurrent};
    const CellPosition end = table.FirstEmptyCell();
    for (int n = 1; n <= end.Row && n <= MaxPatternSteps; ++n)
        for (int column = 1; column <= 3 && (n < end.Row || column < end.Column); ++column)
            (*columns[column - 1])[n] = LeadingNumber(table.Cell(n, column));
    return end.Row - 1;
}
