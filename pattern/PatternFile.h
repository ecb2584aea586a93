// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>

#include "pattern/PatternTable.h"
#include "pattern/StepArrays.h"

// The leading complete steps as the file holds them: "time,voltage,current"
// and CR LF per step, each value in its shortest decimal form. The values
// pass through the arrays at each step's index.
QByteArray PatternFileText(const PatternTable& table, StepArrays& arrays);

struct SaveResult {
    bool Ok = false;
    QString Message;   // empty when saved
};

// Writes the pattern to a temporary file beside `path` and puts it in place
// only when every byte is written, so a failed save leaves the old file as it was.
SaveResult SavePattern(const QString& path, const PatternTable& table, StepArrays& arrays);

struct LoadResult {
    int StepsLoaded = 0;
    bool Complete = false;   // read cleanly to its end, or up to the 100th step
    QString Message;         // empty when Complete
};

// Reads steps into rows 1.. of the table, three fields per step whatever the
// lines, until the file ends, 100 steps are placed, or a field is not a number.
// Rows after the last step placed keep their texts.
LoadResult LoadPattern(const QString& path, PatternTable& table, StepArrays& arrays);
