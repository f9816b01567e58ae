#include "comm/PageWrite.h"

#include <cstdlib>
#include <mutex>

#include "comm/GroupWriter.h"
#include "comm/ModbusFrames.h"
#include "comm/Reporters.h"
#include "comm/Transactions.h"
#include "drive/Models.h"
#include "drive/Registers.h"
#include "drive/Version.h"
#include "res/EditingTexts.h"

namespace pv::comm {

namespace {

// The drive as the write rules read it: one register at a time on the chosen station.
class LinkDriveAccess : public editing::DriveAccess {
public:
    LinkDriveAccess(serial::CSerial& link, int station) : link_(link), station_(station) {}

    bool readRegister(std::uint16_t reg, std::uint16_t& value, std::string& failure) override {
        std::uint8_t reply[ReadReplyLength(1)];
        const auto result = ReadRegisters(link_, station_, reg, 1, reply);
        failure = SingleReadText(result, reply[1]);
        if (!failure.empty()) return false;
        value = ReplyRegister(reply, 0);
        return true;
    }
    bool checkModel(std::string& failure) override {
        std::uint16_t v = 0;
        return ReadStored(link_, station_, drive::kRegDriveType, v, failure);
    }

private:
    serial::CSerial& link_;
    int station_;
};

// Rows whose write button only reports that they are read-only, before anything is asked.
bool refusedFirst(const editing::PageRow& pr) {
    const editing::RuleEntry& e = editing::WriteRules::entry(pr.row.group, pr.row.index);
    if (!pr.row.defined) return true;
    return pr.readOnly && !e.readOnlyAfterState;
}

std::optional<int> askStation(PageWriteContext& ctx) {
    return ctx.prompts.chooseStation(StationDialog::Select, ctx.stations);
}

}  // namespace

PageWriteResult RunSingleWrite(PageWriteContext& ctx, editing::PageModel& model, int page,
                               int r) {
    if (!ctx.link) {
        ctx.prompts.message(res::kNotConnected);
        return PageWriteResult::NotConnected;
    }
    editing::PageRow& pr = model.row(page, r);
    if (refusedFirst(pr)) {
        ctx.prompts.message(res::kReadOnly);
        return PageWriteResult::Refused;
    }
    const auto station = askStation(ctx);
    if (!station) return PageWriteResult::Cancelled;

    // An edit whose text is no number of its row is out of range before the drive is asked.
    const std::string text = model.textToWrite(page, r);
    LinkDriveAccess access(*ctx.link, *station);
    const editing::Verdict v =
        editing::WriteRules::checkSingleWrite(access, pr.row, text, model.settings(), ctx.facts);
    if (!v.allowed()) {
        ctx.prompts.message(v.text);
        if (v.kind == editing::Verdict::Kind::ReadFailed) return PageWriteResult::Failed;
        return v.text == res::kBeyondRangeDialog ? PageWriteResult::OutOfRange
                                                 : PageWriteResult::Refused;
    }
    // A user-parameter row names another parameter: the drive's control mode must use it.
    if (pr.row.kind == editing::RowKind::Code) {
        if (const auto ref = ParseParamCode(text)) {
            const editing::RuleEntry& e = editing::WriteRules::entry(ref->group, ref->index);
            std::uint16_t mode = 0;
            std::string failure;
            if (e.forbiddenModes != 0) {
                if (!access.readRegister(drive::kRegControlMode, mode, failure)) {
                    ctx.prompts.message(failure);
                    return PageWriteResult::Failed;
                }
                if (e.modeForbidden(mode)) {
                    ctx.prompts.message(res::kModeRefusal[mode]);
                    return PageWriteResult::Refused;
                }
            }
        }
    }
    // The rules judged the value with their tolerance; the page's own range is the row's label.
    if (!model.rowInRange(page, r)) {
        ctx.prompts.message(res::kBeyondRangeDialog);
        return PageWriteResult::OutOfRange;
    }
    std::uint16_t reg = 0;
    double value = 0;
    if (!pr.row.parseText(text, model.settings(), reg, value)) {
        ctx.prompts.message(res::kBeyondRangeDialog);
        return PageWriteResult::OutOfRange;
    }
    if (!WriteReported(*ctx.link, ctx.prompts, *station, pr.row.registerAddress(), reg))
        return PageWriteResult::Failed;

    model.markWritten(page, r, text);
    if (pr.row.group < kGroupSlots) {
        std::lock_guard lock(ctx.doc.tableMutex());
        ctx.doc.table.paramEdited[pr.row.group][pr.row.index] = 0;
    }
    if (ctx.refreshViews) ctx.refreshViews();
    ctx.prompts.message(res::kWriteSuccessful);
    return PageWriteResult::Written;
}

TransmitOutcome RunTransmitGroup(PageWriteContext& ctx, const editing::PageModel& model,
                                 bool stateChecks) {
    TransmitOutcome out;
    if (!ctx.link) {
        ctx.prompts.message(res::kNotConnected);
        out.result = PageWriteResult::NotConnected;
        return out;
    }
    const auto station = askStation(ctx);
    if (!station) return out;
    out.result = PageWriteResult::Failed;
    serial::CSerial& link = *ctx.link;

    if (stateChecks) {
        std::uint16_t status = 0, lock = 0;
        if (!ReadSingle(link, ctx.prompts, *station, drive::kRegStatusFirst, status)) return out;
        if (status & 1u) {
            ctx.prompts.message(res::kRunning);
            out.result = PageWriteResult::Refused;
            return out;
        }
        if (!ReadSingle(link, ctx.prompts, *station, drive::kRegLock, lock)) return out;
        if (lock == 0) {
            ctx.prompts.message(res::kLocked);
            out.result = PageWriteResult::Refused;
            return out;
        }
    }
    std::uint16_t capacity = 0, version = 0;
    if (!ReadSingle(link, ctx.prompts, *station, drive::kRegCapacity, capacity)) return out;
    if (!ReadSingle(link, ctx.prompts, *station, drive::kRegVersion, version)) return out;
    ctx.facts.modelCode = drive::ModelCodeOfCapacity(capacity);
    ctx.facts.driveVersion = static_cast<float>(drive::VersionValue(version));

    if (const auto bad = model.validate()) {
        ctx.prompts.message(res::kBeyondRangeDialog);
        out.result = PageWriteResult::OutOfRange;
        out.badRow = bad;
        return out;
    }

    GroupWriteContext gctx;
    gctx.settings = model.settings();
    gctx.facts = ctx.facts;
    std::vector<std::string> texts;
    ParamGroup records;
    {
        std::lock_guard lock(ctx.doc.tableMutex());
        texts = model.groupTexts(ctx.doc.table);
        records = ctx.doc.table.groups[model.group()];
        // The group writer leaves out what the drive's control mode does not use: the mode the
        // drive will run in is the page's 00-00 for group 00, else the project's.
        const std::string mode = model.group() == 0 ? texts[0] : ctx.doc.table.groups[0].params[0].setValue;
        gctx.facts.controlMode = std::atoi(mode.c_str());
    }
    GroupWriter writer(link, *station);
    const TransferStatus s = writer.writeValues(records, model.group(), texts, gctx, ctx.lastError,
                                                [&] { return ctx.prompts.cancelled(); });
    out.transactions = writer.transactions();
    if (s != TransferStatus::Done) {
        if (s == TransferStatus::Failed) ctx.prompts.message(ctx.lastError);
        out.result = s == TransferStatus::Failed ? PageWriteResult::Failed
                                                 : PageWriteResult::Cancelled;
        return out;
    }
    ctx.prompts.message(res::kWriteSuccessful);
    out.result = PageWriteResult::Written;
    return out;
}

}  // namespace pv::comm
