// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pattern/StepValues.h"

#include <QByteArray>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {
bool IsBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n');
}

// The characters that can make up the number, blanks removed, up to the first
// that cannot. Stops early so a huge text costs no more than its number.
std::string NumberCharacters(const QString& text, int* radix)
{
    std::string kept;
    *radix = 10;
    int i = 0;
    const int n = int(text.size());
    auto next = [&]() -> QChar {
        while (i < n && IsBlank(text.at(i)))
            ++i;
        return i < n ? text.at(i) : QChar();
    };
    QChar c = next();
    if (c == QLatin1Char('&')) {
        ++i;
        const QChar kind = next().toUpper();
        if (kind == QLatin1Char('H') || kind == QLatin1Char('O')) {
            ++i;
            *radix = kind == QLatin1Char('H') ? 16 : 8;
            for (QChar d = next(); !d.isNull(); d = next()) {
                const int v = d.isDigit() ? d.digitValue() : (d.toUpper().unicode() >= 'A' && d.toUpper().unicode() <= 'F' ? d.toUpper().unicode() - 'A' + 10 : 99);
                if (v >= *radix)
                    break;
                // Leading zeros add nothing; past 22 digits no radix fits in
                // 64 bits, and the conversion then reports the overflow.
                if ((v != 0 || !kept.empty()) && kept.size() < 23)
                    kept.push_back(char(d.toUpper().toLatin1()));
                ++i;
            }
        }
        return kept;
    }
    if (c == QLatin1Char('+') || c == QLatin1Char('-')) {
        kept.push_back(char(c.toLatin1()));
        ++i;
    }
    bool point = false, digits = false;
    for (c = next(); !c.isNull(); c = next()) {
        if (c.unicode() < 128 && c.isDigit()) {
            // Every digit counts: with an exponent after them, dropping any
            // would move the value.
            digits = true;
            kept.push_back(char(c.toLatin1()));
        } else if (c == QLatin1Char('.') && !point) {
            point = true;
            kept.push_back('.');
        } else {
            break;
        }
        ++i;
    }
    if (!digits)
        return std::string();
    c = next().toUpper();
    if (c == QLatin1Char('E') || c == QLatin1Char('D')) {
        std::string exponent = "e";
        ++i;
        c = next();
        if (c == QLatin1Char('+') || c == QLatin1Char('-')) {
            exponent.push_back(char(c.toLatin1()));
            ++i;
        }
        bool expDigits = false;
        std::string significant;
        for (c = next(); !c.isNull() && c.unicode() < 128 && c.isDigit(); c = next()) {
            expDigits = true;
            // Nine digits already put any value out of range.
            if ((c != QLatin1Char('0') || !significant.empty()) && significant.size() < 9)
                significant.push_back(char(c.toLatin1()));
            ++i;
        }
        if (expDigits)
            kept += exponent + (significant.empty() ? std::string("0") : significant);
    }
    return kept;
}
}

double LeadingNumber(const QString& text)
{
    int radix = 10;
    const std::string number = NumberCharacters(text, &radix);
    if (number.empty() || number == "+" || number == "-")
        return 0.0;
    if (radix != 10) {
        errno = 0;
        const unsigned long long value = std::strtoull(number.c_str(), nullptr, radix);
        return errno == ERANGE ? 0.0 : double(value);
    }
    // Not strtod: a QApplication adopts the system locale, and "," could become the point.
    bool ok = false;
    const double value = QByteArray::fromStdString(number).toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

QString FormatThreeDecimals(double value)
{
    if (!std::isfinite(value))
        value = 0.0;
    // Round the decimal digits a person would see, not the binary fraction,
    // so that 1.0005 rounds up like 0.0625 does.
    const QString exact = QString::number(std::fabs(value), 'f', 12);
    const int point = int(exact.indexOf(QLatin1Char('.')));
    QString digits = exact.left(point) + exact.mid(point + 1, 3);
    const bool up = exact.at(point + 4).digitValue() >= 5;
    if (up) {
        int k = int(digits.size()) - 1;
        while (k >= 0 && digits.at(k) == QLatin1Char('9')) {
            digits[k] = QLatin1Char('0');
            --k;
        }
        if (k < 0)
            digits.prepend(QLatin1Char('1'));
        else
            digits[k] = QChar(digits.at(k).unicode() + 1);
    }
    QString text = digits.left(digits.size() - 3) + QLatin1Char('.') + digits.right(3);
    const bool zero = digits.count(QLatin1Char('0')) == digits.size();
    if (value < 0 && !zero)
        text.prepend(QLatin1Char('-'));
    return text;
}

QString ShortestDecimal(double value)
{
    if (!std::isfinite(value))
        value = 0.0;
    QString text = QString::number(value, 'f', 6);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text;
}

long long RoundHalfEven(double value)
{
    if (!std::isfinite(value))
        return 0;
    // Converting a value beyond long long's range is undefined (on x86 it
    // came out as the most negative number, so 1e300 read as less than 1).
    constexpr double Limit = 9223372036854775808.0;   // 2^63
    const double rounded = std::nearbyint(value);
    if (rounded >= Limit)
        return LLONG_MAX;
    if (rounded < -Limit)
        return LLONG_MIN;
    return static_cast<long long>(rounded);
}
