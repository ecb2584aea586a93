// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// What the pattern window keeps for the program between its openings: the
// last preview's time scale and the last saved name.
struct PatternState {
    float PreviewMaxTime = 0;   // the last preview's largest step time
    QString LastSaveName;       // presets the next pattern save dialog
};
