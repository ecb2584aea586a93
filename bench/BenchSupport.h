// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every benchmark shares: order statistics, the resident memory the
// kernel reports, and one way of printing figures for people and for scripts.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/types.h>

namespace bench {

// Nearest-rank percentile, p in [0, 100]; NaN for no samples.
inline double Percentile(std::vector<double> samples, double p)
{
    if (samples.empty())
        return std::nan("");
    std::sort(samples.begin(), samples.end());
    const double rank = std::ceil(p / 100.0 * double(samples.size()));
    const size_t index = size_t(std::clamp(rank, 1.0, double(samples.size()))) - 1;
    return samples[index];
}

inline double Median(const std::vector<double>& samples)
{
    return Percentile(samples, 50);
}

inline double Mean(const std::vector<double>& samples)
{
    if (samples.empty())
        return std::nan("");
    double sum = 0;
    for (double s : samples)
        sum += s;
    return sum / double(samples.size());
}

// Seconds on the clock the simulator stamps its record with.
inline double MonotonicSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// User plus system CPU seconds of this process alone, its children excluded.
inline double OwnCpuSeconds()
{
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return double(use.ru_utime.tv_sec + use.ru_stime.tv_sec)
        + double(use.ru_utime.tv_usec + use.ru_stime.tv_usec) * 1e-6;
}

// VmRSS in kilobytes of a process (this one by default); -1 when unreadable.
inline long ResidentKb(pid_t pid = 0)
{
    const std::string path = pid > 0 ? "/proc/" + std::to_string(pid) + "/status" : "/proc/self/status";
    std::ifstream status(path);
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

// Collects a benchmark's figures and prints them twice: as a table to read
// and as one "BENCH {...}" line for scripts/bench to gather.
class Report {
public:
    explicit Report(QString name) : name_(std::move(name)) { json_.insert(QStringLiteral("name"), name_); }

    void Note(const QString& key, const QJsonValue& value) { json_.insert(key, value); }

    void Figure(const QString& key, const QString& label, double value, const QString& unit, int decimals = 2)
    {
        json_.insert(key, Rounded(value, decimals));
        rows_.push_back({label, Text(value, decimals), unit, QString(), QString()});
    }

    // A figure with a ceiling (or, when atLeast, a floor) it is meant to keep.
    bool Target(const QString& key, const QString& label, double value, const QString& unit, double limit,
                int decimals = 2, bool atLeast = false)
    {
        const bool met = std::isfinite(value) && (atLeast ? value >= limit : value <= limit);
        json_.insert(key, Rounded(value, decimals));
        QJsonObject target;
        target.insert(QStringLiteral("limit"), limit);
        target.insert(QStringLiteral("atLeast"), atLeast);
        target.insert(QStringLiteral("met"), met);
        targets_.insert(key, target);
        allMet_ = allMet_ && met;
        rows_.push_back({label, Text(value, decimals), unit,
                         (atLeast ? QStringLiteral(">= ") : QStringLiteral("<= ")) + Text(limit, decimals),
                         met ? QStringLiteral("met") : QStringLiteral("MISSED")});
        return met;
    }

    bool AllMet() const { return allMet_; }

    void Print(const QString& title) const
    {
        std::printf("\n%s\n", qPrintable(title));
        int w = 6;
        for (const Row& r : rows_)
            w = std::max(w, int(r.Label.size()));
        std::printf("  %-*s %14s %-8s %12s  %s\n", w, "figure", "value", "unit", "target", "");
        for (const Row& r : rows_)
            std::printf("  %-*s %14s %-8s %12s  %s\n", w, qPrintable(r.Label), qPrintable(r.Value),
                        qPrintable(r.Unit), qPrintable(r.Limit), qPrintable(r.Verdict));
        QJsonObject all = json_;
        all.insert(QStringLiteral("targets"), targets_);
        all.insert(QStringLiteral("allTargetsMet"), allMet_);
        std::printf("BENCH %s\n", QJsonDocument(all).toJson(QJsonDocument::Compact).constData());
        std::fflush(stdout);
    }

private:
    struct Row {
        QString Label, Value, Unit, Limit, Verdict;
    };
    // A figure that could not be measured is null, never a number that looks real.
    static QJsonValue Rounded(double v, int decimals)
    {
        const double scale = std::pow(10.0, decimals);
        return std::isfinite(v) ? QJsonValue(std::round(v * scale) / scale) : QJsonValue();
    }
    static QString Text(double v, int decimals)
    {
        return std::isfinite(v) ? QString::number(v, 'f', decimals) : QStringLiteral("n/a");
    }

    QString name_;
    QJsonObject json_, targets_;
    std::vector<Row> rows_;
    bool allMet_ = true;
};

// One line of the simulated supply's record: its monotonic seconds, its kind
// (LF or CR for a command, OUT, VANISH, RETURN...) and its text.
struct RecordLine {
    double Seconds = 0;
    QString Kind, Text;
};

inline std::vector<RecordLine> ReadSimRecord(const QString& path)
{
    std::vector<RecordLine> lines;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() >= 3)
            lines.push_back({fields.at(0).toDouble(), QString::fromLatin1(fields.at(1)), QString::fromLatin1(fields.at(2))});
    }
    return lines;
}

} // namespace bench
