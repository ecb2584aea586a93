// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulator/TraceRecord.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iterator>

namespace sim {

namespace {
struct KindName {
    RecordKind Kind;
    const char* Name;
};
constexpr KindName KindNames[] = {
    {RecordKind::CommandLf, "LF"}, {RecordKind::CommandCr, "CR"},  {RecordKind::Reply, "OUT"},
    {RecordKind::DroppedReply, "DROP"}, {RecordKind::StrayLine, "STRAY"}, {RecordKind::Error, "ERROR"},
    {RecordKind::Fault, "FAULT"}, {RecordKind::Vanish, "VANISH"}, {RecordKind::Return, "RETURN"},
    {RecordKind::Connect, "CONNECT"}, {RecordKind::Disconnect, "DISCONNECT"},
};

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool Unescape(const std::string& text, std::string& out)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (i + 3 >= text.size() || text[i + 1] != 'x')
            return false;
        const int high = HexDigit(text[i + 2]);
        const int low = HexDigit(text[i + 3]);
        if (high < 0 || low < 0)
            return false;
        out += static_cast<char>(high * 16 + low);
        i += 3;
    }
    return true;
}
}

std::string FormatRecordLine(const RecordEntry& entry)
{
    // to_chars, unlike printf, never writes a decimal comma whatever the locale.
    char stamp[48];
    const auto result = std::to_chars(stamp, stamp + sizeof stamp, entry.Seconds, std::chars_format::fixed, 6);
    std::string line(stamp, result.ptr);
    line += '\t';
    for (const KindName& kind : KindNames) {
        if (kind.Kind == entry.Kind)
            line += kind.Name;
    }
    line += '\t';
    for (const char c : entry.Text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '\\') {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            line += escaped;
        } else {
            line += c;
        }
    }
    line += '\n';
    return line;
}

std::optional<RecordEntry> ParseRecordLine(const std::string& line)
{
    const std::size_t firstTab = line.find('\t');
    const std::size_t secondTab = firstTab == std::string::npos ? firstTab : line.find('\t', firstTab + 1);
    if (secondTab == std::string::npos)
        return std::nullopt;
    RecordEntry entry;
    const char* last = line.data() + firstTab;
    const auto result = std::from_chars(line.data(), last, entry.Seconds);
    if (firstTab == 0 || result.ec != std::errc() || result.ptr != last)
        return std::nullopt;
    const std::string name = line.substr(firstTab + 1, secondTab - firstTab - 1);
    const auto* kind = std::find_if(std::begin(KindNames), std::end(KindNames),
                                    [&](const KindName& k) { return name == k.Name; });
    if (kind == std::end(KindNames) || !Unescape(line.substr(secondTab + 1), entry.Text))
        return std::nullopt;
    entry.Kind = kind->Kind;
    return entry;
}

} // namespace sim
