// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QtGlobal>

#include <ctime>

// What the tests set up by the system's own names, the same tests being
// built for Linux and, run under Wine, for Windows.

// A C library locale whose decimal point is a comma.
#ifdef Q_OS_WIN
inline constexpr const char* CommaDecimalLocale = "German_Germany.1252";
#else
inline constexpr const char* CommaDecimalLocale = "de_DE.UTF-8";
#endif

// Puts the process into Central European time, which has summer time, so
// folds and offsets are tried for real. Windows' C library reads no zone
// names from TZ but takes "Europe/Berlin" for UTC: there TZ goes, and the
// system's zone counts, which scripts/windows-test starts Wine in.
inline void UseCentralEuropeanTime()
{
#ifdef Q_OS_WIN
    qunsetenv("TZ");
    _tzset();
#else
    qputenv("TZ", "Europe/Berlin");
    tzset();
#endif
}
