// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <vector>

namespace sim {

// A supply the simulator can impersonate: the name it gives to *IDN? and the
// ratings that bound every value the console may set.
struct SupplyModelInfo {
    std::string Name;
    double MaxVolts = 0;
    double MaxAmps = 0;
    int Outputs = 1;
};

// Every model the console's reference list names, in that list's order.
const std::vector<SupplyModelInfo>& KnownModels();

// Looks a model up by name, ignoring case; nullptr when there is none.
const SupplyModelInfo* FindModel(const std::string& name);

// The model played when only the number of outputs is given.
const SupplyModelInfo& DefaultModel(int outputs);

} // namespace sim
