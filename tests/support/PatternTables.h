// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QStringList>

#include "pattern/PatternTable.h"

// A table from text: rows from row 1 separated by "|", each "time voltage
// current" as cell texts; an empty part leaves its cell empty.
inline PatternTable Table(const QString& steps)
{
    PatternTable t;
    const QStringList rows = steps.split(QLatin1Char('|'));
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList v = rows.at(r).split(QLatin1Char(' '));
        t.SetStep(r + 1, {v.value(0), v.value(1), v.value(2)});
    }
    return t;
}
