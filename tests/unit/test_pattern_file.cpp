// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Pattern files: what is written, what the tolerant reader makes of good and
// bad files, and that a failed save never costs the previous file.
#include <QtTest>

#include "pattern/PatternFile.h"
#include "support/FileSizeLimit.h"
#include "support/PatternTables.h"
#include "support/Rows.h"

namespace {
QString Rows(const PatternTable& t, int first, int last)
{
    QStringList out;
    for (int r = first; r <= last; ++r)
        out << QStringList{t.Cell(r, 1), t.Cell(r, 2), t.Cell(r, 3)}.join(QLatin1Char(' '));
    return out.join(QLatin1Char('|'));
}

bool Write(const QString& path, const QByteArray& bytes, qint64 padTo = 0)
{
    QFile f(path);
    // Padding makes a sparse tail of zero bytes: a gigabyte costs no disk.
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && (padTo == 0 || f.resize(padTo));
}

QByteArray Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

const QString Old = QStringLiteral("9.000 9.000 9.000");
constexpr qint64 Gigabyte = qint64(1) << 30;
}

class TestPatternFile : public QObject {
    Q_OBJECT
private slots:
    void SaveThenLoad()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("pattern"));   // no extension added
        const QString steps = QStringLiteral("0.000 5.000 1.000|10.000 12.500 2.000|0.500 -1.250 0.063");
        QVERIFY(SavePattern(path, Table(steps + QStringLiteral("||4.000 1.000 1.000"))).Ok());
        QCOMPARE(Read(path), QByteArray("0,5,1\r\n10,12.5,2\r\n0.5,-1.25,0.063\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("pattern")});
        PatternTable loaded;
        QVERIFY(LoadPattern(path, loaded).Ok());
        QCOMPARE(Rows(loaded, 1, 3), steps);

        QVERIFY(SavePattern(path, PatternTable()).Ok());
        QCOMPARE(Read(path), QByteArray());
    }

    void Load()
    {
        // Rows 1..3 each hold `Old` before; `rows` is what they hold after. A
        // negative padTo writes nothing: `file` names what is there.
        const QString two = QStringLiteral("1.000 2.000 3.000|4.000 5.000 6.000|") + Old;
        const QString one = QStringLiteral("1.000 2.000 3.000|") + Old + '|' + Old;
        const QString none = Old + '|' + Old + '|' + Old;
        const struct { const char* name; QByteArray file; qint64 padTo; int loaded; bool complete; QString rows; } cases[] = {
            {"six fields on one line", "1,2,3,4,5,6", 0, 2, true, two},
            {"bare LF, bare CR, blank lines", "\n1,2,3\n\n4,5\r6\r", 0, 2, true, two},
            {"blanks around fields, mark", "\xEF\xBB\xBF 1 ,\t2\r\n3 , 4\n5,6 \r\n", 0, 2, true, two},
            {"decimal forms", ".5,1.,-0.0625\r\n1e1,+2,3E-1", 0, 2, true, "0.500 1.000 -0.063|10.000 2.000 0.300|" + Old},
            {"a field that reads like a placeholder", "1,2,3\r\n%2.5,0,1", 0, 1, false, one},
            {"empty field", "1,2,3\r\n4,,6\r\n", 0, 1, false, one},
            {"comma after the last step", "1,2,3,", 0, 1, true, one},
            {"comma inside a last step", "1,2,3,4,", 0, 1, false, one},
            {"too large", "1,2,3,1e999,5,6", 0, 1, false, one},
            {"ends mid-step", "1,2,3\r\n4,5", 0, 1, false, one},
            {"field with no end", "1,2,3," + QByteArray(100, '7'), Gigabyte, 1, false, one},
            {"no such file", "missing.txt", -1, 0, false, none}};
        for (const auto& c : cases) {
            QTemporaryDir dir;
            const QString path = dir.filePath(c.padTo < 0 ? QString::fromLatin1(c.file) : QStringLiteral("p.txt"));
            QVERIFY2(c.padTo < 0 || Write(path, c.file, c.padTo), c.name);
            PatternTable table = Table(none);
            const Outcome r = LoadPattern(path, table);
            ROW_COMPARE(c.name, r.Ok(), c.complete);
            ROW_COMPARE(c.name, Rows(table, 1, 3), c.rows);
            const bool told = r.Message().contains(QDir::toNativeSeparators(path)) && r.Message().contains(QStringLiteral("불러온 단계: %1개").arg(c.loaded));
            QVERIFY2(c.complete ? r.Message().isEmpty() : told, qPrintable(c.name + QStringLiteral(": ") + r.Message()));
        }
    }

    // Rows 1 to 100 load; the rest, here a gigabyte, is never read.
    void HundredStepsAtMost()
    {
        QByteArray file;
        for (int n = 1; n <= 101; ++n)
            file += QByteArray::number(n) + ",2,3\r\n";
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.txt"));
        QVERIFY(Write(path, file, Gigabyte));
        PatternTable table;
        QVERIFY(LoadPattern(path, table).Ok());
        QCOMPARE(Rows(table, 99, 101), QStringLiteral("99.000 2.000 3.000|100.000 2.000 3.000|  "));
    }

    void FailedSaveLeavesEverythingAsItWas()
    {
        static const struct { const char* name; bool diskFull; } cases[] = {
            {"no/such/p.txt", false}, {"old.txt/p.txt", false}, {"folder", false}, {"old.txt", true}};
        for (const auto& c : cases) {
            if (c.diskFull && !FileSizeLimit::Supported)
                continue;
            QTemporaryDir dir;
            QVERIFY(Write(dir.filePath(QStringLiteral("old.txt")), "0,1,1\r\n"));
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
            const QString path = dir.filePath(QString::fromLatin1(c.name));
            const std::optional<FileSizeLimit> full = c.diskFull ? std::make_optional<FileSizeLimit>(8) : std::nullopt;
            QVERIFY(!full || full->Ok());
            const Outcome r = SavePattern(path, Table(QStringLiteral("0.000 5.000 1.000|10.000 12.500 2.000")));
            QVERIFY2(!r.Ok(), c.name);
            QVERIFY2(r.Message().startsWith(QStringLiteral("패턴 파일을 저장할 수 없습니다: ") + QDir::toNativeSeparators(path) + '\n')
                         && !r.Message().endsWith(QLatin1Char('\n')),
                     qPrintable(r.Message()));
            ROW_COMPARE(c.name, Read(dir.filePath(QStringLiteral("old.txt"))), QByteArray("0,1,1\r\n"));
            ROW_COMPARE(c.name, QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                        (QStringList{QStringLiteral("folder"), QStringLiteral("old.txt")}));
        }
    }
};

QTEST_APPLESS_MAIN(TestPatternFile)
#include "test_pattern_file.moc"
