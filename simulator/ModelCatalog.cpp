#include "simulator/ModelCatalog.h"

#include <algorithm>
#include <cctype>

const std::vector<SupplyModelInfo>& KnownModels()
{
    // The two series differ only in their letter; the two-line display
    // variants are electrically the plain dual models.
    static const std::vector<SupplyModelInfo> models = {
        {"QPX-30R03", 30, 3, 1},     {"QPX-30R05", 30, 5, 1},
        {"QPX-40R05", 40, 5, 1},     {"QPX-25R10", 25, 10, 1},
        {"QPX-50R01", 50, 1, 1},     {"QPX-50R04", 50, 4, 1},
        {"QPX-120R1.5", 120, 1.5, 1}, {"QPX-30R03D", 30, 3, 2},
        {"QPX-30R05D", 30, 5, 2},    {"QPX-30R03DD", 30, 3, 2},
        {"QPX-30R05DD", 30, 5, 2},
        {"QPX-30T03", 30, 3, 1},     {"QPX-30T05", 30, 5, 1},
        {"QPX-40T05", 40, 5, 1},     {"QPX-25T10", 25, 10, 1},
        {"QPX-50T01", 50, 1, 1},     {"QPX-50T04", 50, 4, 1},
        {"QPX-120T1.5", 120, 1.5, 1}, {"QPX-30T03D", 30, 3, 2},
        {"QPX-30T05D", 30, 5, 2},    {"QPX-30T03DD", 30, 3, 2},
        {"QPX-30T05DD", 30, 5, 2},
    };
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
