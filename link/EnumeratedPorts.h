// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QStringList>
#include <functional>

#include "link/DeviceFiles.h"

// A system without device files (Windows) knows its ports only by the list
// it hands out: a port is there while the list names it. Its names are
// stable already, as the system gives an adapter the same COM number each
// time it comes back, so there is nothing to follow.
class EnumeratedPorts : public DeviceFiles {
public:
    // present gives the port names the system offers now ("COM3").
    explicit EnumeratedPorts(std::function<QStringList()> present) : present_(std::move(present)) {}
    DeviceKind KindOf(const QString& path) const override;
    QString StableNameFor(const QString&) const override { return QString(); }
    QString Target(const QString& path) const override { return path; }

    // "\\.\COM10", "com10" and "COM10" are one port.
    static QString PortName(const QString& path);

private:
    std::function<QStringList()> present_;
};
