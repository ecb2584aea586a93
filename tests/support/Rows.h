// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDebug>
#include <QString>
#include <QtTest>

// A comparison inside a loop over a table's rows: a failure names the row,
// which QCOMPARE alone cannot do once the rows are not QtTest data rows.
template <typename A, typename E>
QString RowMismatch(const char* row, const A& actual, const E& expected)
{
    QString text;
    QDebug(&text).nospace() << row << ": got " << actual << ", want " << expected;
    return text;
}
#define ROW_COMPARE(row, actual, expected) \
    do { \
        const auto actual_ = (actual); \
        const auto expected_ = (expected); \
        QVERIFY2(actual_ == expected_, qPrintable(RowMismatch(row, actual_, expected_))); \
    } while (false)
