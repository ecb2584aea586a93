// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QtGlobal>
#include <deque>
#include <functional>
#include <vector>

// A point handed to the drawing: time in milliseconds since the epoch, value.
struct PlotPoint {
    double T;
    double V;
};
// Points to be joined by a line; separate runs are never joined.
using PlotRun = std::vector<PlotPoint>;

// One series of readings in time order. Raw values sit in fixed chunks that
// also keep the minimum and maximum of every bucket of samples, so a view is
// reduced to at most two points per pixel column without visiting every
// sample. Chunks the owner drops leave their minimum and maximum behind.
class SampleSeries {
public:
    static constexpr int ChunkSize = 4096;
    static constexpr int BucketSize = 64;
    // Dropped chunks kept as summaries before neighbours are merged in pairs.
    static constexpr int MaxSummaries = 2048;

    // Times must not go back; an earlier time is taken as the last one.
    void Append(qint64 t, float v);
    // The next sample starts a new run: nothing is drawn across the break.
    void Break();

    bool Empty() const { return chunks_.empty() && summaries_.empty(); }
    qint64 RawCount() const { return rawCount_; }
    int ChunkCount() const { return int(chunks_.size()); }
    qint64 FirstTime() const;
    qint64 LastTime() const;
    // The time of the oldest raw sample (the first one still kept in full).
    qint64 FirstRawTime() const;
    // Turns the oldest raw chunk into its summary; false when none is left.
    bool DropOldestChunk();
    std::size_t Bytes() const;

    // The runs that draw [t0, t1) on `columns` pixel columns: per column the
    // minimum and maximum of the samples in it, in the order they came.
    std::vector<PlotRun> Decimate(qint64 t0, qint64 t1, int columns) const;
    // Every raw sample in [t0, t1), oldest first.
    void ForEachRaw(qint64 t0, qint64 t1, const std::function<void(qint64 t, float v)>& visit) const;
    // The raw sample nearest to t; false when there is none.
    bool Nearest(qint64 t, qint64* at, float* v) const;

private:
    struct Chunk {
        qint64 First = 0;   // index of the first sample in the whole series
        qint64 Base = 0;    // time the offsets count from
        std::vector<quint32> Offset;
        std::vector<float> Value;
        std::vector<float> BucketMin, BucketMax;
        float Min = 0, Max = 0;
        qint64 TimeAt(int i) const { return Base + Offset[i]; }
        int Count() const { return int(Value.size()); }
    };
    struct Summary {
        qint64 First = 0;
        qint64 Count = 0;
        qint64 TFirst = 0, TLast = 0;
        float Min = 0, Max = 0;
    };
    struct Extent {
        bool Any = false;
        float Min = 0, Max = 0;
        void Take(float lo, float hi);
    };

    qint64 IndexAtTime(qint64 t) const;   // first index with time >= t
    qint64 Total() const;
    qint64 RawStart() const { return chunks_.empty() ? Total() : chunks_.front().First; }
    Extent RangeExtent(qint64 i, qint64 j) const;
    void ChunkExtent(const Chunk& c, int a, int b, Extent& e) const;
    qint64 TimeOfIndex(qint64 i) const;
    bool BreakIn(qint64 after, qint64 upTo) const;   // a break at k, after < k <= upTo
    void MergeSummaries();

    std::deque<Summary> summaries_;
    std::deque<Chunk> chunks_;
    std::vector<qint64> breaks_;   // k: no line between samples k-1 and k
    qint64 rawCount_ = 0;
    qint64 droppedCount_ = 0;
    bool breakPending_ = false;
};

// The four measured series, in the order of the console's measured readouts.
constexpr int PlotSeriesCount = 4;

// The readings of one plot: four measured series and the set values drawn as
// reference lines, held within a memory budget by giving up the oldest raw
// samples first (their summaries stay, so the whole run still shows).
class SampleStore {
public:
    static constexpr std::size_t DefaultBudget = std::size_t(64) << 20;
    static constexpr int MaxReferenceSteps = 4096;

    explicit SampleStore(std::size_t budgetBytes = DefaultBudget);

    void Append(int series, qint64 t, float v);
    // A set value that holds from t until the next one.
    void SetReference(int series, qint64 t, float v);
    // Nothing is drawn across this moment in any series.
    void BreakAll();

    const SampleSeries& Series(int series) const { return series_[series]; }
    bool Empty() const;
    qint64 FirstTime() const;
    qint64 LastTime() const;
    std::size_t Bytes() const;

    // One horizontal run per set value that shows in [t0, t1); the latest
    // one reaches up to `until`.
    std::vector<PlotRun> ReferenceRuns(int series, qint64 t0, qint64 t1, qint64 until) const;
    bool HasReferences(int series) const { return !references_[series].empty(); }

private:
    struct Step {
        qint64 T;
        float V;
    };
    void KeepWithinBudget();

    SampleSeries series_[PlotSeriesCount];
    std::deque<Step> references_[PlotSeriesCount];
    int maxChunks_;
};
