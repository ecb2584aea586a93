// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pattern/StepLimits.h"

#include "pattern/StepValues.h"

StepLimits StepLimits::FromTexts(const QString& maxVoltage, const QString& maxCurrent)
{
    return {LeadingNumber(maxVoltage), LeadingNumber(maxCurrent)};
}

bool StepLimits::Refuses(int column, const QString& cell) const
{
    if (column != 2 && column != 3)
        return false;
    const double value = LeadingNumber(cell);
    return value < 0 || value > (column == 2 ? MaxVoltage : MaxCurrent);
}

int StepLimits::RefusedSteps(const PatternTable& table) const
{
    const int steps = table.LeadingCompleteSteps();
    int refused = 0;
    for (int row = 1; row <= steps; ++row)
        refused += Refuses(2, table.Cell(row, 2)) || Refuses(3, table.Cell(row, 3)) ? 1 : 0;
    return refused;
}
