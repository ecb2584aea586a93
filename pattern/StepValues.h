// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// How the pattern window reads every text as a number: the longest leading
// decimal number, blanks (space, tab, line feed) skipped wherever they stand,
// an optional sign, at most one ".", an optional exponent (E or D), or a
// leading &H / &O for hexadecimal / octal. No number reads as 0. The decimal
// point is "." whatever the locale.
double LeadingNumber(const QString& text);

// A step value as the table stores it: every integer digit, ".", three
// decimals rounded half away from zero, no separators ("0.063", "1234.500").
// A value that rounds to zero is "0.000", never "-0.000".
QString FormatThreeDecimals(double value);

// The shortest plain decimal for a value with at most six decimals:
// 12.5, 1, 0.5 (no exponent, no trailing zeros, "." always).
QString ShortestDecimal(double value);

// Rounds to a whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4);
// beyond long long's range it stops at its ends, and not a number reads 0.
long long RoundHalfEven(double value);
