// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QStringList>

// The commands the operator sent from the command field in this session, so
// Up and Down can bring them back as in a shell.
class CommandHistory {
public:
    static constexpr int MaxEntries = 50;

    void Add(const QString& command);
    // Up steps back from what is being typed; Down steps forward and, past the
    // newest entry, returns what was being typed before the recall began.
    QString Older(const QString& typing);
    QString Newer(const QString& typing);
    int Size() const { return int(entries_.size()); }

private:
    QStringList entries_;   // oldest first
    int cursor_ = -1;       // -1: not recalling
    QString typing_;
};
