// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <optional>
#include <string>

namespace sim {

// What a line of the record tells: a command that came in (and which
// terminator ended it), a reply that went out or was lost on purpose, an
// unasked line slipped in, an error a command raised, an error injected as a
// fault, the terminal going away or coming back (its path as the text), or a
// TCP client connecting or leaving (its address as the text).
enum class RecordKind {
    CommandLf, CommandCr, Reply, DroppedReply, StrayLine, Error, Fault, Vanish, Return, Connect, Disconnect
};

struct RecordEntry {
    double Seconds = 0; // monotonic clock
    RecordKind Kind = RecordKind::CommandLf;
    std::string Text;
};

// One line of the record, with its line feed: the seconds, the kind (LF, CR,
// OUT, DROP, STRAY, ERROR, FAULT, VANISH, RETURN, CONNECT, DISCONNECT) and the
// text, tab-separated.
// Control characters and backslashes in the text are written as \xHH, so that
// one entry always stays one line of three fields.
std::string FormatRecordLine(const RecordEntry& entry);
// Reads a line back (without its line feed); nothing when it is not one.
std::optional<RecordEntry> ParseRecordLine(const std::string& line);

} // namespace sim
