// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QStringList>
#include <memory>

#include "link/DeviceFiles.h"
#include "link/LineEvents.h"

class QSerialPort;

// What differs between the systems the programs run on. SystemLinux.cpp and
// SystemWindows.cpp each define all of it, and the build takes the one of its
// target, so nothing else needs to ask which system it is on.

// The device "COM n" opens: TARVIO_COMn when set, else the system's own rule
// (the n-th serial device found on Linux, the port COMn on Windows).
QString ResolveSystemDevice(int n);

// What the reconnection watch and the port dialog read: the device files and
// their stable by-id names on Linux, the system's port list on Windows.
std::unique_ptr<DeviceFiles> MakeSystemDeviceFiles();

// Qt calls both a port held by another program and a port this user may not
// open a permission error; the system's words tell them apart.
OpenError PermissionErrorKind(const QString& detail);

// The line-error and modem-line counters of an open port; false where the
// system keeps none for it (a pseudo-terminal, or Windows).
bool ReadLineCounters(const QSerialPort& port, LineCounters* out);

// The faces that stand in for the console's fonts where the system lacks
// them: the Korean fixed-pitch ones (굴림체, 돋움체), the Korean proportional
// ones (굴림, 돋움), and Arial.
struct FontFaces {
    QStringList FixedPitch, Proportional, Arial;
};
FontFaces SystemFontFaces();

// Lets a program's UTF-8 lines and the progress line's "erase to the end"
// reach a terminal as they are: a Windows console otherwise reads its own
// code page, in which Hangul is question marks, and prints the escape.
void PrepareTerminalOutput();

// Why the console cannot start here, or empty: on Linux a session without a
// display, where Qt would abort with a message few operators can act on.
QString MissingDisplay();
