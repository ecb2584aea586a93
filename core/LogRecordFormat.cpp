// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/LogRecordFormat.h"

#include <QList>

using namespace LogRecordFormat;

namespace {
QString TwoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

bool Digits(QByteArrayView s, int from, int count, int* value)
{
    int v = 0;
    for (int i = from; i < from + count; ++i) {
        if (s[i] < '0' || s[i] > '9')
            return false;
        v = v * 10 + (s[i] - '0');
    }
    *value = v;
    return true;
}

bool ReadStamp(QByteArrayView s, QDate* date, QTime* time)
{
    int yy, mm, dd, hh, mi, ss;
    if (!Digits(s, 0, 2, &yy) || !Digits(s, 2, 2, &mm) || !Digits(s, 4, 2, &dd) || s[6] != ' ' || s[9] != ' '
        || !Digits(s, 10, 2, &hh) || s[12] != ':' || !Digits(s, 13, 2, &mi) || s[15] != ':' || !Digits(s, 16, 2, &ss))
        return false;
    const QByteArrayView half = s.sliced(7, 2);
    if ((half != "AM" && half != "PM") || hh < 1 || hh > 12)
        return false;
    const int hour = hh % 12 + (half == "PM" ? 12 : 0);
    *date = QDate(2000 + yy, mm, dd);
    *time = QTime(hour, mi, ss);
    return date->isValid() && time->isValid();
}
} // namespace

QString LogTimestamp(const QDateTime& t)
{
    const QDate d = t.date();
    const QTime time = t.time();
    const int hour = time.hour();
    const int clockHour = hour % 12 == 0 ? 12 : hour % 12;
    return TwoDigits(d.year() % 100) + TwoDigits(d.month()) + TwoDigits(d.day())
        + (hour < 12 ? QStringLiteral(" AM ") : QStringLiteral(" PM ")) + TwoDigits(clockHour) + QLatin1Char(':')
        + TwoDigits(time.minute()) + QLatin1Char(':') + TwoDigits(time.second());
}

QString BuildSingleRecord(const QString& voltage, const QString& current, const QString& timestamp)
{
    return voltage + Gap + current + Gap + timestamp + LineEnd;
}

QString BuildDualRecord(const QString& p1Voltage, const QString& p1Current,
                        const QString& p2Voltage, const QString& p2Current, const QString& timestamp)
{
    return FirstOutput + p1Voltage + Gap + p1Current + Gap + SecondOutput + p2Voltage + Gap + p2Current + Gap
        + timestamp + LineEnd;
}

std::optional<LogRecordFields> SplitLogRecord(QByteArrayView line)
{
    const QByteArrayView gap(Gap.data(), Gap.size());
    if (line.endsWith('\r'))
        line.chop(1);
    if (line.size() < StampLength + gap.size())
        return std::nullopt;
    LogRecordFields r;
    if (!ReadStamp(line.last(StampLength), &r.Date, &r.Time) || !line.chopped(StampLength).endsWith(gap))
        return std::nullopt;
    const QByteArrayView body = line.chopped(StampLength + gap.size());
    QList<QByteArrayView> parts;
    for (qsizetype from = 0;;) {
        const qsizetype at = body.indexOf(gap, from);
        if (at < 0) {
            parts << body.sliced(from);
            break;
        }
        parts << body.sliced(from, at - from);
        from = at + gap.size();
    }
    const QByteArrayView first(FirstOutput.data(), FirstOutput.size());
    const QByteArrayView second(SecondOutput.data(), SecondOutput.size());
    if (parts.size() == 2 && !parts[0].startsWith(first)) {
        r.Readouts[0] = parts[0];
        r.Readouts[1] = parts[1];
        return r;
    }
    if (parts.size() == 4 && parts[0].startsWith(first) && parts[2].startsWith(second)) {
        r.Dual = true;
        r.Readouts[0] = parts[0].sliced(first.size());
        r.Readouts[1] = parts[1];
        r.Readouts[2] = parts[2].sliced(second.size());
        r.Readouts[3] = parts[3];
        return r;
    }
    return std::nullopt;
}
