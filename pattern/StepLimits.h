// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

#include "pattern/PatternTable.h"

// What the supply will take: it refuses a negative voltage or current, and
// one above its maximum. Time never reaches the supply, so it is never refused.
struct StepLimits {
    double MaxVoltage = 0;
    double MaxCurrent = 0;

    // Reads the preview's maximum fields as every other text is read.
    static StepLimits FromTexts(const QString& maxVoltage, const QString& maxCurrent);
    // A value cell (column 2 voltage, 3 current) the supply would refuse.
    bool Refuses(int column, const QString& cell) const;
    // How many of the steps a run sends (the leading complete ones) it would refuse.
    int RefusedSteps(const PatternTable& table) const;
};
