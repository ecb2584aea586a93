// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The pattern window's number reading on any text: LeadingNumber reads the
// same finite number in the C locale and in one whose decimal separator is a
// comma, and the texts the table and the file write read back.
#include <QLocale>

#include <clocale>
#include <cmath>

#include "FuzzCheck.h"
#include "pattern/StepValues.h"

namespace {

double Check(const QString& text)
{
    const double value = LeadingNumber(text);
    FUZZ_CHECK(std::isfinite(value), "LeadingNumber reads no number");
    if (std::fabs(value) >= 1e9)
        return value;
    const QString cell = FormatThreeDecimals(value);
    FUZZ_CHECK(cell != QLatin1String("-0.000") && std::fabs(LeadingNumber(cell) - value) <= 0.0005 + 1e-12 * std::fabs(value),
               "a table cell does not read back as its value");
    // The file writes a value with at most six decimals in its shortest form.
    const double six = std::round(value * 1e6) / 1e6;
    FUZZ_CHECK(std::fabs(LeadingNumber(ShortestDecimal(six)) - six) <= 1e-12 * std::fabs(six), "a saved value does not read back");
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 2048)
        return 0;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    // A QApplication adopts the user's locale, and a comma would cut a locale-bound reader short.
    static const bool commaLocale = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    FUZZ_CHECK(commaLocale, "de_DE.UTF-8 is not installed (localedef -i de_DE -f UTF-8 de_DE.UTF-8)");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const double comma = Check(text);
    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(QLocale::c());
    FUZZ_CHECK(Check(text) == comma, "the locale changed the number read");
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    return 0;
}
