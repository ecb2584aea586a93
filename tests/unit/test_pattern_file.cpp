// Pattern files: what is written, what the tolerant reader makes of good and
// bad files, and that a failed save never costs the previous file.
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

#include "support/PatternTables.h"
#include "pattern/PatternFile.h"

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
}

class TestPatternFile : public QObject {
    Q_OBJECT
private slots:
    void SaveThenLoad()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("pattern"));   // no extension added
        const QString steps = QStringLiteral("0.000 5.000 1.000|10.000 12.500 2.000|0.500 -1.250 0.063");
        StepArrays arrays;
        QVERIFY(SavePattern(path, Table(steps + QStringLiteral("||4.000 1.000 1.000")), arrays).Ok);
        QCOMPARE(Read(path), QByteArray("0,5,1\r\n10,12.5,2\r\n0.5,-1.25,0.063\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("pattern")});
        PatternTable loaded;
        const LoadResult r = LoadPattern(path, loaded, arrays);
        QVERIFY(r.Complete);
        QCOMPARE(r.StepsLoaded, 3);
        QCOMPARE(Rows(loaded, 1, 3), steps);

        QVERIFY(SavePattern(path, PatternTable(), arrays).Ok);
        QCOMPARE(Read(path), QByteArray());
    }

    void Load_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<qint64>("padTo");   // -1: nothing is written, `file` names what is there
        QTest::addColumn<int>("loaded");
        QTest::addColumn<bool>("complete");
        QTest::addColumn<QString>("rows");   // rows 1..3 afterwards, each "9.000 9.000 9.000" before

        const QString two = QStringLiteral("1.000 2.000 3.000|4.000 5.000 6.000|") + Old;
        const QString one = QStringLiteral("1.000 2.000 3.000|") + Old + '|' + Old;
        const qint64 gigabyte = qint64(1) << 30;
        QTest::newRow("CR LF lines") << QByteArray("0,5,1\r\n10,12.5,2\r\n") << qint64(0) << 2 << true
                                     << "0.000 5.000 1.000|10.000 12.500 2.000|" + Old;
        QTest::newRow("six fields on one line") << QByteArray("1,2,3,4,5,6") << qint64(0) << 2 << true << two;
        QTest::newRow("bare LF, bare CR, blank lines") << QByteArray("\n1,2,3\n\n4,5\r6\r") << qint64(0) << 2 << true << two;
        QTest::newRow("blanks around fields, mark") << QByteArray("\xEF\xBB\xBF 1 ,\t2\r\n3 , 4\n5,6 \r\n") << qint64(0) << 2 << true << two;
        QTest::newRow("decimal forms") << QByteArray(".5,1.,-0.0625\r\n1e1,+2,3E-1") << qint64(0) << 2 << true
                                       << "0.500 1.000 -0.063|10.000 2.000 0.300|" + Old;
        QTest::newRow("empty file") << QByteArray() << qint64(0) << 0 << true << Old + '|' + Old + '|' + Old;
        QTest::newRow("word") << QByteArray("1,2,3\r\n4,abc,6\r\n7,8,9\r\n") << qint64(0) << 1 << false << one;
        QTest::newRow("unit after a number") << QByteArray("1,2,3,4V,5,6") << qint64(0) << 1 << false << one;
        QTest::newRow("blank inside") << QByteArray("1,2,3,4,5 5,6") << qint64(0) << 1 << false << one;
        QTest::newRow("empty field") << QByteArray("1,2,3\r\n4,,6\r\n") << qint64(0) << 1 << false << one;
        QTest::newRow("comma before line end") << QByteArray("1,2,3,4,5,\r\n6") << qint64(0) << 1 << false << one;
        QTest::newRow("too large") << QByteArray("1,2,3,1e999,5,6") << qint64(0) << 1 << false << one;
        QTest::newRow("ends mid-step") << QByteArray("1,2,3\r\n4,5") << qint64(0) << 1 << false << one;
        QTest::newRow("field with no end") << QByteArray("1,2,3,") + QByteArray(100, '7') << gigabyte << 1 << false << one;
        QTest::newRow("no such file") << QByteArray("missing.txt") << qint64(-1) << 0 << false << Old + '|' + Old + '|' + Old;
        QTest::newRow("a folder") << QByteArray(".") << qint64(-1) << 0 << false << Old + '|' + Old + '|' + Old;
    }
    void Load()
    {
        QFETCH(QByteArray, file);
        QFETCH(qint64, padTo);
        QFETCH(int, loaded);
        QFETCH(bool, complete);
        QFETCH(QString, rows);
        QTemporaryDir dir;
        const QString path = dir.filePath(padTo < 0 ? QString::fromLatin1(file) : QStringLiteral("p.txt"));
        QVERIFY(padTo < 0 || Write(path, file, padTo));
        PatternTable table = Table(Old + '|' + Old + '|' + Old);
        StepArrays arrays;
        const LoadResult r = LoadPattern(path, table, arrays);
        QCOMPARE(r.StepsLoaded, loaded);
        QCOMPARE(r.Complete, complete);
        QCOMPARE(Rows(table, 1, 3), rows);
        if (complete)
            QCOMPARE(r.Message, QString());
        else
            QVERIFY2(r.Message.contains(path) && r.Message.contains(QStringLiteral("불러온 단계: %1개").arg(loaded)),
                     qPrintable(r.Message));
    }

    void HundredStepsAtMost_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<QString>("lastRows");   // rows 99..101 afterwards
        const QString step99 = QStringLiteral("99.000 2.000 3.000|");
        QTest::newRow("99 lines") << 99 << step99 + QStringLiteral("  |  ");
        QTest::newRow("100 lines") << 100 << step99 + QStringLiteral("100.000 2.000 3.000|  ");
        QTest::newRow("101 lines, then a gigabyte never read") << 101 << step99 + QStringLiteral("100.000 2.000 3.000|  ");
    }
    void HundredStepsAtMost()
    {
        QFETCH(int, lines);
        QByteArray file;
        for (int n = 1; n <= lines; ++n)
            file += QByteArray::number(n) + ",2,3\r\n";
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.txt"));
        QVERIFY(Write(path, file, lines > 100 ? qint64(1) << 30 : 0));
        PatternTable table;
        StepArrays arrays;
        const LoadResult r = LoadPattern(path, table, arrays);
        QCOMPARE(r.StepsLoaded, qMin(lines, 100));
        QVERIFY(r.Complete);
        QTEST(Rows(table, 99, 101), "lastRows");
        QCOMPARE(arrays.StepTime[101], 0.0);
    }

    void FailedSaveLeavesEverythingAsItWas_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("diskFull");
        QTest::newRow("folder that does not exist") << "no/such/p.txt" << false;
        QTest::newRow("parent is a file") << "old.txt/p.txt" << false;
        QTest::newRow("path is a folder") << "folder" << false;
        QTest::newRow("disk full over an old file") << "old.txt" << true;
    }
    void FailedSaveLeavesEverythingAsItWas()
    {
        QFETCH(QString, name);
        QFETCH(bool, diskFull);
        QTemporaryDir dir;
        QVERIFY(Write(dir.filePath(QStringLiteral("old.txt")), "0,1,1\r\n"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        const QString path = dir.filePath(name);
        // A file size limit fails the write as a full disk would, for root too.
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit small = saved;
        small.rlim_cur = diskFull ? 8 : saved.rlim_cur;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        StepArrays arrays;
        const SaveResult r = SavePattern(path, Table(QStringLiteral("0.000 5.000 1.000|10.000 12.500 2.000")), arrays);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!r.Ok);
        QVERIFY2(r.Message.startsWith(QStringLiteral("패턴 파일을 저장할 수 없습니다: ") + path + '\n')
                     && !r.Message.endsWith(QLatin1Char('\n')),
                 qPrintable(r.Message));
        QCOMPARE(Read(dir.filePath(QStringLiteral("old.txt"))), QByteArray("0,1,1\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 (QStringList{QStringLiteral("folder"), QStringLiteral("old.txt")}));
        QVERIFY(QDir(dir.filePath(QStringLiteral("folder"))).isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestPatternFile)
#include "test_pattern_file.moc"
