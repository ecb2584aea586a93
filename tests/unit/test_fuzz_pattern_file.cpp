// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzing the pattern file reader: good files as people and programs write
// them, and the same files cut, padded and garbled, loaded over a marked
// table and held against a reader written another way.
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <charconv>

#include "pattern/PatternFile.h"
#include "support/Fuzz.h"

using namespace fuzz;

namespace {

const QByteArray Bom("\xEF\xBB\xBF");
const QString Untouched = QStringLiteral("~");

QByteArray Digits(Rng& rng, int count)
{
    QByteArray d;
    for (int i = 0; i < count; ++i)
        d += char('0' + Pick(rng, 0, 9));
    return d;
}

// A value as people and programs write them, now and then about as long as a field may be.
QByteArray ValueText(Rng& rng)
{
    if (Chance(rng, 0.01))
        return Digits(rng, Pick(rng, 62, 66));
    QByteArray v = PickFrom(rng, {"", "", "", "-", "+"}) + Digits(rng, Pick(rng, 0, 4));
    if (Chance(rng, 0.6))
        v += '.' + Digits(rng, Pick(rng, 0, 6));
    if (Chance(rng, 0.15))
        v += PickFrom(rng, {"e", "E-", "e+"}) + Digits(rng, Pick(rng, 1, 3));
    return v;
}

QByteArray Blanks(Rng& rng)
{
    return Chance(rng, 0.8) ? QByteArray() : QByteArray(Pick(rng, 1, 3), ' ');
}

QByteArray GoodFile(Rng& rng)
{
    const QByteArray lineEnd = PickFrom(rng, {"\r\n", "\n", "\r"});
    QByteArray file = Chance(rng, 0.1) ? Bom : QByteArray();
    const int steps = Chance(rng, 0.2) ? Pick(rng, 95, 130) : Pick(rng, 0, 12);
    for (int s = 0; s < steps; ++s) {
        for (int f = 0; f < 3; ++f) {
            file += Blanks(rng) + ValueText(rng) + Blanks(rng);
            if (f < 2)
                file += Chance(rng, 0.9) ? QByteArray(",") : lineEnd;   // a step may span lines
        }
        if (s < steps - 1 || Chance(rng, 0.7))
            file += Chance(rng, 0.05) ? lineEnd + lineEnd : lineEnd;
    }
    return file;
}

QByteArray Mutated(Rng& rng, QByteArray file)
{
    const int mutations = Pick(rng, 1, 4);
    for (int m = 0; m < mutations; ++m) {
        const int at = Pick(rng, 0, int(file.size()));
        switch (Pick(rng, 0, 5)) {
        case 0: file.insert(at, PickFrom(rng, {",", "\r", "\n", "\t", ",,", "\r\n"})); break;
        case 1: file.truncate(at); break;
        case 2: file.remove(at, Pick(rng, 1, 10)); break;
        // Either side of the longest field the reader takes, or far past it.
        case 3: file.insert(at, Digits(rng, Chance(rng, 0.5) ? Pick(rng, 60, 70) : Pick(rng, 71, 300000))); break;
        case 4: file.insert(at, RandomBytes(rng, Pick(rng, 1, 8))); break;
        default: file.insert(at, Bom); break;
        }
    }
    return file;
}

// What loading should give, worked out a different way from the reader:
// split at every comma, then at every line end, rather than scan bytes.
struct ExpectedLoad {
    QList<double> values;   // three per step placed
    bool complete = false;
};

bool PlainNumber(const QByteArray& field, double* value)
{
    static const QRegularExpression form(QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    if (field.size() > 64 || !form.match(QString::fromLatin1(field)).hasMatch())
        return false;
    const char* begin = field.constData() + (field.startsWith('+') ? 1 : 0);
    const auto [end, error] = std::from_chars(begin, field.constData() + field.size(), *value);
    return error == std::errc() && end == field.constData() + field.size() && std::isfinite(*value);
}

ExpectedLoad ReferenceLoad(QByteArray file)
{
    if (file.startsWith(Bom))
        file.remove(0, Bom.size());
    // A comma always ends a field; a line end ends one only when it holds
    // something or directly follows a comma.
    QList<QByteArray> fields;
    const QList<QByteArray> segments = file.split(',');
    for (int i = 0; i < segments.size(); ++i) {
        QByteArray segment = segments.at(i);
        segment.replace('\r', '\n');
        const QList<QByteArray> pieces = segment.split('\n');
        for (int j = 0; j < pieces.size(); ++j) {
            const QByteArray& raw = pieces.at(j);
            const QByteArray piece = QByteArray(raw).replace('\t', ' ').trimmed();
            const bool afterComma = j == 0 && i > 0;
            const bool beforeComma = j == pieces.size() - 1 && i < segments.size() - 1;
            if (!piece.isEmpty() || afterComma || beforeComma)
                fields << piece;
        }
    }
    // An empty field that the end of the file closes at a step's start is
    // where the file ends ("1,2,3,"), not a step with an empty time.
    const QByteArray tail = segments.last();
    if (segments.size() > 1 && QByteArray(tail).replace('\t', ' ').trimmed().isEmpty() && !tail.contains('\n')
        && !tail.contains('\r') && (fields.size() - 1) % 3 == 0)
        fields.removeLast();
    ExpectedLoad e;
    double v = 0;
    int f = 0;
    for (; f < 3 * MaxPatternSteps && f < fields.size() && PlainNumber(fields.at(f), &v); ++f)
        e.values << v;
    e.complete = f == 3 * MaxPatternSteps || (f == fields.size() && f % 3 == 0);
    // A value counts only when its whole step is read.
    e.values.resize(e.values.size() / 3 * 3);
    return e;
}

// Loads `file` over a table whose every value cell and array slot is marked,
// and holds the result against ReferenceLoad.
void CheckLoad(const QString& path, const QByteArray& file, const QString& label)
{
    static const QRegularExpression threeDecimals(QStringLiteral("^-?[0-9]+\\.[0-9]{3}$"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(file) == file.size());
    f.close();
    PatternTable table;
    for (int row = 1; row <= MaxPatternSteps; ++row)
        table.SetStep(row, {Untouched, Untouched, Untouched});
    const Outcome r = LoadPattern(path, table);
    const ExpectedLoad e = ReferenceLoad(file);
    const int steps = int(e.values.size() / 3);
    const QString where = label + QStringLiteral(", %1 bytes").arg(file.size());

    QVERIFY2(r.Ok() == e.complete, qPrintable(where));
    QVERIFY2(r.Message().isEmpty() == r.Ok(), qPrintable(where + QStringLiteral(": ") + r.Message()));
    QVERIFY2(r.Ok() || r.Message().contains(QStringLiteral("불러온 단계: %1개").arg(steps)), qPrintable(where + QStringLiteral(": ") + r.Message()));
    for (int row = 1; row <= MaxPatternSteps; ++row) {
        for (int column = 1; column <= 3; ++column) {
            const QString cell = table.Cell(row, column);
            const QString at = where + QStringLiteral(", row %1 column %2: %3").arg(row).arg(column).arg(cell.left(80));
            if (row > steps) {
                QVERIFY2(cell == Untouched, qPrintable(at));
                continue;
            }
            const double value = e.values.at(3 * (row - 1) + column - 1);
            QVERIFY2(threeDecimals.match(cell).hasMatch(), qPrintable(at));
            QVERIFY2(std::fabs(cell.toDouble() - value) <= 0.0005 + 1e-12 * std::fabs(value), qPrintable(at));
        }
    }
}

} // namespace

class TestFuzzPatternFile : public QObject {
    Q_OBJECT
private slots:
    void PatternReaderHoldsOnAnyFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("fuzz.pat"));
        // Found by the fuzzing: the reader ran past a file that held nothing but the mark.
        CheckLoad(path, Bom, QStringLiteral("a lone byte-order mark"));
        Rounds rounds(0x20000000);
        while (rounds.Next()) {
            Rng rng = rounds.Generator();
            CheckLoad(path, Chance(rng, 0.2) ? GoodFile(rng) : Mutated(rng, GoodFile(rng)), rounds.Where());
        }
    }
};

QTEST_GUILESS_MAIN(TestFuzzPatternFile)
#include "test_fuzz_pattern_file.moc"
