// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pattern/PatternGridModel.h"

#include <QColor>

PatternGridModel::PatternGridModel(const PatternTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table), refused_(MaxPatternSteps * 3)
{
}

int PatternGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : MaxPatternSteps;
}

int PatternGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant PatternGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return table_.Cell(index.row() + 1, index.column() + 1);
    case Qt::TextAlignmentRole:
        return int(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        if (Refused(index.row() + 1, index.column() + 1))
            return QColor(Qt::red);
        return {};
    default:
        return {};
    }
}

QVariant PatternGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return orientation == Qt::Horizontal ? table_.Cell(0, section + 1) : table_.Cell(section + 1, 0);
}

Qt::ItemFlags PatternGridModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}

void PatternGridModel::TableChanged()
{
    emit dataChanged(index(0, 0), index(MaxPatternSteps - 1, 2));
}

void PatternGridModel::CellChanged(int row, int column)
{
    const QModelIndex at = index(row - 1, column - 1);
    emit dataChanged(at, at);
}

void PatternGridModel::SetRefused(int row, int column, bool refused)
{
    const int bit = (row - 1) * 3 + column - 1;
    if (refused_.testBit(bit) == refused)
        return;
    refused_.setBit(bit, refused);
    CellChanged(row, column);
}

bool PatternGridModel::Refused(int row, int column) const
{
    return row >= 1 && row <= MaxPatternSteps && column >= 1 && column <= 3 && refused_.testBit((row - 1) * 3 + column - 1);
}
