// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

class PatternTable;

// The printed listing of the pattern: rules, header and one line per leading
// complete step with its cells as the table shows them, every line ending in
// CR LF. Columns are not padded, so longer numbers push the line rightwards.
QString ComposePrintListing(const PatternTable& table);
