// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The documents against the tree: every file they link to is there, and what
// a guide sets in bold is a text the program shows in that guide's language.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

namespace {
const QDir Top(QStringLiteral(TARVIO_SOURCE_DIR));

QString ReadText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The pages a reader opens: the front door, docs/ and the translators' notes.
QStringList Documents()
{
    QStringList pages{Top.filePath(QStringLiteral("README.md"))};
    for (const char* folder : {"docs", "translations"})
        for (const QString& name : QDir(Top.filePath(QLatin1String(folder))).entryList({QStringLiteral("*.md")}, QDir::Files))
            pages << Top.filePath(QLatin1String(folder) + QLatin1Char('/') + name);
    return pages;
}

// Everything the program may show in a language, as one text to search: the
// sources for Korean, the catalogue for English, the menu entry for both. The
// accelerator marks are gone, as on the screen.
QString ProgramTexts(const QString& language)
{
    QString texts = ReadText(Top.filePath(QStringLiteral("packaging/tarvio.desktop")));
    if (language == QLatin1String("en"))
        texts += ReadText(Top.filePath(QStringLiteral("translations/tarvio_en.ts")));
    for (const char* folder : {"app", "console", "core", "link", "pattern", "platform", "plot"}) {
        QDirIterator it(Top.filePath(QLatin1String(folder)), {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            texts += ReadText(it.next());
    }
    texts.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    texts.replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
    return texts.simplified();
}
}

class TestDocs : public QObject {
    Q_OBJECT
private slots:
    void EveryLinkLeadsSomewhere()
    {
        static const QRegularExpression link(QStringLiteral("\\[[^\\]]*\\]\\(([^)#\\s]+)[^)\\s]*\\)"));
        QStringList missing;
        int links = 0;
        for (const QString& page : Documents())
            for (const auto& m : link.globalMatch(ReadText(page))) {
                const QString target = QDir::cleanPath(QFileInfo(page).dir().filePath(m.captured(1)));
                links += !m.captured(1).contains(QLatin1String("://"));
                if (!m.captured(1).contains(QLatin1String("://")) && !QFileInfo::exists(target))
                    missing << Top.relativeFilePath(page) + QStringLiteral(" → ") + Top.relativeFilePath(target);
            }
        QVERIFY(links > 20);
        QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("links to nothing:\n") + missing.join(QLatin1Char('\n'))));
    }

    // Bold is for captions; headings and emphasis take italics.
    void BoldIsATextTheProgramShows_data()
    {
        QTest::addColumn<QString>("guide");
        QTest::addColumn<QString>("language");
        QTest::newRow("ko") << "docs/operator-guide.md" << "ko";
        QTest::newRow("en") << "docs/operator-guide.en.md" << "en";
    }
    void BoldIsATextTheProgramShows()
    {
        QFETCH(QString, guide);
        QFETCH(QString, language);
        const QString texts = ProgramTexts(language);
        QString page = ReadText(Top.filePath(guide));
        page.remove(QRegularExpression(QStringLiteral("^```.*?^```"),
                                       QRegularExpression::MultilineOption | QRegularExpression::DotMatchesEverythingOption));
        page.remove(QRegularExpression(QStringLiteral("`[^`]*`")));
        static const QRegularExpression bold(QStringLiteral("\\*\\*(.+?)\\*\\*"), QRegularExpression::DotMatchesEverythingOption);
        QStringList strangers;
        int spans = 0;
        for (const auto& m : bold.globalMatch(page)) {
            // A paragraph's run-in heading ("**Saving.**") is no caption.
            if (m.capturedStart() == 0 || page.at(m.capturedStart() - 1) == QLatin1Char('\n'))
                continue;
            // Only captions shown word for word: none with a count, a time or a file name.
            const QString span = m.captured(1).simplified();
            if (span.contains(QRegularExpression(QStringLiteral("\\bN\\b|[():]"))))
                continue;
            ++spans;
            if (!texts.contains(span))
                strangers << span;
        }
        QVERIFY(spans > 50);
        strangers.removeDuplicates();
        QVERIFY2(strangers.isEmpty(), qPrintable(guide + QStringLiteral(" sets in bold what the program does not show:\n")
                                                 + strangers.join(QLatin1Char('\n'))));
    }
};

QTEST_GUILESS_MAIN(TestDocs)
#include "test_docs.moc"
