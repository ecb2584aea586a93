// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QFont>

// The console's fonts were chosen for Windows; on Linux the Korean fixed-pitch
// faces stand in for them, so Hangul stays two Latin cells wide, and on a
// Windows without them its own Korean faces do (see SystemFontFaces).
void InstallFontSubstitutions();
QFont GulimFont(double points);
QFont DotumCheFont(double points);
QFont ArialFont(double points, bool bold);
// The printed pattern listing: fixed pitch, bold, 10 point.
QFont PrintListingFont();
