// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/TransmitBacklog.h"

TransmitBacklog::Verdict TransmitBacklog::Admit(qint64 pending, qint64 size)
{
    if (pending == 0)
        reported_ = false;
    if (pending + size <= Capacity)
        return Verdict::Write;
    if (reported_)
        return Verdict::Drop;
    reported_ = true;
    return Verdict::DropAndReport;
}

void TransmitBacklog::Drained(qint64 pending)
{
    if (pending == 0)
        reported_ = false;
}
