// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the fuzz targets share: a broken property stops the run with its
// reason, so libFuzzer keeps the input that broke it.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#define FUZZ_CHECK(condition, what) ((condition) ? void() : fuzz::Broken(__FILE__, __LINE__, what))

namespace fuzz {

[[noreturn]] inline void Broken(const char* file, int line, const char* what)
{
    std::fprintf(stderr, "property broken at %s:%d: %s\n", file, line, what);
    std::abort();
}

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

} // namespace fuzz

#ifdef QT_CORE_LIB
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

namespace fuzz {

// Hands `bytes` to `take` in pieces cut at points drawn from one seed byte, so
// a chunking fault reproduces from the input alone: from every byte apart to a
// few large pieces.
template <typename Bytes, typename Take>
void InPieces(uint8_t seed, const Bytes& bytes, Take take)
{
    uint32_t state = seed * 2654435761u + 1;
    const uint32_t spread = 1u + (seed & 7u) * (seed & 7u) * 8u;
    for (qsizetype at = 0; at < bytes.size();) {
        state = state * 1103515245u + 12345u;
        const qsizetype length = std::min<qsizetype>(1 + (state >> 16) % spread, bytes.size() - at);
        take(bytes.sliced(at, length));
        at += length;
    }
}

// The readers that take a path read the input from here.
inline QString WriteScratchFile(const QByteArray& bytes)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fuzz.input"));
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size(), "cannot write the scratch file");
    return path;
}

// For the code that needs an application object, as the console has one.
inline void StartApplication()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

} // namespace fuzz
#endif
