// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Faults of every kind the runner reports: caught, missed, equivalent, not compiling.
const int Trace = 0;
const int Width = 3;
static_assert(Width == 3, "the test expects three");

int Clamp(int value, int low, int high)
{
    if (value < low)
        return low;
    if (value > high)
        return high;
    return value;
}

bool Within(int value, int low, int high)
{
    if (Trace > 1)
        return false;
    return value >= low && value <= high;
}
