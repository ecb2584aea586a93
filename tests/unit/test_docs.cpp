// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The documents against the tree: every picture they show is there and every
// picture is shown, each guide shows its own language's pictures, and what a
// guide sets in bold is a caption the program shows in that guide's language.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>
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

// Relative link targets of a page, resolved against its folder, each with the
// #anchor it names ("" for none); a link within the page is the page itself.
QList<std::pair<QString, QString>> Links(const QString& page, bool picturesOnly)
{
    static const QRegularExpression link(QStringLiteral("(!?)\\[[^\\]]*\\]\\(([^)\\s]+)\\)"));
    QList<std::pair<QString, QString>> links;
    for (const auto& m : link.globalMatch(ReadText(page))) {
        const QString target = m.captured(2).section(QLatin1Char('#'), 0, 0);
        if ((picturesOnly && m.captured(1).isEmpty()) || target.contains(QLatin1String("://")))
            continue;
        links.append({target.isEmpty() ? page : QDir::cleanPath(QFileInfo(page).dir().filePath(target)),
                      m.captured(2).section(QLatin1Char('#'), 1)});
    }
    return links;
}

QStringList LinkTargets(const QString& page, bool picturesOnly)
{
    QStringList targets;
    for (const auto& [target, anchor] : Links(page, picturesOnly))
        targets << target;
    return targets;
}

// The anchors a renderer gives a page's headings: lower case, punctuation
// dropped, blanks made hyphens.
QStringList Anchors(const QString& page)
{
    QStringList anchors;
    static const QRegularExpression heading(QStringLiteral("^#+\\s+(.*)$"), QRegularExpression::MultilineOption);
    for (const auto& m : heading.globalMatch(ReadText(page))) {
        QString anchor;
        for (QChar c : m.captured(1).trimmed().toLower())
            if (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_'))
                anchor += c;
            else if (c == QLatin1Char(' '))
                anchor += QLatin1Char('-');
        anchors << anchor;
    }
    return anchors;
}

// The software centre's screenshots: (docs/NAME.png, width, height).
struct Screenshot {
    QString Path;
    int Width = 0, Height = 0;
};
QList<Screenshot> MetadataScreenshots()
{
    QList<Screenshot> shots;
    QFile file(Top.filePath(QStringLiteral("packaging/tarvio.metainfo.xml")));
    if (!file.open(QIODevice::ReadOnly))
        return shots;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("image")) {
            const int width = xml.attributes().value(QLatin1String("width")).toInt();
            const int height = xml.attributes().value(QLatin1String("height")).toInt();
            const QString url = xml.readElementText();
            shots.append({Top.filePath(QStringLiteral("docs/") + url.section(QLatin1Char('/'), -1)), width, height});
        }
    return shots;
}

QSize PngSize(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(24);
    if (head.size() < 24 || !head.startsWith("\x89PNG"))
        return {};
    auto be32 = [&](int at) {
        return int(quint8(head[at]) << 24 | quint8(head[at + 1]) << 16 | quint8(head[at + 2]) << 8 | quint8(head[at + 3]));
    };
    return {be32(16), be32(20)};
}

// The string literals of a C++ file, adjacent ones joined as the compiler joins them.
QStringList StringLiterals(const QString& code)
{
    QStringList literals;
    QString current;
    bool open = false; // a literal that the next one, after blanks only, continues
    for (int i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        const bool comment = code.mid(i, 2) == QLatin1String("//") || code.mid(i, 2) == QLatin1String("/*");
        if (open && !c.isSpace() && !comment && c != QLatin1Char('"')) {
            literals << current;
            open = false;
        }
        if (code.mid(i, 2) == QLatin1String("//")) {
            i = code.indexOf(QLatin1Char('\n'), i);
            if (i < 0)
                break;
        } else if (code.mid(i, 2) == QLatin1String("/*")) {
            i = code.indexOf(QLatin1String("*/"), i + 2);
            if (i < 0)
                break;
            ++i;
        } else if (c == QLatin1Char('\'')) {
            // A character literal, such as '"', is not the start of a string.
            while (++i < code.size() && code.at(i) != QLatin1Char('\''))
                if (code.at(i) == QLatin1Char('\\'))
                    ++i;
        } else if (c == QLatin1Char('"')) {
            if (!open)
                current.clear();
            while (++i < code.size() && code.at(i) != QLatin1Char('"')) {
                QChar k = code.at(i);
                if (k == QLatin1Char('\\') && i + 1 < code.size()) {
                    k = code.at(++i);
                    k = k == QLatin1Char('n') ? QChar('\n') : k == QLatin1Char('r') ? QChar('\r') : k == QLatin1Char('t') ? QChar('\t') : k;
                }
                current += k;
            }
            open = true;
        }
    }
    if (open)
        literals << current;
    return literals;
}

bool HasHangul(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0xAC00 && c.unicode() <= 0xD7A3; });
}

// What a text looks like on the screen: no accelerator marks, blanks collapsed.
QString Shown(QString text)
{
    text.replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
    return text.simplified();
}

bool HasLetter(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); });
}

struct Captions {
    QStringList Texts;
    // Whether the guide's text is one of them. A %1 stands for any text; a label's
    // colon may be left out (번호 for "번호 :"); a message may be named by its
    // words before a parenthesis (응답 없음 for "응답 없음 (마지막 응답 %1)").
    bool Has(const QString& bold) const
    {
        static const QRegularExpression placeholder(QStringLiteral("%L?\\d"));
        for (const QString& text : Texts) {
            QString label = text;
            while (label.endsWith(QLatin1Char(':')) || label.endsWith(QLatin1Char(' ')))
                label.chop(1);
            const qsizetype parenthesis = text.indexOf(QLatin1String(" ("));
            if (text == bold || label == bold || (parenthesis > 0 && text.left(parenthesis) == bold))
                return true;
            if (!text.contains(placeholder))
                continue;
            QStringList pieces = text.split(placeholder);
            // A text of placeholders and punctuation alone would take anything.
            if (!HasLetter(pieces.join(QString())))
                continue;
            for (QString& piece : pieces)
                piece = QRegularExpression::escape(piece);
            if (QRegularExpression(QRegularExpression::anchoredPattern(pieces.join(QStringLiteral(".+?")))).match(bold).hasMatch())
                return true;
        }
        return false;
    }
};

// Korean: the sources' texts as written. English: the catalogue's translations
// and the sources' texts that are not Korean (Single, COM %1), which either
// language shows. Both: the menu entry's names.
Captions ProgramCaptions(const QString& language)
{
    Captions captions;
    for (const char* folder : {"app", "console", "core", "link", "pattern", "platform", "plot"}) {
        QDirIterator it(Top.filePath(QLatin1String(folder)), {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            for (const QString& literal : StringLiterals(ReadText(it.next())))
                if (language == QLatin1String("ko") || !HasHangul(literal))
                    captions.Texts << Shown(literal);
    }
    if (language == QLatin1String("en")) {
        QFile file(Top.filePath(QStringLiteral("translations/tarvio_en.ts")));
        if (file.open(QIODevice::ReadOnly)) {
            QXmlStreamReader xml(&file);
            while (!xml.atEnd())
                if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("translation")
                    && xml.attributes().value(QLatin1String("type")) != QLatin1String("vanished")
                    && xml.attributes().value(QLatin1String("type")) != QLatin1String("obsolete"))
                    captions.Texts << Shown(xml.readElementText());
        }
    }
    static const QRegularExpression name(QStringLiteral("^Name(\\[ko\\])?=(.*)$"), QRegularExpression::MultilineOption);
    for (const auto& m : name.globalMatch(ReadText(Top.filePath(QStringLiteral("packaging/tarvio.desktop")))))
        if ((language == QLatin1String("ko")) == !m.captured(1).isEmpty())
            captions.Texts << m.captured(2).trimmed();
    captions.Texts.removeDuplicates();
    return captions;
}

// The bold spans of a page outside code blocks and code spans, blanks collapsed.
QStringList BoldSpans(QString page)
{
    page.remove(QRegularExpression(QStringLiteral("^```.*?^```"),
                                   QRegularExpression::MultilineOption | QRegularExpression::DotMatchesEverythingOption));
    page.remove(QRegularExpression(QStringLiteral("`[^`]*`")));
    QStringList spans;
    static const QRegularExpression bold(QStringLiteral("\\*\\*(.+?)\\*\\*"), QRegularExpression::DotMatchesEverythingOption);
    for (const auto& m : bold.globalMatch(page)) {
        const QString span = m.captured(1).simplified();
        // A paragraph's run-in heading ("**Saving.**") is not a caption.
        const bool runIn = (m.capturedStart() == 0 || page.at(m.capturedStart() - 1) == QLatin1Char('\n'))
                           && span.size() > 1 && span.endsWith(QLatin1Char('.'));
        if (!runIn)
            spans << span;
    }
    return spans;
}
}

class TestDocs : public QObject {
    Q_OBJECT
private slots:
    void EveryLinkLeadsSomewhere()
    {
        QStringList missing;
        for (const QString& page : Documents())
            for (const auto& [target, anchor] : Links(page, false))
                if (!QFileInfo::exists(target) || (!anchor.isEmpty() && !Anchors(target).contains(anchor)))
                    missing << Top.relativeFilePath(page) + QStringLiteral(" → ") + Top.relativeFilePath(target)
                                   + (anchor.isEmpty() ? QString() : QLatin1Char('#') + anchor);
        for (const Screenshot& shot : MetadataScreenshots())
            if (!QFileInfo::exists(shot.Path))
                missing << QStringLiteral("tarvio.metainfo.xml → ") + Top.relativeFilePath(shot.Path);
        QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("links to nothing:\n") + missing.join(QLatin1Char('\n'))));
    }

    void EveryPictureIsShown()
    {
        QSet<QString> shown;
        for (const QString& page : Documents())
            for (const QString& target : LinkTargets(page, true))
                shown.insert(target);
        const QStringList pictures = QDir(Top.filePath(QStringLiteral("docs"))).entryList({QStringLiteral("*.png")}, QDir::Files);
        QVERIFY(pictures.size() >= 2);
        QStringList unshown;
        for (const QString& name : pictures)
            if (!shown.contains(Top.filePath(QStringLiteral("docs/") + name)))
                unshown << name;
        QVERIFY2(unshown.isEmpty(), qPrintable(QStringLiteral("shown by no document: ") + unshown.join(QStringLiteral(", "))));
    }

    // The English guide shows the English windows, the Korean guide the Korean ones.
    void GuidesShowTheirOwnLanguage_data()
    {
        QTest::addColumn<QString>("guide");
        QTest::addColumn<bool>("english");
        QTest::newRow("ko") << "docs/operator-guide.md" << false;
        QTest::newRow("en") << "docs/operator-guide.en.md" << true;
    }
    void GuidesShowTheirOwnLanguage()
    {
        QFETCH(QString, guide);
        QFETCH(bool, english);
        const QStringList pictures = LinkTargets(Top.filePath(guide), true);
        QVERIFY(pictures.size() >= 5);
        for (const QString& picture : pictures)
            QVERIFY2(picture.endsWith(QLatin1String(".en.png")) == english, qPrintable(Top.relativeFilePath(picture)));
    }

    // A regenerated picture of another size would be announced with the old one.
    void MetadataGivesThePicturesSizes()
    {
        const QList<Screenshot> shots = MetadataScreenshots();
        QVERIFY(!shots.isEmpty());
        for (const Screenshot& shot : shots)
            QVERIFY2(PngSize(shot.Path) == QSize(shot.Width, shot.Height),
                     qPrintable(QStringLiteral("%1 is %2x%3, the metadata says %4x%5")
                                    .arg(Top.relativeFilePath(shot.Path))
                                    .arg(PngSize(shot.Path).width())
                                    .arg(PngSize(shot.Path).height())
                                    .arg(shot.Width)
                                    .arg(shot.Height)));
    }

    void LiteralsAreReadAsTheCompilerReadsThem()
    {
        const QString code = QStringLiteral("tr(\"열기\"); // don't \"x\"\nq('\"', \"a\\\"b\" \"c\", /* \"d\" */ \"e\");");
        QCOMPARE(StringLiterals(code), (QStringList{QStringLiteral("열기"), QStringLiteral("a\"bc"), QStringLiteral("e")}));
    }

    void BoldIsACaptionTheProgramShows_data()
    {
        QTest::addColumn<QString>("guide");
        QTest::addColumn<QString>("language");
        QTest::newRow("ko") << "docs/operator-guide.md" << "ko";
        QTest::newRow("en") << "docs/operator-guide.en.md" << "en";
    }
    void BoldIsACaptionTheProgramShows()
    {
        QFETCH(QString, guide);
        QFETCH(QString, language);
        const Captions captions = ProgramCaptions(language);
        const QStringList spans = BoldSpans(ReadText(Top.filePath(guide)));
        QVERIFY(spans.size() > 50);
        QStringList strangers;
        for (const QString& span : spans)
            if (!captions.Has(span))
                strangers << span;
        strangers.removeDuplicates();
        QVERIFY2(strangers.isEmpty(),
                 qPrintable(guide + QStringLiteral(" sets in bold what the program does not show in ") + language
                            + QStringLiteral(" (bold is for captions; headings and emphasis take *italics*):\n")
                            + strangers.join(QLatin1Char('\n'))));
    }
};

QTEST_GUILESS_MAIN(TestDocs)
#include "test_docs.moc"
