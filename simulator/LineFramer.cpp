#include "simulator/LineFramer.h"

#include <charconv>
#include <cstdio>

std::vector<FramedLine> LineFramer::Feed(const char* data, std::size_t size)
{
    std::vector<FramedLine> lines;
    for (std::size_t i = 0; i < size; ++i) {
        const char c = data[i];
        // The LF of a CR LF pair may come in the next read; it belongs to the
        // line the CR already ended.
        if (c == '\n' && afterCr_) {
            afterCr_ = false;
            continue;
        }
        afterCr_ = c == '\r';
        if (c == '\n' || c == '\r') {
            lines.push_back({pending_, c == '\n' ? LineTerminator::Lf : LineTerminator::Cr});
            pending_.clear();
        } else if (pending_.size() < MaxLineLength) {
            pending_ += c;
        }
    }
    return lines;
}

std::string FormatRecordLine(double seconds, LineTerminator terminator, const std::string& text)
{
    // to_chars, unlike printf, never writes a decimal comma whatever the locale.
    char stamp[48];
    const auto result = std::to_chars(stamp, stamp + sizeof stamp, seconds, std::chars_format::fixed, 6);
    std::string line(stamp, result.ptr);
    line += terminator == LineTerminator::Lf ? "\tLF\t" : "\tCR\t";
    for (const char c : text) {
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
