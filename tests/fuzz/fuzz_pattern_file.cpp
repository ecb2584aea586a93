// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The pattern file reader on any file: it touches no row after the last step
// placed, writes each value in three decimals, says how many steps it placed,
// and the steps it accepted, saved and read back, are the same steps.
#include <QRegularExpression>

#include "FuzzCheck.h"
#include "pattern/PatternFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QRegularExpression threeDecimals(QStringLiteral("^-?[0-9]+\\.[0-9]{3}$"));
    const QString untouched = QStringLiteral("~");
    PatternTable table;
    for (int row = 1; row <= MaxPatternSteps; ++row)
        table.SetStep(row, {untouched, untouched, untouched});
    const Outcome loaded = LoadPattern(fuzz::WriteScratchFile(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size))), table);
    int steps = 0;
    while (steps < MaxPatternSteps && table.Cell(steps + 1, 1) != untouched)
        ++steps;

    FUZZ_CHECK(loaded.Message().isEmpty() == loaded.Ok(), "a failure without a message, or a message on success");
    FUZZ_CHECK(loaded.Ok() || loaded.Message().contains(QStringLiteral("불러온 단계: %1개").arg(steps)),
               "the message miscounts the steps placed");
    PatternTable placed;
    for (int row = 1; row <= MaxPatternSteps; ++row) {
        for (int column = 1; column <= 3; ++column) {
            const QString cell = table.Cell(row, column);
            FUZZ_CHECK(row <= steps ? threeDecimals.match(cell).hasMatch() : cell == untouched,
                       "a row touched past the last step, or a value not in three decimals");
        }
        if (row <= steps)
            placed.SetStep(row, table.Step(row));
    }

    // Saved and read back: the same steps, and the same file when saved again.
    const QByteArray saved = PatternFileText(placed);
    PatternTable reread;
    FUZZ_CHECK(LoadPattern(fuzz::WriteScratchFile(saved), reread).Ok(), "a saved pattern does not read back");
    for (int row = 1; row <= MaxPatternSteps; ++row)
        FUZZ_CHECK(reread.Step(row) == placed.Step(row), "a step changed on its way through a file");
    FUZZ_CHECK(PatternFileText(reread) == saved, "saving the read-back pattern gives another file");
    return 0;
}
