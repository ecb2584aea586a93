// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzing number reading: LeadingNumber against a reader written another
// way, on random texts, in the C locale and in one whose decimal separator
// is a comma (as a QApplication adopts the user's locale).
#include <QLocale>
#include <QRegularExpression>
#include <QtTest>

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cstdlib>

#include "pattern/StepValues.h"
#include "support/Fuzz.h"
#include "support/SystemNames.h"

using namespace fuzz;

namespace {

// LeadingNumber worked out another way: drop the blanks, match the whole
// number with one expression and let the standard library convert it.
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
    Q_UNUSED(end);
    if (error != std::errc() || !std::isfinite(v))
        return 0.0;
    return m.captured(1) == QLatin1String("-") ? -v : v;
}

QString NumberText(Rng& rng)
{
    static const QString alphabet = QStringLiteral("0123456789+-.eEdD&HO \t\nhoxAbF전압");
    auto any = [&]() { return alphabet.at(Pick(rng, 0, int(alphabet.size()) - 1)); };
    // Digit runs, long and with leading zeros, for every radix.
    auto run = [&](int radix) {
        static const QString all = QStringLiteral("0123456789ABCDEFabcdef");
        QString r = Chance(rng, 0.2) ? QString(Pick(rng, 1, 500), QLatin1Char('0')) : QString();
        for (int n = Chance(rng, 0.1) ? Pick(rng, 15, 400) : Pick(rng, 0, 6); n > 0; --n)
            r += all.at(Pick(rng, 0, (radix == 16 ? 22 : radix) - 1));
        return r;
    };
    QString s;
    if (Chance(rng, 0.25)) {
        const bool hex = Chance(rng, 0.5);
        s = (hex ? QStringLiteral("&H") : QStringLiteral("&o")) + run(hex ? 16 : 8);
    } else {
        s = PickFrom(rng, {QString(), QStringLiteral("-"), QStringLiteral("+")}) + run(10);
        if (Chance(rng, 0.5))
            s += QLatin1Char('.') + run(10);
        if (Chance(rng, 0.4))
            s += PickFrom(rng, {QStringLiteral("e"), QStringLiteral("D-"), QStringLiteral("E+")}) + run(10);
    }
    // A few characters of any kind thrown in, anywhere.
    for (int n = Pick(rng, 0, 3); n > 0; --n)
        s.insert(Pick(rng, 0, int(s.size())), any());
    return s;
}

const QByteArray CommaLocale(CommaDecimalLocale);

// Switches the C library's and Qt's locale for one test function and puts
// both back afterwards. A missing comma locale is a failure, not a skip:
// the test set-up generates it.
class LocaleScope {
public:
    explicit LocaleScope(const QByteArray& name) : previousC_(std::setlocale(LC_ALL, nullptr))
    {
        const bool comma = name != "C";
        if (!std::setlocale(LC_ALL, name.constData()))
            problem_ = QStringLiteral("locale %1 is not installed (localedef -i de_DE -f UTF-8 de_DE.UTF-8)")
                           .arg(QString::fromLatin1(name));
        QLocale::setDefault(comma ? QLocale(QLocale::German, QLocale::Germany) : QLocale::c());
        if (problem_.isEmpty() && *std::localeconv()->decimal_point != (comma ? ',' : '.'))
            problem_ = QStringLiteral("%1 has an unexpected decimal point").arg(QString::fromLatin1(name));
    }
    ~LocaleScope()
    {
        std::setlocale(LC_ALL, previousC_.constData());
        QLocale::setDefault(previousQt_);
    }
    QString Problem() const { return problem_; }

private:
    QByteArray previousC_;
    QLocale previousQt_;
    QString problem_;
};

} // namespace

class TestFuzzNumbers : public QObject {
    Q_OBJECT
private slots:
    void LeadingNumberMatchesReference_data()
    {
        QTest::addColumn<QByteArray>("locale");
        QTest::newRow("C") << QByteArray("C");
        QTest::newRow(CommaDecimalLocale) << CommaLocale;
    }
    void LeadingNumberMatchesReference()
    {
        QFETCH(QByteArray, locale);
        const LocaleScope scope(locale);
        if (!scope.Problem().isEmpty())
            QFAIL(qPrintable(scope.Problem()));
        // Found by the fuzzing (zeros ahead of the digits, radix values past
        // 64 bits), and the largest value that still fits; a fraction that a
        // locale-bound reader would cut at the point.
        const QString found[] = {QString(450, QLatin1Char('0')) + QStringLiteral("5"), QStringLiteral("1e00000001"),
                                 QStringLiteral("&H00000000000000000001"), QStringLiteral("&H12345678901234567"),
                                 QStringLiteral("&O77777777777777777"), QStringLiteral("&hFFFF FFFF FFFF FFFF"), QStringLiteral("-12.375V")};
        for (const QString& text : found)
            QVERIFY2(LeadingNumber(text) == ReferenceNumber(text), qPrintable(text.right(40)));
        Rounds rounds(0x30000000);
        while (rounds.Next()) {
            Rng rng = rounds.Generator();
            for (int k = 0; k < 100; ++k) {
                const QString text = NumberText(rng);
                const double got = LeadingNumber(text), expected = ReferenceNumber(text);
                QVERIFY2(Close(got, expected), qPrintable(rounds.Where() + QStringLiteral(": ") + text.left(80)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestFuzzNumbers)
#include "test_fuzz_numbers.moc"
