// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The measurement log reader on any file: a record it accepts has a real
// date and time and finite readings and writes back as the very line it
// came from, and the trend plot's loader places every such record, in
// order, and counts the rest.
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>

#include "FuzzCheck.h"
#include "core/LogRecordFormat.h"
#include "plot/LogReader.h"

namespace {

QString ScratchFile()
{
    static QTemporaryDir dir;
    return dir.filePath(QStringLiteral("fuzz.log"));
}

QString Text(QByteArrayView field)
{
    return QString::fromLatin1(field.data(), field.size());
}

struct Tally {
    qint64 Records = 0, Skipped = 0, Unreadable = 0;
};

void CheckLine(QByteArrayView line, Tally& tally)
{
    if (line.size() > LogLoader::MaxLineLength) {
        ++tally.Skipped;
        return;
    }
    const std::optional<LogRecord> record = ReadLogRecord(line);
    if (!record) {
        tally.Skipped += !line.trimmed().isEmpty();
        return;
    }
    ++tally.Records;
    FUZZ_CHECK(record->Date.isValid() && record->Date.year() >= 2000 && record->Date.year() <= 2099
                   && record->Time.isValid() && record->Time.msec() == 0,
               "a record stamped out of range");
    for (int s = 0; s < PlotSeriesCount; ++s) {
        FUZZ_CHECK(s < (record->Dual ? 4 : 2) || !record->Values[s], "a reading beyond the record's outputs");
        FUZZ_CHECK(!record->Values[s] || std::isfinite(*record->Values[s]), "a reading that is no number");
        tally.Unreadable += s < (record->Dual ? 4 : 2) && !record->Values[s];
    }
    const LogRecordFields f = *SplitLogRecord(line);
    const QString stamp = LogTimestamp(QDateTime(f.Date, f.Time));
    const QString rebuilt = f.Dual ? BuildDualRecord(Text(f.Readouts[0]), Text(f.Readouts[1]), Text(f.Readouts[2]),
                                                     Text(f.Readouts[3]), stamp)
                                   : BuildSingleRecord(Text(f.Readouts[0]), Text(f.Readouts[1]), stamp);
    FUZZ_CHECK(rebuilt.toLatin1() == (line.endsWith('\r') ? line.chopped(1) : line).toByteArray() + "\r\n",
               "a record does not write back as its line");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray file(reinterpret_cast<const char*>(data), qsizetype(size));
    // A leading DEL, which no log holds, repeats the first line past the line bound.
    if (file.startsWith('\x7f')) {
        const qsizetype lf = file.indexOf('\n');
        const QByteArray unit = file.mid(1, lf < 0 ? -1 : lf - 1), rest = lf < 0 ? QByteArray() : file.mid(lf);
        file = unit;
        while (!unit.isEmpty() && file.size() <= LogLoader::MaxLineLength + 2)
            file += unit;
        file += rest;
    }
    Tally expected;
    for (qsizetype from = 0; from < file.size();) {
        const qsizetype lf = file.indexOf('\n', from);
        const qsizetype end = lf < 0 ? file.size() : lf;
        CheckLine(QByteArrayView(file).sliced(from, end - from), expected);
        from = end + 1;
    }

    {
        QFile out(ScratchFile());
        FUZZ_CHECK(out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(file) == file.size(),
                   "cannot write the scratch file");
    }
    SampleStore store;
    LogLoader loader(store);
    FUZZ_CHECK(loader.Start(ScratchFile()).Ok(), "cannot open the scratch file");
    while (loader.Step()) {
    }
    FUZZ_CHECK(loader.Result().Ok() && loader.Position() == file.size(), "the file was not read to its end");
    FUZZ_CHECK(loader.Records() == expected.Records && loader.Skipped() == expected.Skipped
                   && loader.Unreadable() == expected.Unreadable,
               "the loader counts other records than the lines hold");
    for (int s = 0; s < PlotSeriesCount; ++s) {
        qint64 last = std::numeric_limits<qint64>::min();
        store.Series(s).ForEachRaw(std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max(),
                                   [&](qint64 t, float v) {
                                       FUZZ_CHECK(t >= last && std::isfinite(v), "a sample out of order or no number");
                                       last = t;
                                   });
    }
    FUZZ_CHECK(std::is_sorted(loader.FoldTimes().begin(), loader.FoldTimes().end()), "folds out of order");
    return 0;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // A zone with summer time, so that the hour that comes twice is read too.
    qputenv("TZ", "Europe/Berlin");
    static int argc = 1;
    static char name[] = "fuzz_log";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return 0;
}
