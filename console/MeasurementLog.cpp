// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/MeasurementLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryFile>

namespace {

QString TwoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString DateDigits(const QDate& d)
{
    return TwoDigits(d.year() % 100) + TwoDigits(d.month()) + TwoDigits(d.day());
}

} // namespace

QString LogFileName(const QDate& d)
{
    return DateDigits(d) + QStringLiteral("_MS.txt");
}

QString BuildDualEchoLine(int output, const QString& voltage, const QString& current,
                          const QString& timestamp)
{
    return QStringLiteral("P%1: ").arg(output) + BuildSingleRecord(voltage, current, timestamp);
}

QString BuildDualEcho(const QString& p1Voltage, const QString& p1Current,
                      const QString& p2Voltage, const QString& p2Current, const QString& timestamp)
{
    return BuildDualEchoLine(1, p1Voltage, p1Current, timestamp)
        + BuildDualEchoLine(2, p2Voltage, p2Current, timestamp);
}

LogTick ComposeLogTick(bool singleLayout, const QString (&readouts)[4], const std::function<QDateTime()>& clock)
{
    LogTick tick;
    // The panel breaks a line at a CR, so its echo shows the readouts
    // without the supply's; the record keeps them as received.
    QString shown[4];
    for (int i = 0; i < 4; ++i)
        shown[i] = QString(readouts[i]).remove(QLatin1Char('\r'));
    if (singleLayout) {
        tick.Echo << BuildSingleRecord(shown[0], shown[1], LogTimestamp(clock()));
    } else {
        tick.Echo << BuildDualEchoLine(1, shown[0], shown[1], LogTimestamp(clock()));
        tick.Echo << BuildDualEchoLine(2, shown[2], shown[3], LogTimestamp(clock()));
    }
    // The record reads the clock again: it is stamped when it is written, not
    // when the echo was, and a tick may straddle a second or midnight.
    tick.RecordTime = clock();
    const QString ts = LogTimestamp(tick.RecordTime);
    tick.Record = singleLayout ? BuildSingleRecord(readouts[0], readouts[1], ts)
                               : BuildDualRecord(readouts[0], readouts[1], readouts[2], readouts[3], ts);
    return tick;
}

QStringList SystemProgramFolders()
{
    QStringList folders;
    for (const char* system : {"/usr", "/bin", "/sbin", "/opt", "/snap", "/app"})
        folders << QLatin1String(system);
    // Set on Windows only; elsewhere nobody names these.
    for (const char* variable : {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432"}) {
        const QString folder = qEnvironmentVariable(variable);
        if (!folder.isEmpty())
            folders << folder;
    }
    return folders;
}

QString ChooseLogFolder(const QString& programDir, const QString& userDataDir, const QStringList& systemFolders)
{
    // An installed program never logs beside itself, even when it could
    // (run as root or as an administrator, /usr/bin or Program Files would
    // take the file): its logs belong to the user. A Windows folder (one on
    // a drive) is named with either separator and in any case.
    const auto slashed = [](QString path) { return QDir::cleanPath(path.replace(QLatin1Char('\\'), QLatin1Char('/'))); };
    for (const QString& system : systemFolders) {
        const bool windows = system.contains(QLatin1Char(':'));
        const QString root = windows ? slashed(system) : QDir::cleanPath(system);
        const QString clean = windows ? slashed(programDir) : QDir::cleanPath(programDir);
        const Qt::CaseSensitivity cs = windows ? Qt::CaseInsensitive : Qt::CaseSensitive;
        if (clean.compare(root, cs) == 0 || clean.startsWith(root + QLatin1Char('/'), cs)) {
            QDir().mkpath(userDataDir);
            return userDataDir;
        }
    }
    // Permission bits say nothing for root or on a read-only mount: only a
    // file actually created tells whether the folder takes our logs.
    QTemporaryFile probe(QDir(programDir).filePath(QStringLiteral(".tarvio-probe-XXXXXX")));
    if (probe.open())
        return programDir; // the probe removes itself

    QDir().mkpath(userDataDir);
    return userDataDir;
}

QString MeasurementLogFile::FilePath(const QDate& day) const
{
    return QDir(folder_).filePath(LogFileName(day));
}

Outcome MeasurementLogFile::Append(const QDate& day, const QString& recordLine)
{
    const QString path = FilePath(day);
    QFile file(path);
    const QByteArray bytes = recordLine.toLatin1();
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Append);
    // A full disk often shows only when the buffered bytes are flushed.
    ok = ok && file.write(bytes) == bytes.size() && file.flush();
    const QString reason = file.errorString();
    file.close();
    if (ok) {
        failing_ = false;
        return Outcome();
    }
    const Outcome failed = Outcome::Failed(QCoreApplication::translate("MeasurementLog", "측정 기록을 저장할 수 없습니다: %1 (%2)")
                                               .arg(QDir::toNativeSeparators(path), reason),
                                           reason);
    const bool told = failing_;
    failing_ = true;
    return told ? failed.AlreadyTold() : failed;
}
