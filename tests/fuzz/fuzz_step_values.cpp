// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The pattern window's number reading on any text, in the C locale and in
// one whose decimal separator is a comma: LeadingNumber agrees with a reader
// written another way (blanks dropped, one expression, the standard
// library's conversion), and the texts the table and the file write read back.
#include <QLocale>
#include <QRegularExpression>

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>

#include "FuzzCheck.h"
#include "pattern/StepValues.h"

namespace {

double ReferenceNumber(const QString& text)
{
    static const QRegularExpression blanks(QStringLiteral("[ \\t\\n]"));
    static const QRegularExpression radixForm(QStringLiteral("^&(?:[hH]([0-9A-Fa-f]+)|[oO]([0-7]+))"));
    static const QRegularExpression decimalForm(
        QStringLiteral("^([+-]?)([0-9]*)(?:\\.([0-9]*))?(?:[eEdD]([+-]?[0-9]+))?"));
    const QString s = QString(text).remove(blanks);
    if (s.startsWith(QLatin1Char('&'))) {
        const QRegularExpressionMatch m = radixForm.match(s);
        if (!m.hasMatch())
            return 0.0;
        const bool hex = !m.captured(1).isEmpty();
        const std::string digits = (hex ? m.captured(1) : m.captured(2)).toStdString();
        errno = 0;
        const unsigned long long v = std::strtoull(digits.c_str(), nullptr, hex ? 16 : 8);
        return errno == ERANGE ? 0.0 : double(v);
    }
    const QRegularExpressionMatch m = decimalForm.match(s);
    const QString whole = m.captured(2), fraction = m.captured(3);
    if (whole.isEmpty() && fraction.isEmpty())
        return 0.0;
    // The exponent only counts after a digit: "e5" alone is no number.
    std::string number = (whole.isEmpty() ? QStringLiteral("0") : whole).toStdString();
    if (!fraction.isEmpty())
        number += '.' + fraction.toStdString();
    if (!m.captured(4).isEmpty())
        number += 'e' + m.captured(4).toStdString();
    double v = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), v);
    if (error != std::errc() || end != number.data() + number.size() || !std::isfinite(v))
        return 0.0;
    return m.captured(1) == QLatin1String("-") ? -v : v;
}

// Equal, or as near as two conversions of one text can be; tiny values may
// underflow to zero on one side only.
bool Close(double a, double b)
{
    return a == b || (std::fabs(a) < 1e-300 && std::fabs(b) < 1e-300)
        || std::fabs(a - b) <= 1e-12 * std::max(std::fabs(a), std::fabs(b));
}

void Check(const QString& text)
{
    const double value = LeadingNumber(text);
    FUZZ_CHECK(Close(value, ReferenceNumber(text)), "LeadingNumber reads another number than the reference");
    if (std::fabs(value) >= 1e9)
        return;
    const QString cell = FormatThreeDecimals(value);
    FUZZ_CHECK(cell != QLatin1String("-0.000") && std::fabs(LeadingNumber(cell) - value) <= 0.0005 + 1e-12 * std::fabs(value),
               "a table cell does not read back as its value");
    // The file writes a value with at most six decimals in its shortest form.
    const double six = std::round(value * 1e6) / 1e6;
    FUZZ_CHECK(Close(LeadingNumber(ShortestDecimal(six)), six), "a saved value does not read back");
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
    Check(text);
    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(QLocale::c());
    Check(text);
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    return 0;
}
