// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

// Starts tarvio-sim on a pseudo-terminal behind a symlink, with its command
// record in a temporary folder, and stops it when the test is done.
class SimProcess {
public:
    explicit SimProcess(QStringList extra = {})
    {
        link_ = dir_.filePath(QStringLiteral("com1"));
        record_ = dir_.filePath(QStringLiteral("record.txt"));
        process_.setProgram(QStringLiteral(TARVIO_SIM_PATH));
        process_.setArguments(QStringList{QStringLiteral("--link"), link_, QStringLiteral("--record"), record_} + extra);
        process_.start();
        ok_ = process_.waitForStarted(5000) && process_.waitForReadyRead(5000);
    }
    ~SimProcess()
    {
        process_.terminate();
        if (!process_.waitForFinished(3000))
            process_.kill();
    }
    bool Ok() const { return ok_ && QFile::exists(link_); }
    QString Link() const { return link_; }
    // Every record line: timestamp, kind (LF or CR for a command, OUT for a
    // reply...) and text, tab-separated.
    QString RecordText() const
    {
        QFile f(record_);
        return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
    }
    // Command lines the simulator received, without their timestamps.
    QStringList Commands() const
    {
        QStringList commands;
        for (const QString& line : RecordText().split(QLatin1Char('\n'))) {
            const QString kind = line.section(QLatin1Char('\t'), 1, 1);
            if (kind == QLatin1String("LF") || kind == QLatin1String("CR"))
                commands << line.section(QLatin1Char('\t'), 2);
        }
        return commands;
    }
    // Each command with its terminator, as the supply received it: "CR APPL P1,5,1".
    QStringList Received() const
    {
        const QRegularExpression command(QStringLiteral("^\\S+\t(LF|CR)\t"));
        return RecordText().split(QLatin1Char('\n')).filter(command).replaceInStrings(command, QStringLiteral("\\1 "));
    }

private:
    QTemporaryDir dir_;
    QString link_, record_;
    QProcess process_;
    bool ok_ = false;
};

// Lines of every log file in the folder, in name order: a run may cross midnight.
inline QList<QByteArray> LogLines(const QString& folder)
{
    QByteArray bytes;
    for (const QFileInfo& file : QDir(folder).entryInfoList({QStringLiteral("*_MS.txt")}, QDir::Files, QDir::Name)) {
        QFile f(file.filePath());
        if (f.open(QIODevice::ReadOnly))
            bytes += f.readAll();
    }
    QList<QByteArray> lines = bytes.split('\n');
    lines.removeAll(QByteArray());
    return lines;
}
