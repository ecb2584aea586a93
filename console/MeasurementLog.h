// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

#include "core/LogRecordFormat.h"
#include "core/Outcome.h"

// The day's log file name, "yymmdd_MS.txt".
QString LogFileName(const QDate& d);

// Echo lines, each ended by CR LF, in the record's own format. Readouts are
// written with exactly the characters of their captions, a trailing CR included.
// One output's line of the dual echo; output is 1 or 2.
QString BuildDualEchoLine(int output, const QString& voltage, const QString& current,
                          const QString& timestamp);
QString BuildDualEcho(const QString& p1Voltage, const QString& p1Current,
                      const QString& p2Voltage, const QString& p2Current, const QString& timestamp);

// What one log tick writes: the echo lines for the message panel and the
// file's record, each stamped when it is composed. Readouts are given as
// P1 voltage, P1 current, P2 voltage, P2 current.
struct LogTick {
    QStringList Echo;
    QString Record;
    QDateTime RecordTime;
};
LogTick ComposeLogTick(bool singleLayout, const QString (&readouts)[4], const std::function<QDateTime()>& clock);

// Where installed programs live: Linux's system prefixes and, on Windows,
// the Program Files folders the environment names.
QStringList SystemProgramFolders();
// Where the logs go: the program's folder when a file can really be created
// there and it is not an installed program's, otherwise the per-user data
// folder, created when missing.
QString ChooseLogFolder(const QString& programDir, const QString& userDataDir,
                        const QStringList& systemFolders = SystemProgramFolders());

// Appends records to the day's log file, opening and closing it each time so
// nothing is held open between ticks, and reports a failing file once per run
// of failures rather than once per tick.
class MeasurementLogFile {
public:
    explicit MeasurementLogFile(const QString& folder) : folder_(folder) {}

    QString Folder() const { return folder_; }
    QString FilePath(const QDate& day) const;

    // Appends recordLine as 8-bit bytes (one byte per character, as the
    // readouts hold the reply bytes). A failure is news at the start or
    // after a success; while the file keeps failing it is AlreadyTold.
    Outcome Append(const QDate& day, const QString& recordLine);

private:
    QString folder_;
    bool failing_ = false;
};
