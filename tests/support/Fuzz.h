// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Random rounds for the fuzz tests. Every round draws from its own fixed seed,
// so a failure names the round that reproduces it. TARVIO_FUZZ_SECONDS sets
// how long each case keeps drawing new rounds (2 s when unset); for a long
// run, start the binary itself, as ctest stops a unit test after a minute.
#include <QByteArray>
#include <QElapsedTimer>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <random>

namespace fuzz {

using Rng = std::mt19937;

inline int Pick(Rng& rng, int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(rng);
}

inline bool Chance(Rng& rng, double p)
{
    return std::bernoulli_distribution(p)(rng);
}

template <typename T, std::size_t N>
const T& PickFrom(Rng& rng, const T (&items)[N])
{
    return items[Pick(rng, 0, int(N) - 1)];
}

// Any byte but the line feed, so stray carriage returns and Latin-1 too.
inline QByteArray RandomBytes(Rng& rng, int length)
{
    QByteArray bytes(length, '\0');
    for (char& b : bytes)
        b = char(Chance(rng, 0.1) ? '\r' : Pick(rng, 0x20, 0xFF));
    return bytes;
}

// Equal, or as near as two ways of converting the same text can be; tiny
// values may underflow to zero on one side only.
inline bool Close(double a, double b)
{
    return a == b || (std::fabs(a) < 1e-300 && std::fabs(b) < 1e-300)
        || std::fabs(a - b) <= 1e-12 * std::max(std::fabs(a), std::fabs(b));
}

// Hands out round numbers until the time budget is spent, but always a few,
// so that a slow sanitizer build still tests something.
class Rounds {
public:
    explicit Rounds(quint32 firstSeed) : seed_(firstSeed)
    {
        bool ok = false;
        const double seconds = qEnvironmentVariable("TARVIO_FUZZ_SECONDS").toDouble(&ok);
        budgetMs_ = qint64((ok && seconds > 0 ? seconds : 2.0) * 1000);
        clock_.start();
    }
    bool Next() { return !QTest::currentTestFailed() && (++done_ <= MinimumRounds || clock_.elapsed() < budgetMs_); }
    // A fresh generator per round: round k plays the same whatever came before.
    Rng Generator() const { return Rng(seed_ + quint32(done_)); }
    QString Where() const { return QStringLiteral("round %1 (seed %2)").arg(done_).arg(seed_ + quint32(done_)); }

private:
    static constexpr int MinimumRounds = 20;
    quint32 seed_;
    int done_ = 0;
    qint64 budgetMs_ = 0;
    QElapsedTimer clock_;
};

} // namespace fuzz
