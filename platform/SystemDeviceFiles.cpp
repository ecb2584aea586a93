// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SystemDeviceFiles.h"

#include <QDir>
#include <QFileInfo>
#include <sys/stat.h>

#include "link/DeviceBinding.h"

SystemDeviceFiles::SystemDeviceFiles(QString byIdFolder) : byId_(std::move(byIdFolder)) {}

QString SystemDeviceFiles::DefaultByIdFolder()
{
    const QString chosen = qEnvironmentVariable("TARVIO_SERIAL_BY_ID");
    return chosen.isEmpty() ? QStringLiteral("/dev/serial/by-id") : chosen;
}

DeviceKind SystemDeviceFiles::KindOf(const QString& path) const
{
    // Whether a device server is back only a connection can tell: always worth a try.
    if (ParseNetworkAddress(path).Valid())
        return DeviceKind::Device;
    struct stat st {};
    // stat follows links: a dangling link is a device that is not back yet.
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return DeviceKind::Missing;
    return S_ISCHR(st.st_mode) ? DeviceKind::Device : DeviceKind::NotADevice;
}

QString SystemDeviceFiles::Target(const QString& path) const
{
    const QString target = QFileInfo(path).canonicalFilePath();
    return target.isEmpty() ? path : target;
}

QString SystemDeviceFiles::StableNameFor(const QString& device) const
{
    const QString target = Target(device);
    const QDir folder(byId_);
    for (const QFileInfo& link : folder.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name))
        if (link.isSymLink() && link.canonicalFilePath() == target)
            return link.absoluteFilePath();
    return QString();
}
