// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/CommandHistory.h"

void CommandHistory::Add(const QString& command)
{
    cursor_ = -1;
    if (command.isEmpty() || (!entries_.isEmpty() && entries_.last() == command))
        return;
    entries_.append(command);
    if (entries_.size() > MaxEntries)
        entries_.removeFirst();
}

QString CommandHistory::Older(const QString& typing)
{
    if (entries_.isEmpty())
        return typing;
    if (cursor_ == -1) {
        typing_ = typing;
        cursor_ = int(entries_.size());
    }
    if (cursor_ > 0)
        --cursor_;
    return entries_.at(cursor_);
}

QString CommandHistory::Newer(const QString& typing)
{
    if (cursor_ == -1)
        return typing;
    if (++cursor_ >= entries_.size()) {
        cursor_ = -1;
        return typing_;
    }
    return entries_.at(cursor_);
}
