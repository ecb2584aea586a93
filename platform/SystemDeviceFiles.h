// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "link/DeviceFiles.h"

// The machine's device files. Stable names are the links udev keeps for every
// USB serial adapter; the folder can be pointed elsewhere (TARVIO_SERIAL_BY_ID)
// so a test can play a re-enumeration with pseudo-terminals and links.
class SystemDeviceFiles : public DeviceFiles {
public:
    explicit SystemDeviceFiles(QString byIdFolder = DefaultByIdFolder());
    DeviceKind KindOf(const QString& path) const override;
    QString StableNameFor(const QString& device) const override;
    QString Target(const QString& path) const override;

    static QString DefaultByIdFolder();

private:
    QString byId_;
};
