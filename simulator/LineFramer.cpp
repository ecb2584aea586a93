// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulator/LineFramer.h"

namespace sim {

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

} // namespace sim
