// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace sim {

enum class LineTerminator { Lf, Cr };

struct FramedLine {
    std::string Text;
    LineTerminator Terminator = LineTerminator::Lf;
};

// Cuts the received byte stream into command lines. LF, CR and CR LF each end
// one line (the pattern run ends its commands with CR alone), and a line may
// arrive spread over any number of reads.
class LineFramer {
public:
    std::vector<FramedLine> Feed(const char* data, std::size_t size);

private:
    std::string pending_;
    bool afterCr_ = false;
};

// A line too long for any command is garbage; cutting it keeps memory bounded
// while the line still ends, and fails, where the sender put its terminator.
constexpr std::size_t MaxLineLength = 4096;

} // namespace sim
