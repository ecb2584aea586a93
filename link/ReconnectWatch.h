// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

#include "core/Outcome.h"
#include "link/DeviceFiles.h"

// Waits for a lost device to come back: remembers the device's stable name
// while it is there (the by-id link vanishes with the device), then checks
// that name, or the same path, at each tick. Says each thing once per wait,
// however many ticks it takes. Times are monotonic milliseconds.
class ReconnectWatch {
public:
    explicit ReconnectWatch(const DeviceFiles& files) : files_(files) {}

    // The port is open on device: note its stable name for a later loss.
    void Opened(const QString& device);
    void Lost(qint64 now);
    // The operator decided (닫기, or another port opened): no more waiting.
    void End() { waiting_ = false; }
    void SetPaused(bool paused) { paused_ = paused; }

    bool Waiting() const { return waiting_; }
    // What is opened when the device is back: the stable name if it had one.
    QString WatchedPath() const { return stable_.isEmpty() ? device_ : stable_; }

    struct Check {
        bool TryOpen = false;
        Outcome Problem;   // for the message panel, told once per wait and cause
    };
    Check Tick();
    // The device opened again: the line that says so, with the time it was gone.
    QString Reopened(qint64 now);
    // It came back but would not open: keep waiting; the first refusal is told.
    Outcome Refused(const Outcome& open);

private:
    const DeviceFiles& files_;
    QString device_, stable_, kernel_;   // as opened, its stable name, where that pointed
    bool waiting_ = false, paused_ = false;
    bool refusalTold_ = false, notDeviceTold_ = false;
    qint64 lostAt_ = 0;
};

// "hh:mm:ss" of a duration, hours counting on past a day.
QString FormatDuration(qint64 ms);
