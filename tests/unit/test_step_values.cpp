// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Reading texts as numbers and writing step values, the rules every pattern
// cell, file and command go through.
#include <QtTest>
#include <climits>
#include <clocale>
#include <limits>

#include "pattern/StepValues.h"
#include "support/Rows.h"
#include "support/SystemNames.h"

class TestStepValues : public QObject {
    Q_OBJECT
private slots:
    void LeadingNumberReadsTrickyTexts()
    {
        static const struct { const char* text; double value; } rows[] = {
            {" 1 2", 12}, {"\t3\n.5", 3.5}, {"12V", 12}, {"1,5", 1}, {"&H1F", 31}, {"&o17", 15},
            {"1D2", 100}, {"2.5e-1", 0.25}, {"7E", 7}, {"-", 0}, {" - 4.25", -4.25}, {"1.2.3", 1.2},
            {"", 0}, {"연속", 0}, {"1e999", 0}, {"-12.375V", -12.375}, {"1e00000001", 10},
            // Long radix numbers: leading zeros, the most that fits, past 64 bits.
            {"&H00000000000000000001", 1}, {"&O77777777777777777", 2251799813685247.0},
            {"&hFFFF FFFF FFFF FFFF", 18446744073709551615.0}, {"&H12345678901234567", 0}};
        for (const auto& r : rows)
            ROW_COMPARE(r.text, LeadingNumber(QString::fromUtf8(r.text)), r.value);
        QCOMPARE(LeadingNumber(QString(450, QLatin1Char('0')) + QLatin1Char('5')), 5.0);
    }

    // The program runs under the operator's locale; a comma-decimal one must
    // change neither what is read nor what is written.
    void NumbersIgnoreACommaDecimalLocale()
    {
        const char* current = std::setlocale(LC_ALL, nullptr);
        const std::string saved = current ? current : "C";
        const QLocale savedDefault;
        const QLocale german(QStringLiteral("de_DE"));
        if (!std::setlocale(LC_ALL, CommaDecimalLocale) || german.decimalPoint() != QStringLiteral(","))
            QFAIL("the de_DE.UTF-8 locale is missing: install the locales package and run "
                  "localedef -i de_DE -f UTF-8 de_DE.UTF-8");
        QLocale::setDefault(german);
        const double read = LeadingNumber(QStringLiteral("12.5"));
        const QString three = FormatThreeDecimals(1234.5);
        const QString shortest = ShortestDecimal(0.25);
        std::setlocale(LC_ALL, saved.c_str());
        QLocale::setDefault(savedDefault);
        QCOMPARE(read, 12.5);
        QCOMPARE(three, QStringLiteral("1234.500"));
        QCOMPARE(shortest, QStringLiteral("0.25"));
    }

    void ThreeDecimals()
    {
        static const struct { const char* name; double value; const char* text; } rows[] = {
            {"half away from zero", 0.0625, "0.063"},
            {"half of the last place", 0.0005, "0.001"},
            {"negative half", -0.0005, "-0.001"},
            {"negative that rounds to zero", -0.0004, "0.000"},
            {"decimal, not binary, half", 1.0005, "1.001"},
            {"just below half", 1.0004999, "1.000"},
            {"binary just below, decimal exact", 2.675, "2.675"},
            {"binary just below a half", 2.6745, "2.675"},
            {"carry through nines", 9.9995, "10.000"},
            {"large with a half", 1234567.0625, "1234567.063"},
            {"beyond 2^53", 1e20, "100000000000000000000.000"},
            {"not a number", std::numeric_limits<double>::quiet_NaN(), "0.000"}};
        for (const auto& r : rows)
            ROW_COMPARE(r.name, FormatThreeDecimals(r.value), QString::fromLatin1(r.text));
    }

    void RoundingHalvesToEven()
    {
        static const struct { const char* name; double value; long long rounded; } rows[] = {
            {"2.5 down", 2.5, 2}, {"3.5 up", 3.5, 4}, {"-2.5 towards zero", -2.5, -2}, {"above a half", 2.6, 3},
            {"2^63 and beyond", 9223372036854775808.0, LLONG_MAX}, {"below the range", -1e300, LLONG_MIN},
            {"infinity", std::numeric_limits<double>::infinity(), 0}};
        for (const auto& r : rows)
            ROW_COMPARE(r.name, RoundHalfEven(r.value), r.rounded);
    }
};

QTEST_APPLESS_MAIN(TestStepValues)
#include "test_step_values.moc"
