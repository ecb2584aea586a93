// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QAbstractTableModel>
#include <QBitArray>

#include "pattern/PatternTable.h"

// The pattern table as the grid shows it: the grid holds no text of its own,
// so the table stays the one store of the steps. Row r, column c of the grid
// is step r + 1, value c + 1; the headers are the table's row 0 and column 0.
class PatternGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit PatternGridModel(const PatternTable& table, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The table changed behind the grid's back.
    void TableChanged();
    void CellChanged(int row, int column);   // table coordinates
    // Cells whose value the supply would refuse are drawn in red.
    void SetRefused(int row, int column, bool refused);
    bool Refused(int row, int column) const;

private:
    const PatternTable& table_;
    QBitArray refused_;
};
