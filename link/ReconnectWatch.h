// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

#include "link/SerialPort.h"

// What stands at a device path, following links.
enum class DeviceKind { Missing, Device, NotADevice };

// The file system as the reconnection watch sees it, so a test can play a
// device going, coming back, or coming back under another name.
class DeviceFiles {
public:
    virtual ~DeviceFiles() = default;
    virtual DeviceKind KindOf(const QString& path) const = 0;
    // The stable name (a link in the by-id folder) that points at device
    // now, or empty when it has none.
    virtual QString StableNameFor(const QString& device) const = 0;
    // Where a link points in the end; the path itself when it is no link.
    virtual QString Target(const QString& path) const = 0;
};

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
    bool Paused() const { return paused_; }
    QString LostDevice() const { return device_; }
    // What is opened when the device is back: the stable name if it had one.
    QString WatchedPath() const { return stable_.isEmpty() ? device_ : stable_; }

    struct Check {
        bool TryOpen = false;
        QString Message;   // for the message panel, at most once per wait and cause
    };
    Check Tick();
    // The device opened again: the line that says so, with the time it was gone.
    QString Reopened(qint64 now);
    // It came back but would not open: keep waiting; the first refusal is told.
    QString Refused(const OpenResult& result);

private:
    const DeviceFiles& files_;
    QString device_, stable_, kernel_;   // as opened, its stable name, where that pointed
    bool waiting_ = false, paused_ = false;
    bool refusalTold_ = false, notDeviceTold_ = false;
    qint64 lostAt_ = 0;
};

// "hh:mm:ss" of a duration, hours counting on past a day.
QString FormatDuration(qint64 ms);
