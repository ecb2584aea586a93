// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pattern/PatternTable.h"

#include <QCoreApplication>

PatternTable::PatternTable()
{
    cells_[0][1] = QCoreApplication::translate("PatternTable", " 시간");
    cells_[0][2] = QCoreApplication::translate("PatternTable", " 전압");
    cells_[0][3] = QCoreApplication::translate("PatternTable", " 전류");
    for (int row = 1; row < Rows; ++row)
        cells_[row][0] = QLatin1Char(' ') + QString::number(row);
}

QString PatternTable::Cell(int row, int column) const
{
    if (row < 0 || row >= Rows || column < 0 || column >= Columns)
        return QString();
    return cells_[row][column];
}

bool PatternTable::SetCell(int row, int column, const QString& text)
{
    if (row < 1 || row >= Rows || column < 1 || column >= Columns)
        return false;
    cells_[row][column] = text;
    return true;
}

PatternStep PatternTable::Step(int row) const
{
    return PatternStep{Cell(row, 1), Cell(row, 2), Cell(row, 3)};
}

void PatternTable::SetStep(int row, const PatternStep& step)
{
    SetCell(row, 1, step.Time);
    SetCell(row, 2, step.Voltage);
    SetCell(row, 3, step.Current);
}

void PatternTable::ClearValues()
{
    for (int row = 1; row < Rows; ++row)
        for (int column = 1; column < Columns; ++column)
            cells_[row][column].clear();
}

CellPosition PatternTable::FirstEmptyCell(int fromRow) const
{
    for (int row = qMax(1, fromRow); row <= MaxPatternSteps; ++row)
        for (int column = 1; column < Columns; ++column)
            if (cells_[row][column].isEmpty())
                return {row, column};
    return {MaxPatternSteps + 1, 1};
}

bool PatternTable::InsertLine(int row)
{
    if (row < 1 || row > MaxPatternSteps)
        return false;
    const int end = PatternEnd(row);
    // The last row of the pattern would have to move to row 101.
    if (end > MaxPatternSteps)
        return false;
    for (int column = 1; column < Columns; ++column) {
        for (int r = end - 1; r >= row; --r)
            cells_[r + 1][column] = cells_[r][column];
        cells_[row][column].clear();
    }
    return true;
}

bool PatternTable::DeleteLine(int row)
{
    if (row < 1 || row > MaxPatternSteps)
        return false;
    const int end = PatternEnd(row);
    for (int column = 1; column < Columns; ++column) {
        for (int r = row; r <= end - 2; ++r)
            cells_[r][column] = cells_[r + 1][column];
        cells_[end - 1][column].clear();
    }
    return true;
}
