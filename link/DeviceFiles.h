// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// What stands at a device path, following links.
enum class DeviceKind { Missing, Device, NotADevice };

// The file system the serial devices live in, so that the reconnection watch
// and the port dialog's tooltips can be played by a test: a device going,
// coming back, or coming back under another name.
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
