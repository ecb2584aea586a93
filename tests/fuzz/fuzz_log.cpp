// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The measurement log reader on any file: a record it accepts has a real
// date and time and finite readings and writes back as the very line it
// came from, and the trend plot's loader counts those and the rest.
#include <cmath>

#include "FuzzCheck.h"
#include "core/LogRecordFormat.h"
#include "plot/LogReader.h"

namespace {

QString Text(QByteArrayView field)
{
    return QString::fromLatin1(field.data(), field.size());
}

struct Tally {
    qint64 Records = 0, Skipped = 0;
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
    for (int s = 0; s < PlotSeriesCount; ++s)
        FUZZ_CHECK(!record->Values[s] || (s < (record->Dual ? 4 : 2) && std::isfinite(*record->Values[s])),
                   "a reading beyond the record's outputs or no number");
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
    const QByteArray file(reinterpret_cast<const char*>(data), qsizetype(size));
    Tally expected;
    for (qsizetype from = 0; from < file.size();) {
        const qsizetype lf = file.indexOf('\n', from);
        const qsizetype end = lf < 0 ? file.size() : lf;
        CheckLine(QByteArrayView(file).sliced(from, end - from), expected);
        from = end + 1;
    }

    SampleStore store;
    LogLoader loader(store);
    FUZZ_CHECK(loader.Start(fuzz::WriteScratchFile(file)).Ok(), "cannot open the scratch file");
    while (loader.Step()) {
    }
    FUZZ_CHECK(loader.Result().Ok() && loader.Position() == file.size(), "the file was not read to its end");
    FUZZ_CHECK(loader.Records() == expected.Records && loader.Skipped() == expected.Skipped,
               "the loader counts other records than the lines hold");
    return 0;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // A zone with summer time, so that the hour that comes twice is read too.
    qputenv("TZ", "Europe/Berlin");
    fuzz::StartApplication();
    return 0;
}
