// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/SampleStore.h"

#include <algorithm>
#include <cmath>
#include <limits>

void SampleSeries::Extent::Take(float lo, float hi)
{
    if (!Any) {
        Any = true;
        Min = lo;
        Max = hi;
        return;
    }
    Min = std::min(Min, lo);
    Max = std::max(Max, hi);
}

qint64 SampleSeries::Total() const
{
    return droppedCount_ + rawCount_;
}

void SampleSeries::Append(qint64 t, float v)
{
    if (!Empty())
        t = std::max(t, LastTime());
    if (breakPending_ && !Empty())
        breaks_.push_back(Total());
    breakPending_ = false;
    if (chunks_.empty() || chunks_.back().Count() == ChunkSize
        || t - chunks_.back().Base > qint64(std::numeric_limits<quint32>::max())) {
        Chunk c;
        c.First = Total();
        c.Base = t;
        c.Offset.reserve(ChunkSize);
        c.Value.reserve(ChunkSize);
        c.BucketMin.reserve(ChunkSize / BucketSize);
        c.BucketMax.reserve(ChunkSize / BucketSize);
        c.Min = c.Max = v;
        chunks_.push_back(std::move(c));
    }
    Chunk& c = chunks_.back();
    if (c.Count() % BucketSize == 0) {
        c.BucketMin.push_back(v);
        c.BucketMax.push_back(v);
    } else {
        c.BucketMin.back() = std::min(c.BucketMin.back(), v);
        c.BucketMax.back() = std::max(c.BucketMax.back(), v);
    }
    c.Min = std::min(c.Min, v);
    c.Max = std::max(c.Max, v);
    c.Offset.push_back(quint32(t - c.Base));
    c.Value.push_back(v);
    ++rawCount_;
}

void SampleSeries::Break()
{
    breakPending_ = true;
}

qint64 SampleSeries::FirstTime() const
{
    if (!summaries_.empty())
        return summaries_.front().TFirst;
    return chunks_.empty() ? 0 : chunks_.front().TimeAt(0);
}

qint64 SampleSeries::LastTime() const
{
    if (!chunks_.empty())
        return chunks_.back().TimeAt(chunks_.back().Count() - 1);
    return summaries_.empty() ? 0 : summaries_.back().TLast;
}

qint64 SampleSeries::FirstRawTime() const
{
    return chunks_.empty() ? std::numeric_limits<qint64>::max() : chunks_.front().TimeAt(0);
}

bool SampleSeries::DropOldestChunk()
{
    if (chunks_.empty())
        return false;
    const Chunk& c = chunks_.front();
    summaries_.push_back({c.First, c.Count(), c.TimeAt(0), c.TimeAt(c.Count() - 1), c.Min, c.Max});
    rawCount_ -= c.Count();
    droppedCount_ += c.Count();
    chunks_.pop_front();
    if (int(summaries_.size()) > MaxSummaries)
        MergeSummaries();
    // Breaks inside what is now only a summary can no longer be drawn.
    const qint64 keepFrom = summaries_.front().First;
    breaks_.erase(breaks_.begin(), std::lower_bound(breaks_.begin(), breaks_.end(), keepFrom));
    return true;
}

void SampleSeries::MergeSummaries()
{
    std::deque<Summary> merged;
    for (std::size_t i = 0; i < summaries_.size(); i += 2) {
        Summary s = summaries_[i];
        if (i + 1 < summaries_.size()) {
            const Summary& n = summaries_[i + 1];
            s.Count += n.Count;
            s.TLast = n.TLast;
            s.Min = std::min(s.Min, n.Min);
            s.Max = std::max(s.Max, n.Max);
        }
        merged.push_back(s);
    }
    summaries_.swap(merged);
}

std::size_t SampleSeries::Bytes() const
{
    std::size_t bytes = sizeof(*this) + summaries_.size() * sizeof(Summary) + breaks_.capacity() * sizeof(qint64);
    for (const Chunk& c : chunks_)
        bytes += sizeof(Chunk) + c.Offset.capacity() * sizeof(quint32) + c.Value.capacity() * sizeof(float)
            + (c.BucketMin.capacity() + c.BucketMax.capacity()) * sizeof(float);
    return bytes;
}

qint64 SampleSeries::IndexAtTime(qint64 t) const
{
    if (!chunks_.empty() && t > chunks_.front().TimeAt(0)) {
        // The last chunk that starts before t holds the answer or ends just before it.
        auto it = std::partition_point(chunks_.begin(), chunks_.end(),
                                       [t](const Chunk& c) { return c.TimeAt(0) < t; });
        const Chunk& c = *(it - 1);
        const qint64 rel = t - c.Base;
        const int i = int(std::lower_bound(c.Offset.begin(), c.Offset.end(), rel,
                                           [](quint32 o, qint64 r) { return qint64(o) < r; })
                          - c.Offset.begin());
        return c.First + i;
    }
    // A summary belongs to the column its first sample falls in.
    auto it = std::partition_point(summaries_.begin(), summaries_.end(),
                                   [t](const Summary& s) { return s.TFirst < t; });
    return it == summaries_.end() ? RawStart() : it->First;
}

qint64 SampleSeries::TimeOfIndex(qint64 i) const
{
    auto it = std::partition_point(chunks_.begin(), chunks_.end(), [i](const Chunk& c) { return c.First <= i; });
    const Chunk& c = *(it - 1);
    return c.TimeAt(int(i - c.First));
}

void SampleSeries::ChunkExtent(const Chunk& c, int a, int b, Extent& e) const
{
    if (a == 0 && b == c.Count()) {
        e.Take(c.Min, c.Max);
        return;
    }
    int k = a;
    while (k < b) {
        if (k % BucketSize == 0 && k + BucketSize <= b) {
            e.Take(c.BucketMin[k / BucketSize], c.BucketMax[k / BucketSize]);
            k += BucketSize;
        } else {
            e.Take(c.Value[k], c.Value[k]);
            ++k;
        }
    }
}

SampleSeries::Extent SampleSeries::RangeExtent(qint64 i, qint64 j) const
{
    Extent e;
    const qint64 rawStart = RawStart();
    if (i < rawStart) {
        auto it = std::partition_point(summaries_.begin(), summaries_.end(),
                                       [i](const Summary& s) { return s.First + s.Count <= i; });
        for (; it != summaries_.end() && it->First < std::min(j, rawStart); ++it)
            e.Take(it->Min, it->Max);
    }
    qint64 a = std::max(i, rawStart);
    if (a >= j)
        return e;
    auto it = std::partition_point(chunks_.begin(), chunks_.end(), [a](const Chunk& c) { return c.First <= a; }) - 1;
    for (; it != chunks_.end() && it->First < j; ++it) {
        const int from = int(std::max<qint64>(a, it->First) - it->First);
        const int to = int(std::min<qint64>(j, it->First + it->Count()) - it->First);
        ChunkExtent(*it, from, to, e);
    }
    return e;
}

bool SampleSeries::BreakIn(qint64 after, qint64 upTo) const
{
    auto it = std::upper_bound(breaks_.begin(), breaks_.end(), after);
    return it != breaks_.end() && *it <= upTo;
}

std::vector<PlotRun> SampleSeries::Decimate(qint64 t0, qint64 t1, int columns) const
{
    std::vector<PlotRun> runs;
    if (Empty() || columns <= 0 || t1 <= t0)
        return runs;
    const qint64 total = Total();
    const qint64 rawStart = RawStart();
    const double width = double(t1 - t0) / columns;
    qint64 lastIndex = -1;   // the last sample drawn
    double lastValue = 0;
    runs.emplace_back();

    auto startRun = [&runs] {
        if (!runs.back().empty())
            runs.emplace_back();
    };
    // The lines from the edges of the view to the samples just beyond them.
    auto edgePoint = [&](qint64 index) {
        const Chunk& c = *(std::partition_point(chunks_.begin(), chunks_.end(),
                                                [index](const Chunk& k) { return k.First <= index; })
                           - 1);
        const int k = int(index - c.First);
        runs.back().push_back({double(c.TimeAt(k)), double(c.Value[k])});
        lastValue = c.Value[k];
        lastIndex = index;
    };
    // One stretch of samples without a break: both extremes at the column's
    // middle, the nearer to the previous point first; one or two raw samples
    // at their own times.
    auto emitPiece = [&](qint64 a, qint64 b, double x) {
        if (lastIndex >= 0 && BreakIn(lastIndex, a))
            startRun();
        if (a >= rawStart && b - a <= 2) {
            for (qint64 k = a; k < b; ++k)
                edgePoint(k);
            return;
        }
        const Extent e = RangeExtent(a, b);
        PlotRun& run = runs.back();
        const bool minFirst = run.empty() ? true : std::abs(lastValue - e.Min) <= std::abs(lastValue - e.Max);
        const float first = minFirst ? e.Min : e.Max;
        const float second = minFirst ? e.Max : e.Min;
        run.push_back({x, double(first)});
        if (second != first)
            run.push_back({x, double(second)});
        lastValue = second;
        lastIndex = b - 1;
    };

    qint64 i = IndexAtTime(t0);
    if (i > rawStart && i <= total && !BreakIn(i - 1, i))
        edgePoint(i - 1);
    for (int p = 0; p < columns; ++p) {
        const qint64 end = p == columns - 1 ? t1 : t0 + qint64(std::floor((p + 1) * width));
        const qint64 j = IndexAtTime(end);
        if (j > i) {
            const double x = t0 + (p + 0.5) * width;
            auto first = std::upper_bound(breaks_.begin(), breaks_.end(), i);
            if (first == breaks_.end() || *first >= j) {
                emitPiece(i, j, x);
            } else {
                // Breaks inside one column: the stretch before the first and after the last.
                auto last = std::lower_bound(breaks_.begin(), breaks_.end(), j) - 1;
                emitPiece(i, *first, x);
                emitPiece(*last, j, x);
            }
        }
        i = j;
    }
    if (i >= rawStart && i < total && !BreakIn(i - 1, i))
        edgePoint(i);
    if (runs.back().empty())
        runs.pop_back();
    return runs;
}

void SampleSeries::ForEachRaw(qint64 t0, qint64 t1, const std::function<void(qint64, float)>& visit) const
{
    if (chunks_.empty())
        return;
    const qint64 from = std::max(IndexAtTime(t0), RawStart());
    auto it = std::partition_point(chunks_.begin(), chunks_.end(), [from](const Chunk& c) { return c.First <= from; }) - 1;
    for (int k = int(from - it->First); it != chunks_.end(); ++it, k = 0)
        for (; k < it->Count(); ++k) {
            const qint64 t = it->TimeAt(k);
            if (t >= t1)
                return;
            visit(t, it->Value[k]);
        }
}

bool SampleSeries::Nearest(qint64 t, qint64* at, float* v) const
{
    if (chunks_.empty())
        return false;
    const qint64 i = std::max(IndexAtTime(t), RawStart());
    qint64 best = std::min(i, Total() - 1);
    if (best > RawStart() && std::abs(TimeOfIndex(best - 1) - t) <= std::abs(TimeOfIndex(best) - t))
        --best;
    auto it = std::partition_point(chunks_.begin(), chunks_.end(), [best](const Chunk& c) { return c.First <= best; }) - 1;
    *at = it->TimeAt(int(best - it->First));
    *v = it->Value[best - it->First];
    return true;
}

namespace {
constexpr std::size_t ChunkBytes = SampleSeries::ChunkSize * (sizeof(quint32) + sizeof(float))
    + 2 * (SampleSeries::ChunkSize / SampleSeries::BucketSize) * sizeof(float) + 128;
// Summaries and reference lines at their caps, and the series themselves.
constexpr std::size_t FixedBytes = PlotSeriesCount * (2 * (SampleSeries::MaxSummaries + 1) * 48
                                                      + SampleStore::MaxReferenceSteps * 16 + 4096);
}

SampleStore::SampleStore(std::size_t budgetBytes)
    : maxChunks_(int(std::max<std::size_t>(budgetBytes > FixedBytes ? budgetBytes - FixedBytes : 0,
                                           PlotSeriesCount * ChunkBytes)
                     / ChunkBytes))
{
}

void SampleStore::Append(int series, qint64 t, float v)
{
    const int before = series_[series].ChunkCount();
    series_[series].Append(t, v);
    if (series_[series].ChunkCount() != before)
        KeepWithinBudget();
}

void SampleStore::KeepWithinBudget()
{
    int chunks = 0;
    for (const SampleSeries& s : series_)
        chunks += s.ChunkCount();
    while (chunks > maxChunks_) {
        // The oldest raw samples of all series go first; a series keeps the
        // chunk it is filling.
        SampleSeries* oldest = nullptr;
        for (SampleSeries& s : series_)
            if (s.ChunkCount() > 1 && (!oldest || s.FirstRawTime() < oldest->FirstRawTime()))
                oldest = &s;
        if (!oldest)
            return;
        oldest->DropOldestChunk();
        --chunks;
    }
}

void SampleStore::SetReference(int series, qint64 t, float v)
{
    std::deque<Step>& steps = references_[series];
    if (!steps.empty())
        t = std::max(t, steps.back().T);
    steps.push_back({t, v});
    if (int(steps.size()) > MaxReferenceSteps)
        steps.pop_front();
}

void SampleStore::BreakAll()
{
    for (SampleSeries& s : series_)
        s.Break();
}

bool SampleStore::Empty() const
{
    for (int s = 0; s < PlotSeriesCount; ++s)
        if (!series_[s].Empty() || !references_[s].empty())
            return false;
    return true;
}

qint64 SampleStore::FirstTime() const
{
    qint64 first = std::numeric_limits<qint64>::max();
    for (int s = 0; s < PlotSeriesCount; ++s) {
        if (!series_[s].Empty())
            first = std::min(first, series_[s].FirstTime());
        if (!references_[s].empty())
            first = std::min(first, references_[s].front().T);
    }
    return first == std::numeric_limits<qint64>::max() ? 0 : first;
}

qint64 SampleStore::LastTime() const
{
    qint64 last = std::numeric_limits<qint64>::min();
    for (int s = 0; s < PlotSeriesCount; ++s) {
        if (!series_[s].Empty())
            last = std::max(last, series_[s].LastTime());
        if (!references_[s].empty())
            last = std::max(last, references_[s].back().T);
    }
    return last == std::numeric_limits<qint64>::min() ? 0 : last;
}

std::size_t SampleStore::Bytes() const
{
    std::size_t bytes = sizeof(*this);
    for (int s = 0; s < PlotSeriesCount; ++s)
        bytes += series_[s].Bytes() + references_[s].size() * sizeof(Step);
    return bytes;
}

std::vector<PlotRun> SampleStore::ReferenceRuns(int series, qint64 t0, qint64 t1, qint64 until) const
{
    std::vector<PlotRun> runs;
    const std::deque<Step>& steps = references_[series];
    for (std::size_t k = 0; k < steps.size(); ++k) {
        const qint64 end = k + 1 < steps.size() ? steps[k + 1].T : std::max(until, steps[k].T);
        const qint64 from = std::max(steps[k].T, t0);
        const qint64 to = std::min(end, t1);
        if (from > to || (from == to && k + 1 < steps.size()))
            continue;
        runs.push_back({{double(from), double(steps[k].V)}, {double(to), double(steps[k].V)}});
    }
    return runs;
}
