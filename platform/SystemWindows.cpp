// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/System.h"

#include <QSerialPort>
#include <QSerialPortInfo>

#include "link/DeviceBinding.h"
#include "link/EnumeratedPorts.h"

#include <windows.h>

QString ResolveSystemDevice(int n)
{
    const QString env = qEnvironmentVariable(qPrintable(QStringLiteral("TARVIO_COM%1").arg(n)));
    return BindDevice(n, env, {}, true);
}

std::unique_ptr<DeviceFiles> MakeSystemDeviceFiles()
{
    // Asked at each reconnection tick only while a lost port is awaited, and
    // by the port dialog when it opens: a plain enumeration, no waiting.
    return std::make_unique<EnumeratedPorts>([] {
        QStringList names;
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
            names << info.portName();
        return names;
    });
}

OpenError PermissionErrorKind(const QString&)
{
    // Windows lets one program at a time have a COM port and refuses the
    // next with "access denied"; there are no device permissions to grant.
    return OpenError::Busy;
}

bool ReadLineCounters(const QSerialPort&, LineCounters*)
{
    // Windows keeps error flags (ClearCommError), not counters, and reading
    // them would clear them under Qt's own reads: the monitor stays off.
    return false;
}

FontFaces SystemFontFaces()
{
    FontFaces faces;
    // Every Windows since Vista has Malgun Gothic; Gulim and its fixed-pitch
    // GulimChe come with Korean Windows or its supplemental fonts. Nanum, where
    // someone installed it, before nothing at all.
    faces.FixedPitch = {QStringLiteral("GulimChe"), QStringLiteral("NanumGothicCoding"), QStringLiteral("Malgun Gothic"),
                        QStringLiteral("Gulim")};
    faces.Proportional = {QStringLiteral("Malgun Gothic"), QStringLiteral("Gulim"), QStringLiteral("NanumBarunGothic"),
                          QStringLiteral("NanumGothic")};
    return faces;
}

void PrepareTerminalOutput()
{
    ::SetConsoleOutputCP(CP_UTF8);
    for (DWORD which : {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
        const HANDLE handle = ::GetStdHandle(which);
        DWORD mode = 0;
        if (handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode))
            ::SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    }
}

QString MissingDisplay()
{
    return QString();
}
