// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The pattern file reader on any file: it places what a reader written
// another way (split at commas, then at line ends) finds, touches no row
// after the last step placed, says how many it placed, and the steps it
// accepted, saved and read back, are the same steps.
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <charconv>
#include <cmath>

#include "FuzzCheck.h"
#include "pattern/PatternFile.h"

namespace {

const QString Untouched = QStringLiteral("~");

QString ScratchFile()
{
    static QTemporaryDir dir;
    return dir.filePath(QStringLiteral("fuzz.pat"));
}

void Write(const QByteArray& bytes)
{
    QFile f(ScratchFile());
    FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size(), "cannot write the scratch file");
}

bool PlainNumber(const QByteArray& field, double* value)
{
    static const QRegularExpression form(QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    if (field.size() > 320 || !form.match(QString::fromLatin1(field)).hasMatch())
        return false;
    const char* begin = field.constData() + (field.startsWith('+') ? 1 : 0);
    const auto [end, error] = std::from_chars(begin, field.constData() + field.size(), *value);
    return error == std::errc() && end == field.constData() + field.size() && std::isfinite(*value);
}

// How many steps the file holds before its first unreadable field, and
// whether it was read to its end (or to the hundredth step).
struct Expected {
    int Steps = 0;
    bool Complete = false;
};

// Only spaces and tabs are blanks: a form feed is no more blank than a letter.
QByteArray Unpadded(const QByteArray& field)
{
    qsizetype begin = 0, end = field.size();
    while (begin < end && (field[begin] == ' ' || field[begin] == '\t'))
        ++begin;
    while (end > begin && (field[end - 1] == ' ' || field[end - 1] == '\t'))
        --end;
    return field.mid(begin, end - begin);
}

Expected ReferenceLoad(QByteArray file)
{
    if (file.startsWith("\xEF\xBB\xBF"))
        file.remove(0, 3);
    // A comma always ends a field; a line end only one that holds something
    // or directly follows a comma.
    QList<QByteArray> fields;
    const QList<QByteArray> segments = file.split(',');
    for (int i = 0; i < segments.size(); ++i) {
        const QList<QByteArray> pieces = QByteArray(segments.at(i)).replace('\r', '\n').split('\n');
        for (int j = 0; j < pieces.size(); ++j) {
            const QByteArray piece = Unpadded(pieces.at(j));
            if (!piece.isEmpty() || (j == 0 && i > 0) || (j == pieces.size() - 1 && i < segments.size() - 1))
                fields << piece;
        }
    }
    // "1,2,3," ends the file; it opens no step with an empty time.
    const QByteArray tail = segments.last();
    if (segments.size() > 1 && Unpadded(tail).isEmpty() && !tail.contains('\n')
        && !tail.contains('\r') && (fields.size() - 1) % 3 == 0)
        fields.removeLast();
    double v = 0;
    int f = 0;
    while (f < 3 * MaxPatternSteps && f < fields.size() && PlainNumber(fields.at(f), &v))
        ++f;
    return {f / 3, f == 3 * MaxPatternSteps || (f == fields.size() && f % 3 == 0)};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QRegularExpression threeDecimals(QStringLiteral("^-?[0-9]+\\.[0-9]{3}$"));
    const QByteArray file(reinterpret_cast<const char*>(data), qsizetype(size));
    Write(file);
    PatternTable table;
    for (int row = 1; row <= MaxPatternSteps; ++row)
        table.SetStep(row, {Untouched, Untouched, Untouched});
    const Outcome loaded = LoadPattern(ScratchFile(), table);
    int steps = 0;
    while (steps < MaxPatternSteps && table.Cell(steps + 1, 1) != Untouched)
        ++steps;

    const Expected expected = ReferenceLoad(file);
    FUZZ_CHECK(loaded.Ok() == expected.Complete && steps == expected.Steps, "placed other steps than the file holds");
    FUZZ_CHECK(loaded.Message().isEmpty() == loaded.Ok(), "a failure without a message, or a message on success");
    FUZZ_CHECK(loaded.Ok() || loaded.Message().contains(QStringLiteral("불러온 단계: %1개").arg(steps)),
               "the message miscounts the steps placed");
    PatternTable placed;
    for (int row = 1; row <= MaxPatternSteps; ++row) {
        for (int column = 1; column <= 3; ++column) {
            const QString cell = table.Cell(row, column);
            FUZZ_CHECK(row <= steps ? threeDecimals.match(cell).hasMatch() : cell == Untouched,
                       "a row touched past the last step, or a value not in three decimals");
        }
        if (row <= steps)
            placed.SetStep(row, table.Step(row));
    }

    // Saved and read back: the same steps, and the same file when saved again.
    const QByteArray saved = PatternFileText(placed);
    Write(saved);
    PatternTable reread;
    FUZZ_CHECK(LoadPattern(ScratchFile(), reread).Ok(), "a saved pattern does not read back");
    for (int row = 1; row <= MaxPatternSteps; ++row)
        FUZZ_CHECK(reread.Step(row) == placed.Step(row), "a step changed on its way through a file");
    FUZZ_CHECK(PatternFileText(reread) == saved, "saving the read-back pattern gives another file");
    return 0;
}
