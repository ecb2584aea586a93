// Reading texts as numbers and writing step values, the rules every pattern
// cell, file and command go through.
#include <QtTest>
#include <climits>
#include <clocale>

#include "pattern/StepValues.h"

class TestStepValues : public QObject {
    Q_OBJECT
private slots:
    void LeadingNumberReadsTrickyTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("blanks inside") << " 1 2" << 12.0;
        QTest::newRow("tab and line feed") << "\t3\n.5" << 3.5;
        QTest::newRow("unit after") << "12V" << 12.0;
        QTest::newRow("comma ends it") << "1,5" << 1.0;
        QTest::newRow("hex") << "&H1F" << 31.0;
        QTest::newRow("octal") << "&o17" << 15.0;
        QTest::newRow("D exponent") << "1D2" << 100.0;
        QTest::newRow("E exponent with sign") << "2.5e-1" << 0.25;
        QTest::newRow("exponent without digits") << "7E" << 7.0;
        QTest::newRow("sign alone") << "-" << 0.0;
        QTest::newRow("negative") << " - 4.25" << -4.25;
        QTest::newRow("second point ends it") << "1.2.3" << 1.2;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("no number") << "연속" << 0.0;
        QTest::newRow("huge exponent is not infinity") << "1e999" << 0.0;
    }
    void LeadingNumberReadsTrickyTexts()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(LeadingNumber(text), value);
    }

    // The program runs under the operator's locale; a comma-decimal one must
    // change neither what is read nor what is written.
    void NumbersIgnoreACommaDecimalLocale()
    {
        const char* current = std::setlocale(LC_ALL, nullptr);
        const std::string saved = current ? current : "C";
        const QLocale savedDefault;
        const QLocale german(QStringLiteral("de_DE"));
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8") || german.decimalPoint() != QStringLiteral(","))
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

    void ThreeDecimals_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("half away from zero") << 0.0625 << "0.063";
        QTest::newRow("half of the last place") << 0.0005 << "0.001";
        QTest::newRow("negative half") << -0.0005 << "-0.001";
        QTest::newRow("negative that rounds to zero") << -0.0004 << "0.000";
        QTest::newRow("decimal, not binary, half") << 1.0005 << "1.001";
        QTest::newRow("just below half") << 1.0004999 << "1.000";
        QTest::newRow("binary just below, decimal exact") << 2.675 << "2.675";
        QTest::newRow("binary just below a half") << 2.6745 << "2.675";
        QTest::newRow("carry through nines") << 9.9995 << "10.000";
        QTest::newRow("zero") << 0.0 << "0.000";
        QTest::newRow("large, every integer digit") << 12345678.0 << "12345678.000";
        QTest::newRow("large with a half") << 1234567.0625 << "1234567.063";
        QTest::newRow("beyond 2^53") << 1e20 << "100000000000000000000.000";
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << "0.000";
    }
    void ThreeDecimals()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(FormatThreeDecimals(value), text);
    }

    void ShortestForms_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("half") << 12.5 << "12.5";
        QTest::newRow("whole") << 1.0 << "1";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("three decimals") << 0.063 << "0.063";
        QTest::newRow("large whole") << 1234.0 << "1234";
        QTest::newRow("negative") << -2.25 << "-2.25";
    }
    void ShortestForms()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(ShortestDecimal(value), text);
    }

    void RoundingHalvesToEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<qlonglong>("rounded");
        QTest::newRow("2.5 down") << 2.5 << 2LL;
        QTest::newRow("3.5 up") << 3.5 << 4LL;
        QTest::newRow("-2.5 towards zero") << -2.5 << -2LL;
        QTest::newRow("above a half") << 2.6 << 3LL;
        QTest::newRow("beyond the range") << 1e300 << qlonglong(LLONG_MAX);
        QTest::newRow("below the range") << -1e300 << qlonglong(LLONG_MIN);
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << 0LL;
    }
    void RoundingHalvesToEven()
    {
        QFETCH(double, value);
        QFETCH(qlonglong, rounded);
        QCOMPARE(RoundHalfEven(value), rounded);
    }
};

QTEST_APPLESS_MAIN(TestStepValues)
#include "test_step_values.moc"
