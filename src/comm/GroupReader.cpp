#include "comm/GroupReader.h"

#include <cstdlib>

#include "comm/GroupRuns.h"
#include "comm/ModbusFrames.h"
#include "drive/Registers.h"
#include "comm/Reporters.h"
#include "comm/Transactions.h"
#include "project/ParamAttr.h"
#include "project/TextFile.h"

namespace pv::comm {

namespace {

// 00-63: limits 00-12/00-13 in hertz rather than percent.
constexpr int kLimitUnitGroup = 0, kLimitUnitIndex = 63;

}  // namespace

editing::DisplaySettings TransferSettings(const ParamTable& table, bool frameHighFrequency) {
    editing::DisplaySettings s;
    s.highFrequencyMode = frameHighFrequency;
    if (const ParamRecord* r = table.record(1, 2); r && r->defined)
        s.highFrequencyMode = s.highFrequencyMode || AtofLike(r->setValue) > 300.0;
    if (const ParamRecord* r = table.record(0, 63); r && r->defined)
        s.limitsInHertz = AtoiLike(r->setValue) != 0;
    return s;
}

TransferStatus GroupReader::readGroup(ParamTable& table, int group,
                                      editing::DisplaySettings& settings, std::string& lastError,
                                      const CancelCheck& cancelled) {
    if (group < 0 || group >= static_cast<int>(table.groups.size())) return TransferStatus::Done;
    ParamGroup& g = table.groups[group];
    std::uint8_t reply[ReadReplyLength(kMaxReadBlock)];
    for (const RegisterRun& run : ReadRunsOfGroup(g)) {
        if (cancelled && cancelled()) return TransferStatus::Cancelled;
        const auto result = ReadRegisters(link_, station_, drive::ParamRegister(group, run.first),
                                          static_cast<std::uint16_t>(run.count), reply);
        ++transactions_;
        if (!StoreReadReply(lastError, result, reply[1], drive::kFuncRead)) return TransferStatus::Failed;
        for (int k = 0; k < run.count; ++k) {
            const int index = run.first + k;
            const std::uint16_t value = ReplyRegister(reply, k);
            if (group == kLimitUnitGroup && index == kLimitUnitIndex)
                settings.limitsInHertz = value != 0;
            ParamRecord& rec = g.params[index];
            rec.readValue =
                formatRaw(rec.valueKind, rec.attr, rawFromRegister(rec.attr, value), settings);
        }
    }
    return TransferStatus::Done;
}

}  // namespace pv::comm
