#include "comm/Upload.h"

namespace pv::comm {

int UploadReadValues(ParamTable& table) {
    int changed = 0;
    for (int g = 0; g < static_cast<int>(table.groups.size()); ++g) {
        auto& params = table.groups[g].params;
        for (int i = 0; i < static_cast<int>(params.size()); ++i) {
            ParamRecord& r = params[i];
            if (!r.defined || r.readValue.empty() || r.readValue == r.setValue) continue;
            r.setValue = r.readValue;
            ++changed;
            if (g < kGroupSlots && i < kParamsPerGroup) table.paramEdited[g][i] = 1;
        }
    }
    return changed;
}

}  // namespace pv::comm
