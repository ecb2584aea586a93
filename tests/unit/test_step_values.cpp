// Reading texts as numbers and writing step values, the rules every pattern
// cell, file and command go through.
#include <QtTest>
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
        QTest::newRow("leading point") << ".5" << 0.5;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("ERROR") << "ERROR" << 0.0;
        QTest::newRow("Korean") << "연속" << 0.0;
        QTest::newRow("three-decimal cell") << "1234.500" << 1234.5;
        QTest::newRow("step number with blank") << " 12" << 12.0;
        QTest::newRow("huge exponent is not infinity") << "1e999" << 0.0;
    }
    void LeadingNumberReadsTrickyTexts()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(LeadingNumber(text), value);
    }

    void LeadingNumberIgnoresTheLocale()
    {
        const char* old = std::setlocale(LC_NUMERIC, nullptr);
        const std::string saved = old ? old : "C";
        if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
            QSKIP("no German locale on this machine");
        QCOMPARE(LeadingNumber(QStringLiteral("12.5")), 12.5);
        QCOMPARE(FormatThreeDecimals(12.5), QStringLiteral("12.500"));
        std::setlocale(LC_NUMERIC, saved.c_str());
    }

    void ThreeDecimals_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("half away from zero") << 0.0625 << "0.063";
        QTest::newRow("round up") << 12.3456 << "12.346";
        QTest::newRow("every integer digit") << 1234.5 << "1234.500";
        QTest::newRow("negative half") << -0.0005 << "-0.001";
        QTest::newRow("negative that rounds to zero") << -0.0004 << "0.000";
        QTest::newRow("decimal, not binary, half") << 1.0005 << "1.001";
        QTest::newRow("carry through nines") << 9.9995 << "10.000";
        QTest::newRow("zero") << 0.0 << "0.000";
        QTest::newRow("below one") << 0.5 << "0.500";
        QTest::newRow("large") << 12345678.0 << "12345678.000";
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
        QTest::newRow("below one") << 0.5 << "0.5";
        QTest::newRow("zero") << 0.0 << "0";
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

    void RoundingHalvesToEven()
    {
        QCOMPARE(RoundHalfEven(2.5), 2LL);
        QCOMPARE(RoundHalfEven(3.5), 4LL);
        QCOMPARE(RoundHalfEven(-2.5), -2LL);
        QCOMPARE(RoundHalfEven(2.6), 3LL);
    }
};

QTEST_APPLESS_MAIN(TestStepValues)
#include "test_step_values.moc"
