// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the fuzz targets share: a broken property stops the run with its
// reason, so libFuzzer keeps the input that broke it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#define FUZZ_CHECK(condition, what)                                                     \
    do {                                                                                \
        if (!(condition)) {                                                             \
            std::fprintf(stderr, "property broken at %s:%d: %s\n", __FILE__, __LINE__, what); \
            std::abort();                                                               \
        }                                                                               \
    } while (0)

namespace fuzz {

// The input cut at every byte in `separators`; the last piece may be empty.
inline std::vector<std::string> SplitInput(const uint8_t* data, size_t size, const std::string& separators)
{
    std::vector<std::string> pieces(1);
    for (size_t i = 0; i < size; ++i) {
        if (separators.find(char(data[i])) != std::string::npos)
            pieces.emplace_back();
        else
            pieces.back() += char(data[i]);
    }
    return pieces;
}

// Cut points drawn from one seed byte, so a chunking fault reproduces from
// the input alone: from every byte apart to a few large pieces.
inline std::vector<size_t> Cuts(uint8_t seed, size_t size)
{
    std::vector<size_t> cuts;
    uint32_t state = seed * 2654435761u + 1;
    const uint32_t spread = 1u + (seed & 7u) * (seed & 7u) * 8u;
    for (size_t at = 0; at < size;) {
        state = state * 1103515245u + 12345u;
        at += 1 + (state >> 16) % spread;
        if (at < size)
            cuts.push_back(at);
    }
    return cuts;
}

} // namespace fuzz
