// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <array>

constexpr int MaxPatternSteps = 100;

// A value cell of the table: row 1..100 (101 past a full table), column 1..3.
struct CellPosition {
    int Row = 1;
    int Column = 1;
};

// One row of the pattern: each value as the table shows it, with three
// decimals, or empty.
struct PatternStep {
    QString Time, Voltage, Current;
    bool Complete() const { return !Time.isEmpty() && !Voltage.isEmpty() && !Current.isEmpty(); }
    bool operator==(const PatternStep& o) const
    {
        return Time == o.Time && Voltage == o.Voltage && Current == o.Current;
    }
};

// The pattern being edited: the only store of its steps, which the grid
// shows. Row 0 holds the column headers and column 0 the step numbers, as on
// the grid; rows 1 to 100 and columns 1 to 3 are the step values.
class PatternTable {
public:
    static constexpr int Rows = MaxPatternSteps + 1;
    static constexpr int Columns = 4;

    PatternTable();

    // Any cell of the grid; outside 0..100 / 0..3 reads empty.
    QString Cell(int row, int column) const;
    // Only the value cells (rows 1..100, columns 1..3) can be written.
    bool SetCell(int row, int column, const QString& text);
    PatternStep Step(int row) const;
    void SetStep(int row, const PatternStep& step);
    // Empties every value cell; headers and step numbers stay.
    void ClearValues();

    // Where the steps stop, reading the value cells row by row from `fromRow`:
    // the first empty one, or row 101 column 1 when every cell down to row 100 is filled.
    CellPosition FirstEmptyCell(int fromRow = 1) const;
    // The steps before the first row with an empty value cell.
    int LeadingCompleteSteps() const { return FirstEmptyCell().Row - 1; }
    // The first row below `row` with an empty value cell, or 101 when every
    // row down to 100 is complete: where line editing takes the pattern to end.
    int PatternEnd(int row) const { return FirstEmptyCell(row + 1).Row; }

    // A blank line at `row`, rows down to the pattern's end moving down one.
    // Refused (false, table untouched) when no empty row is left to take them.
    bool InsertLine(int row);
    // Removes line `row`, rows up to the pattern's end moving up one. When
    // every row below is complete, row 100 becomes the empty step that closes it.
    bool DeleteLine(int row);

private:
    std::array<std::array<QString, Columns>, Rows> cells_;
};
