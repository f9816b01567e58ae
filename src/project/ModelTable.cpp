#include "project/ModelTable.h"

namespace pv {

namespace {

constexpr std::array<ModelInfo, kModelCount> kSearchOrder = {{
    {0x35021, "N350-401-H", "401"}, {0x35022, "N350-402-H", "402"}, {0x35023, "N350-403-H", "403"},
    {0x35024, "N350-405-H", "405"}, {0x35025, "N350-408-H", "408"}, {0x35026, "N350-410-H", "410"},
    {0x35027, "N350-415-H", "415"}, {0x35028, "N350-420-H", "420"}, {0x35029, "N350-425-H", "425"},
    {0x3502A, "N350-430-H", "430"}, {0x35001, "N350-2P5-H", "2P5"}, {0x35002, "N350-201-H", "201"},
    {0x35003, "N350-202-H", "202"}, {0x35004, "N350-203-H", "203"}, {0x35005, "N350-205-H", "205"},
    {0x35006, "N350-208-H", "208"}, {0x35007, "N350-210-H", "210"}, {0x35008, "N350-215-H", "215"},
    {0x35009, "N350-220-H", "220"},
}};

constexpr std::array<ModelInfo, kModelCount> makeCodeOrder() {
    std::array<ModelInfo, kModelCount> out{};
    const int n200 = 9;
    for (int i = 0; i < n200; ++i) out[i] = kSearchOrder[kModelCount - n200 + i];
    for (int i = 0; i < kModelCount - n200; ++i) out[n200 + i] = kSearchOrder[i];
    return out;
}

constexpr std::array<ModelInfo, kModelCount> kCodeOrder = makeCodeOrder();

}  // namespace

const std::array<ModelInfo, kModelCount>& ModelTable() {
    return kSearchOrder;
}
const std::array<ModelInfo, kModelCount>& ModelsByCode() {
    return kCodeOrder;
}

const ModelInfo* FindModelByName(std::string_view name) {
    for (const auto& m : kSearchOrder)
        if (m.name == name) return &m;
    return nullptr;
}

const ModelInfo* FindModelByCode(uint32_t code) {
    for (const auto& m : kSearchOrder)
        if (m.code == code) return &m;
    return nullptr;
}

std::string ModelNameForCode(uint32_t code) {
    const ModelInfo* m = FindModelByCode(code);
    return m ? std::string(m->name) : std::string();
}

}  // namespace pv
