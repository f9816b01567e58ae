#include "comm/GroupWriter.h"

#include <algorithm>

#include "comm/ModbusFrames.h"
#include "drive/Registers.h"
#include "comm/Reporters.h"
#include "comm/Transactions.h"
#include "editing/ParamRow.h"
#include "project/ParamAttr.h"
#include "res/CommTexts.h"

namespace pv::comm {

namespace {

// 01-00 selects the V/F curve; F and FF are the custom curves whose points are sent.
bool isCustomCurve(std::uint16_t curve) {
    return curve == 0x0F || curve == 0xFF;
}

constexpr int kCurveIndex = 0, kMaxFrequencyIndex = 2;

}  // namespace

bool PlanGroupWrite(const ParamGroup& records, int group, const std::vector<std::string>& texts,
                    const GroupWriteContext& context, GroupWritePlan& plan, std::string& error) {
    plan = {};
    const int n =
        std::min<int>(static_cast<int>(records.params.size()), static_cast<int>(texts.size()));
    // Whether this write selects a custom V/F curve decides whether the curve points go along.
    bool customCurve = false;
    if (group == 1 && n > kCurveIndex && records.params[kCurveIndex].defined) {
        const auto row = editing::ParamRow::fromRecord(1, kCurveIndex, records.params[kCurveIndex]);
        std::uint16_t reg = 0;
        double value = 0;
        customCurve =
            row.parseText(texts[kCurveIndex], context.settings, reg, value) && isCustomCurve(reg);
    }

    // A parameter the others are judged by (00-63: limits in hertz or percent) goes first, so
    // that the drive checks the rest of the group against the new setting.
    std::vector<int> order;
    for (int i = 0; i < n; ++i)
        if (records.params[i].defined && hasFlag(records.params[i].attr, FlagReadFirst))
            order.push_back(i);
    for (int i = 0; i < n; ++i)
        if (!(records.params[i].defined && hasFlag(records.params[i].attr, FlagReadFirst)))
            order.push_back(i);

    bool chainOpen = false;  // the previous parameter goes in one frame with this one
    for (int i : order) {
        const ParamRecord& rec = records.params[i];
        if (!rec.defined) {
            chainOpen = false;
            continue;
        }
        const auto row = editing::ParamRow::fromRecord(group, i, rec);
        bool send = writtenByTransfer(rec.attr);
        if (send && row.hasFlag(FlagVfPoint) && !customCurve) send = false;
        std::uint16_t reg = 0;
        double value = 0;
        if (send) {
            if (!row.parseText(texts[i], context.settings, reg, value)) {
                error = res::kDataError;
                return false;
            }
            const editing::Verdict v =
                editing::WriteRules::judgeForGroupWrite(row, value, context.facts);
            if (!v.allowed()) {
                // A reserved curve is not a parameter to leave out: the whole write would
                // send the drive a curve it does not have.
                if (editing::WriteRules::entry(group, i).cross == editing::CrossRule::CurveSelect &&
                    !row.readOnly()) {
                    error = v.text;
                    return false;
                }
                send = false;
            }
        }
        if (!send) {
            plan.leftOut.push_back(i);
            chainOpen = false;
            continue;
        }
        if (chainOpen && !plan.frames.empty() &&
            plan.frames.back().first + static_cast<int>(plan.frames.back().values.size()) == i &&
            plan.frames.back().values.size() < static_cast<std::size_t>(kMaxReadBlock)) {
            plan.frames.back().values.push_back(reg);
        } else {
            plan.frames.push_back({i, {reg}});
        }
        chainOpen = row.hasFlag(FlagWriteWithNext);
    }
    return true;
}

std::optional<UnsendableValue> FindUnsendableValue(const ParamTable& table,
                                                   const std::vector<int>& groups,
                                                   const editing::DisplaySettings& settings) {
    for (int g : groups) {
        if (g < 0 || g >= static_cast<int>(table.groups.size())) continue;
        const auto& params = table.groups[static_cast<std::size_t>(g)].params;
        for (int i = 0; i < static_cast<int>(params.size()); ++i) {
            const ParamRecord& rec = params[static_cast<std::size_t>(i)];
            if (!rec.defined || !writtenByTransfer(rec.attr)) continue;
            std::uint16_t reg = 0;
            double value = 0;
            if (!editing::ParamRow::fromRecord(g, i, rec).parseText(rec.setValue, settings, reg,
                                                                    value))
                return UnsendableValue{g, i, rec.setValue};
        }
    }
    return std::nullopt;
}

bool GroupWriter::sendFrame(int group, std::uint16_t firstRegister, const std::uint16_t* values,
                            std::size_t count, std::string& lastError) {
    std::uint8_t reply[kWriteReplyLength] = {};
    const auto result = WriteRegisters(link_, station_, firstRegister, values, count, reply);
    ++transactions_;
    return StoreGroupWriteReply(lastError, result, reply, drive::kFuncWriteMultiple, station_, group) != 0;
}

TransferStatus GroupWriter::writeGroup(const ParamTable& table, int group,
                                       const GroupWriteContext& context, std::string& lastError,
                                       const CancelCheck& cancelled) {
    if (group < 0 || group >= static_cast<int>(table.groups.size())) return TransferStatus::Done;
    const ParamGroup& g = table.groups[group];
    std::vector<std::string> texts;
    texts.reserve(g.params.size());
    for (const auto& r : g.params) texts.push_back(r.setValue);
    return writeValues(g, group, texts, context, lastError, cancelled);
}

TransferStatus GroupWriter::writeValues(const ParamGroup& records, int group,
                                        const std::vector<std::string>& texts,
                                        const GroupWriteContext& context, std::string& lastError,
                                        const CancelCheck& cancelled) {
    GroupWritePlan plan;
    std::string refusal;
    if (!PlanGroupWrite(records, group, texts, context, plan, refusal)) {
        lastError = refusal;
        return TransferStatus::Failed;
    }
    leftOut_ = plan.leftOut;
    bool curveCustom = false;
    for (const WriteFrame& f : plan.frames) {
        if (cancelled && cancelled()) return TransferStatus::Cancelled;
        if (keep_ && !keep_(group, f)) continue;
        if (!sendFrame(group, drive::ParamRegister(group, f.first), f.values.data(), f.values.size(),
                       lastError))
            return TransferStatus::Failed;
        if (group != 1) continue;
        for (std::size_t k = 0; k < f.values.size(); ++k) {
            const int index = f.first + static_cast<int>(k);
            if (index == kCurveIndex) curveCustom = isCustomCurve(f.values[k]);
            if (index == kMaxFrequencyIndex && curveCustom) {
                // The register counts in the value's own decimals (6000 is 60.00 Hz); the
                // drive's fine resolution ends above 300.0 Hz, so compare in tenths of a hertz.
                const ParamRecord& rec = records.params[index];
                int tenths = f.values[k];
                for (int d = decimals(rec.valueKind, rec.attr, context.settings); d > 1; --d)
                    tenths /= 10;
                highFrequencyMode_ = tenths > 3000;
            }
        }
    }
    return TransferStatus::Done;
}

}  // namespace pv::comm
