// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/System.h"

#include <QSerialPort>
#include <QSerialPortInfo>
#include <linux/serial.h>
#include <sys/ioctl.h>

#include "link/DeviceBinding.h"
#include "platform/SystemDeviceFiles.h"

QString ResolveSystemDevice(int n)
{
    const QString env = qEnvironmentVariable(qPrintable(QStringLiteral("TARVIO_COM%1").arg(n)));
    if (!env.isEmpty())
        return env;
    QStringList found;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        found << info.systemLocation();
    return BindDevice(n, env, OrderSerialDevices(found), false);
}

std::unique_ptr<DeviceFiles> MakeSystemDeviceFiles()
{
    return std::make_unique<SystemDeviceFiles>();
}

OpenError PermissionErrorKind(const QString& detail)
{
    // Qt reports both a lock held by another program and EACCES as a permission error.
    if (detail.contains(QLatin1String("lock"), Qt::CaseInsensitive)
        || detail.contains(QLatin1String("busy"), Qt::CaseInsensitive))
        return OpenError::Busy;
    return OpenError::PermissionDenied;
}

bool ReadLineCounters(const QSerialPort& port, LineCounters* out)
{
    if (!port.isOpen())
        return false;
    serial_icounter_struct c{};
    if (::ioctl(static_cast<int>(port.handle()), TIOCGICOUNT, &c) != 0)
        return false;
    out->Cts = c.cts;
    out->Dsr = c.dsr;
    out->Ring = c.rng;
    out->Dcd = c.dcd;
    out->Frame = c.frame;
    out->Overrun = c.overrun;
    out->Parity = c.parity;
    out->Break = c.brk;
    out->BufOverrun = c.buf_overrun;
    return true;
}

FontFaces SystemFontFaces()
{
    FontFaces faces;
    faces.FixedPitch = {QStringLiteral("NanumGothicCoding"), QStringLiteral("D2Coding"), QStringLiteral("DejaVu Sans Mono")};
    // NanumGothic draws "." like "," at 9 points: a reading of 1.200 must never look like 1,200.
    faces.Proportional = {QStringLiteral("NanumBarunGothic"), QStringLiteral("NanumGothic"), QStringLiteral("DejaVu Sans")};
    faces.Arial = {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};
    return faces;
}

void PrepareTerminalOutput()
{
    // Terminals take UTF-8 and escapes already.
}

QString MissingDisplay()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return QStringLiteral("no display found (DISPLAY is not set).\n"
                              "Run it on a desktop session, or start a virtual display first:\n"
                              "  xvfb-run -a tarvio\n"
                              "or set QT_QPA_PLATFORM=offscreen to run without showing a window.");
    return QString();
}
