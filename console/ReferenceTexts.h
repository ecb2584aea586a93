// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

enum class ReferenceList { Commands, Errors, Models };

// The reference panel's text, byte for byte: lines end in CR LF, except after
// the last line of the command and model lists; the error list ends with one.
QString ReferenceText(ReferenceList list);

// Pads a keyword with a run of dashes so that its description starts in the
// given 1-based column: "SOUR:VOLT ---- ".
QString DashedLead(const QString& keyword, int descriptionColumn);
