// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QtGlobal>

// Keeps the untransmitted backlog bounded: a fast repeat at a low baud rate
// must neither grow memory nor flood the panel with "buffer full" lines.
class TransmitBacklog {
public:
    static constexpr qint64 Capacity = 4096;

    enum class Verdict { Write, Drop, DropAndReport };

    // pending: bytes handed to the device and not yet on the line.
    Verdict Admit(qint64 pending, qint64 size);
    // The device reported its backlog; at zero a new episode may be reported.
    void Drained(qint64 pending);
    void Reset() { reported_ = false; }

private:
    bool reported_ = false;
};
