// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pattern/PatternEditing.h"

#include <QCoreApplication>

#include "pattern/PatternTable.h"
#include "pattern/StepValues.h"

namespace {
// The largest count the repeat spinner offers.
constexpr long long MaxRepeatCount = 100;
}

FieldValue AcceptStepValue(const QString& typed)
{
    const QString text = FormatThreeDecimals(LeadingNumber(typed));
    // Judged on the rounded text: -0.0004 shows as 0.000 and is taken.
    if (LeadingNumber(text) < 0)
        return {QStringLiteral("ERROR"), false};
    return {text, true};
}

int TypedStepRow(const QString& typed, int currentRow)
{
    const long long row = RoundHalfEven(LeadingNumber(typed));
    return row >= 1 && row <= MaxPatternSteps ? int(row) : currentRow;
}

int TypedRepeatCount(const QString& typed)
{
    const long long n = RoundHalfEven(LeadingNumber(typed));
    if (n < 1)
        return 0;
    return int(qMin(n, MaxRepeatCount));
}

QString RepeatCountText(int spinnerValue)
{
    return RepeatsForever(spinnerValue) ? QCoreApplication::translate("PatternEditing", "연속") : QString::number(spinnerValue);
}

void LineEditArming::ToggleLineEditMode()
{
    if (lineEditMode_)
        Reset();
    else
        lineEditMode_ = true;
}

void LineEditArming::ArmInsert()
{
    deleteArmed_ = false;
    insertArmed_ = true;
}

void LineEditArming::ArmDelete()
{
    insertArmed_ = false;
    deleteArmed_ = true;
}

void LineEditArming::Reset()
{
    lineEditMode_ = insertArmed_ = deleteArmed_ = false;
}

LineEditArming::Outcome LineEditArming::ApplyClick(PatternTable& table, int row) const
{
    if (insertArmed_)
        // With no empty row left below, the last step would fall off the table.
        return table.InsertLine(row) ? Outcome::Changed : Outcome::Refused;
    if (deleteArmed_) {
        table.DeleteLine(row);
        return Outcome::Changed;
    }
    return Outcome::Untouched;
}
