// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// The queries of one polling cycle, each ended by a line feed, in the order
// P1 voltage, P1 current, P2 voltage, P2 current that the receive routing
// assumes. The new model is read with averaging queries, the old one with
// instantaneous ones.
QString BuildMonitorBatch(bool singleLayout, bool newModel);
QString BuildSetMonitorBatch(bool singleLayout);

// Poll period: one query per 100 ms in either layout.
int PollIntervalMs(bool singleLayout);
