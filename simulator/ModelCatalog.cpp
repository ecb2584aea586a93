// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulator/ModelCatalog.h"

#include <algorithm>
#include <cctype>

namespace sim {

const std::vector<SupplyModelInfo>& KnownModels()
{
    // The two series offer the same ratings and differ only in their letter;
    // the two-line display variants are electrically the plain dual models.
    struct Rating {
        const char* Code;
        double MaxVolts;
        double MaxAmps;
        int Outputs;
    };
    static const Rating ratings[] = {
        {"30?03", 30, 3, 1},    {"30?05", 30, 5, 1},     {"40?05", 40, 5, 1},    {"25?10", 25, 10, 1},
        {"50?01", 50, 1, 1},    {"50?04", 50, 4, 1},     {"120?1.5", 120, 1.5, 1}, {"30?03D", 30, 3, 2},
        {"30?05D", 30, 5, 2},   {"30?03DD", 30, 3, 2},   {"30?05DD", 30, 5, 2},
    };
    static const std::vector<SupplyModelInfo> models = [] {
        std::vector<SupplyModelInfo> list;
        for (const char series : {'R', 'T'}) {
            for (const Rating& rating : ratings) {
                std::string name = std::string("QPX-") + rating.Code;
                name[name.find('?')] = series;
                list.push_back({name, rating.MaxVolts, rating.MaxAmps, rating.Outputs});
            }
        }
        return list;
    }();
    return models;
}

const SupplyModelInfo* FindModel(const std::string& name)
{
    auto sameIgnoringCase = [&](const SupplyModelInfo& model) {
        return model.Name.size() == name.size()
            && std::equal(name.begin(), name.end(), model.Name.begin(), [](char a, char b) {
                   return std::toupper(static_cast<unsigned char>(a))
                       == std::toupper(static_cast<unsigned char>(b));
               });
    };
    const auto& models = KnownModels();
    const auto found = std::find_if(models.begin(), models.end(), sameIgnoringCase);
    return found == models.end() ? nullptr : &*found;
}

const SupplyModelInfo& DefaultModel(int outputs)
{
    return *FindModel(outputs == 1 ? "QPX-30R03" : "QPX-30R03D");
}

} // namespace sim
