// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QList>
#include <QString>

// One keyword of the instrument's language as the console offers it: the
// button that writes it, what it puts in the command field and its help line.
struct CommandEntry {
    const char* Button;    // control name, e.g. "CmdSV"
    QString Keyword;       // button caption
    QString FieldText;     // written into the command field
    QString SyntaxText;    // empty for keywords without parameters
    QString MeaningText;
    int Row;               // 1-based place in the composer grid
    int Column;
    int ListPosition;      // 1-based line in the reference list
    QString ListText;      // the reference list words its meaning more tersely
};

// The 24 keywords in composer order (row by row).
const QList<CommandEntry>& CommandTable();

// "<syntax or field text> : <meaning>", shown in the status bar.
QString HelpLine(const CommandEntry& entry);

// A table text as the operator reads it. The tables keep the Korean source, so
// one process can show either language and nothing sent or saved depends on it.
QString TableText(const QString& source);

// A keypad key of the composer: its control name, caption, place and what it appends.
struct KeypadKey {
    const char* Button;
    QString Caption;
    QString Appends;   // empty for Del, which removes the last character instead
    int Row;
    int Column;        // 3 to 5: the keypad's three narrow columns
};
const QList<KeypadKey>& KeypadKeys();

// What the instrument answers to SYST:ERR?, and what it means.
struct ErrorEntry {
    QString Error;     // "NO ERROR", "ERROR - 101"
    QString MeaningText;
};
const QList<ErrorEntry>& ErrorTable();

// The supported models, as the reference panel lists them.
struct ModelSeries {
    QString Banner;
    QList<std::pair<QString, QString>> Models;   // model number, rating
};
const QList<ModelSeries>& ModelList();
