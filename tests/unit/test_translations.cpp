// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The English catalogue: complete for the sources as they are now, faithful
// to each text's placeholders, and chosen only when the operator asks for it.
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

#include "pattern/PatternPrintout.h"
#include "pattern/PatternTable.h"
#include "platform/Translations.h"

namespace {
struct Message {
    QString Context, Source, Translation, Type;
};

QList<Message> ReadCatalogue(const QString& path)
{
    QFile file(path);
    QList<Message> messages;
    if (!file.open(QIODevice::ReadOnly))
        return messages;
    QXmlStreamReader xml(&file);
    QString context;
    while (xml.readNextStartElement() || !xml.atEnd()) {
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("source"))
            messages.append({context, xml.readElementText(), {}, {}});
        else if (xml.name() == QLatin1String("translation") && !messages.isEmpty()) {
            messages.last().Type = xml.attributes().value(QLatin1String("type")).toString();
            messages.last().Translation = xml.readElementText();
        }
    }
    return messages;
}

QStringList Placeholders(const QString& text)
{
    QStringList found;
    for (const auto& m : QRegularExpression(QStringLiteral("%\\d")).globalMatch(text))
        found << m.captured();
    found.sort();
    return found;
}

// Columns a text takes in the fixed-pitch face: Hangul takes two.
int Cells(const QString& text)
{
    int cells = 0;
    for (QChar c : text)
        cells += c.unicode() >= 0x1100 && (c.unicode() < 0x1200 || c.unicode() >= 0xAC00) ? 2 : 1;
    return cells;
}
}

Q_DECLARE_METATYPE(MissingTexts)

class TestTranslations : public QObject {
    Q_OBJECT
private slots:
    // lupdate run on today's sources finds nothing new, nothing gone and nothing unfinished.
    void CatalogueIsComplete()
    {
        QTemporaryDir dir;
        const QString scanned = dir.filePath(QStringLiteral("scanned.ts"));
        QVERIFY(QFile::copy(QStringLiteral(TARVIO_TS), scanned));
        QProcess lupdate;
        lupdate.start(QStringLiteral(TARVIO_LUPDATE),
                      QStringList{QStringLiteral("-I"), QStringLiteral(TARVIO_SOURCE_DIR)}
                          + QStringLiteral(TARVIO_TRANSLATED_DIRS).split(QLatin1Char(','))
                          + QStringList{QStringLiteral("-locations"), QStringLiteral("none"), QStringLiteral("-ts"), scanned});
        QVERIFY2(lupdate.waitForFinished(60000), "lupdate did not finish");
        QCOMPARE(lupdate.exitCode(), 0);
        const QList<Message> messages = ReadCatalogue(scanned);
        QVERIFY(messages.size() > 150);
        QStringList faults;
        for (const Message& m : messages) {
            const QString where = m.Context + QStringLiteral(": ") + m.Source;
            if (!m.Type.isEmpty())
                faults << m.Type + QStringLiteral(" — ") + where;
            else if (m.Translation.trimmed().isEmpty())
                faults << QStringLiteral("empty — ") + where;
            else if (Placeholders(m.Translation) != Placeholders(m.Source))
                faults << QStringLiteral("placeholders differ — ") + where;
            else if (m.Source.endsWith(QLatin1Char('\n')) != m.Translation.endsWith(QLatin1Char('\n')))
                faults << QStringLiteral("line end differs — ") + where;
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

    // The printed listing's columns stay under their headings in either language.
    void PrintedHeadingKeepsItsWidth()
    {
        const PatternTable table;
        const QString korean = ComposePrintListing(table).section(QStringLiteral("\r\n"), 1, 1);
        QTranslator english;
        QVERIFY(english.load(QStringLiteral("tarvio_en"), QStringLiteral(":/i18n")));
        QCoreApplication::installTranslator(&english);
        const QString translated = ComposePrintListing(table).section(QStringLiteral("\r\n"), 1, 1);
        QCoreApplication::removeTranslator(&english);
        QVERIFY(translated != korean);
        QCOMPARE(Cells(translated), Cells(korean));
    }

    // Which catalogue is missing decides what the operator is told: Qt's Korean
    // dialog texts by package name, without blaming the console's own texts.
    void MissingCatalogueIsNamed_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("qtCatalogueThere");
        QTest::addColumn<MissingTexts>("missing");
        QTest::addColumn<QStringList>("told");
        const QStringList qtDialogs{"qt6-translations-l10n", "콘솔 자체의 문구는 영향을 받지 않습니다"};
        QTest::newRow("ko, Qt's catalogue there") << "ko" << true << MissingTexts::None << QStringList();
        QTest::newRow("ko, Qt's catalogue missing") << "ko" << false << MissingTexts::QtDialogs << qtDialogs;
        QTest::newRow("en needs no Qt catalogue") << "en" << false << MissingTexts::None << QStringList();
    }
    void MissingCatalogueIsNamed()
    {
        QFETCH(QString, language);
        QFETCH(bool, qtCatalogueThere);
        QFETCH(MissingTexts, missing);
        QFETCH(QStringList, told);
        QTemporaryDir qtFolder;
        // Any compiled catalogue will do as Qt's.
        if (qtCatalogueThere)
            QVERIFY(QFile::copy(QStringLiteral(":/i18n/tarvio_en.qm"), qtFolder.filePath(QStringLiteral("qtbase_ko.qm"))));
        QCOMPARE(InstallTranslations(*QCoreApplication::instance(), language, qtFolder.path()), missing);
        const QString message = DescribeMissingTexts(missing);
        for (QTranslator* t : QCoreApplication::instance()->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(t);
            delete t;
        }
        QCOMPARE(message.isEmpty(), told.isEmpty());
        for (const QString& part : told)
            QVERIFY2(message.contains(part), qPrintable(message));
    }

    // The English build's own catalogue is never the one blamed for Qt's texts.
    void MissingEnglishCatalogueSaysSoInEnglish()
    {
        const QString message = DescribeMissingTexts(MissingTexts::Console);
        QVERIFY2(message.contains(QLatin1String("English")) && !message.contains(QLatin1String("qt6-translations")),
                 qPrintable(message));
    }

    void LanguageIsChosen_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<QString>("language");
        const QString tarvio = QStringLiteral("tarvio");
        QTest::newRow("nothing asked") << QStringList{tarvio} << QString() << "ko";
        QTest::newRow("--lang en") << QStringList{tarvio, "--lang", "en"} << QString() << "en";
        QTest::newRow("--lang=en") << QStringList{tarvio, "--lang=en"} << QString() << "en";
        QTest::newRow("environment") << QStringList{tarvio} << "en" << "en";
        QTest::newRow("locale-like value") << QStringList{tarvio} << "en_GB.UTF-8" << "en";
        QTest::newRow("command line over environment") << QStringList{tarvio, "--lang", "ko"} << "en" << "ko";
        QTest::newRow("last --lang wins") << QStringList{tarvio, "--lang", "ko", "--lang", "en"} << QString() << "en";
        QTest::newRow("unknown keeps Korean") << QStringList{tarvio, "--lang", "de"} << QString() << "ko";
        QTest::newRow("--lang without value") << QStringList{tarvio, "--lang"} << "en" << "en";
        QTest::newRow("value is not an option") << QStringList{tarvio, "en"} << QString() << "ko";
    }
    void LanguageIsChosen()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, environment);
        QFETCH(QString, language);
        QCOMPARE(ChooseLanguage(arguments, environment), language);
    }
};

QTEST_MAIN(TestTranslations)
#include "test_translations.moc"
