// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>

#include "pattern/PatternTable.h"
#include "core/Outcome.h"

// The leading complete steps as the file holds them: "time,voltage,current"
// and CR LF per step, each value in its shortest decimal form.
QByteArray PatternFileText(const PatternTable& table);

// Writes the pattern to a temporary file beside `path` and puts it in place
// only when every byte is written, so a failed save leaves the old file as it was.
Outcome SavePattern(const QString& path, const PatternTable& table);

// What a save leaves out: complete steps below the first incomplete row
// stay in the table but not in the file. Empty when nothing was left out.
QString SaveLeftOutMessage(const PatternTable& table);

// Reads steps into rows 1.. of the table, three fields per step whatever the
// lines, until the file ends, 100 steps are placed, or a field is not a number.
// Rows after the last step placed keep their texts. A file read only in part
// fails with where and why it stopped and how many steps were placed.
Outcome LoadPattern(const QString& path, PatternTable& table);
