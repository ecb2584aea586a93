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
        // The English build's own catalogue is never the one blamed for Qt's texts.
        const QString english = DescribeMissingTexts(MissingTexts::Console);
        QVERIFY2(english.contains(QLatin1String("English")) && !english.contains(QLatin1String("qt6-translations")), qPrintable(english));
    }
};

QTEST_MAIN(TestTranslations)
#include "test_translations.moc"
