// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/ReconnectWatch.h"

#include <QCoreApplication>

void ReconnectWatch::Opened(const QString& device)
{
    device_ = device;
    stable_ = files_.StableNameFor(device);
    kernel_ = files_.Target(device);
    waiting_ = false;
}

void ReconnectWatch::Lost(qint64 now)
{
    if (device_.isEmpty())
        return;
    waiting_ = true;
    lostAt_ = now;
    refusalTold_ = notDeviceTold_ = false;
}

ReconnectWatch::Check ReconnectWatch::Tick()
{
    Check check;
    if (!waiting_ || paused_)
        return check;
    switch (files_.KindOf(WatchedPath())) {
    case DeviceKind::Missing:
        break;
    case DeviceKind::Device:
        check.TryOpen = true;
        break;
    case DeviceKind::NotADevice:
        // A file or folder where the device was is nothing to open; a stray
        // open could even create or truncate it.
        check.Problem = Outcome::Failed(QCoreApplication::translate("ReconnectWatch", "%1 자리에 장치가 아닌 파일이 있습니다. 장치를 계속 기다립니다.")
                                            .arg(WatchedPath()));
        if (notDeviceTold_)
            check.Problem = check.Problem.AlreadyTold();
        notDeviceTold_ = true;
        break;
    }
    return check;
}

QString ReconnectWatch::Reopened(qint64 now)
{
    waiting_ = false;
    const QString gone = FormatDuration(now - lostAt_);
    if (stable_.isEmpty())
        return QCoreApplication::translate("ReconnectWatch", "%1 다시 연결됨 (끊긴 시간 %2)").arg(device_, gone);
    const QString current = files_.Target(stable_);
    const QString before = kernel_;
    kernel_ = current;
    if (current == before)
        return QCoreApplication::translate("ReconnectWatch", "%1 다시 연결됨 (끊긴 시간 %2)").arg(current, gone);
    return QCoreApplication::translate("ReconnectWatch", "%1 다시 연결됨, 전에는 %2 (끊긴 시간 %3)").arg(current, before, gone);
}

Outcome ReconnectWatch::Refused(const Outcome& open)
{
    const QString why = open.Detail().isEmpty() ? QCoreApplication::translate("ReconnectWatch", "열리지 않음") : open.Detail();
    const Outcome refusal = Outcome::Failed(
        QCoreApplication::translate("ReconnectWatch", "%1 장치가 돌아왔지만 열 수 없습니다 (%2). 장치를 계속 기다립니다.").arg(WatchedPath(), why));
    const bool told = refusalTold_;
    refusalTold_ = true;
    return told ? refusal.AlreadyTold() : refusal;
}

QString FormatDuration(qint64 ms)
{
    const qint64 seconds = qMax<qint64>(0, ms) / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
