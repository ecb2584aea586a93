// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArrayView>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <optional>

// The record of a measurement log file, written by the console and read back
// by the trend plot: one home for both, so they cannot drift apart.
//   single: "<voltage>   <current>   <stamp>" CR LF
//   dual:   "P1: <voltage>   <current>   P2: <voltage>   <current>   <stamp>" CR LF
// The readouts are the reply texts as received (a supply's CR included); the
// stamp is "yymmdd AM hh:mm:ss" on the 12-hour clock.
namespace LogRecordFormat {
constexpr QLatin1String Gap("   ");
constexpr QLatin1String LineEnd("\r\n");
constexpr QLatin1String FirstOutput("P1: ");
constexpr QLatin1String SecondOutput("P2: ");
constexpr int StampLength = 18;
}

// "yymmdd AM hh:mm:ss" on the 12-hour clock (0 h shows as 12), with fixed
// "AM"/"PM" whatever the locale, so log files read the same on every machine.
QString LogTimestamp(const QDateTime& t);

QString BuildSingleRecord(const QString& voltage, const QString& current, const QString& timestamp);
QString BuildDualRecord(const QString& p1Voltage, const QString& p1Current,
                        const QString& p2Voltage, const QString& p2Current, const QString& timestamp);

// A line of a log file (without its line feed; a CR before it is allowed)
// taken apart: its stamp and its two or four readout fields as they stand.
struct LogRecordFields {
    QDate Date;
    QTime Time;
    bool Dual = false;
    QByteArrayView Readouts[4];   // P1 voltage, P1 current, P2 voltage, P2 current
};
std::optional<LogRecordFields> SplitLogRecord(QByteArrayView line);
