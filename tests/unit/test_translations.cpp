// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The English catalogue: complete for the sources as they are now, faithful
// to each text's placeholders, and chosen only when the operator asks for it.
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
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
    file.open(QIODevice::ReadOnly);   // unread, the catalogue comes out too short
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

    // Without Qt's Korean catalogue the operator is told its package name and
    // that the console's own texts are not affected.
    void MissingCatalogueIsNamed()
    {
        QTemporaryDir qtFolder;
        QCOMPARE(InstallTranslations(*QCoreApplication::instance(), QStringLiteral("ko"), qtFolder.path()), MissingTexts::QtDialogs);
        const QString message = DescribeMissingTexts(MissingTexts::QtDialogs);
        for (const char* part : {"qt6-translations-l10n", "콘솔 자체의 문구는 영향을 받지 않습니다"})
            QVERIFY2(message.contains(QString::fromUtf8(part)), qPrintable(message));
    }
};

QTEST_MAIN(TestTranslations)
#include "test_translations.moc"
