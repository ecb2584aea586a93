// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

class PatternTable;

// What a committed entry field shows, and whether the table may take it.
struct FieldValue {
    QString Text;
    bool Accepted = false;
};

// A time, voltage or current field's text as a step value: its leading number
// with three decimals. A value that stays negative after rounding is refused
// and the field reads "ERROR".
FieldValue AcceptStepValue(const QString& typed);

// The step a typed step number selects: halves to even; a number outside
// 1..100 keeps the current step.
int TypedStepRow(const QString& typed, int currentRow);

// The repeat spinner's value for a typed count: halves to even, 1 to 100;
// anything below 1 means repeating for ever, which the spinner holds as 0.
int TypedRepeatCount(const QString& typed);
// The repeat field's text for a spinner value.
QString RepeatCountText(int spinnerValue);
inline bool RepeatsForever(int spinnerValue) { return spinnerValue == 0; }

// Line editing's modes: whether the line buttons are live, and which of them
// a click on the grid applies. At most one of insert and delete is armed.
class LineEditArming {
public:
    enum class Outcome { Untouched, Changed, Refused };

    bool LineEditMode() const { return lineEditMode_; }
    bool InsertArmed() const { return insertArmed_; }
    bool DeleteArmed() const { return deleteArmed_; }

    // Into line editing, or back to cell editing with nothing armed.
    void ToggleLineEditMode();
    void ArmInsert();
    void ArmDelete();
    void Reset();
    // A click on step `row`: inserts or deletes a line there when armed.
    // An armed button stays armed, so the next click does the same again.
    Outcome ApplyClick(PatternTable& table, int row) const;

private:
    bool lineEditMode_ = false;
    bool insertArmed_ = false;
    bool deleteArmed_ = false;
};
