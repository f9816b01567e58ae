#include "comm/CopyModule.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "comm/ModbusFrames.h"
#include "comm/PortList.h"
#include "project/ParamAttr.h"
#include "res/CommTexts.h"
#include "res/CopyModuleTexts.h"
#include "res/EditingTexts.h"
#include "res/TransferTexts.h"
#include "serial/VirtualWire.h"

namespace pv::comm {

namespace copymodule {

namespace {

void appendCrc(std::vector<std::uint8_t>& f) {
    const std::uint16_t crc = Crc16(f.size(), f.data());
    f.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    f.push_back(static_cast<std::uint8_t>(crc >> 8));
}

void put16(std::vector<std::uint8_t>& f, unsigned v) {
    f.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    f.push_back(static_cast<std::uint8_t>(v & 0xFF));
}

bool groupPresent(const ParamTable& table, int group) {
    return group >= 0 && group < static_cast<int>(table.groups.size()) &&
           table.groups[group].defined != 0;
}

// Block 12 holds 4 registers from its register 1; block 25 its count less 4.
constexpr int kShortBlock = 12, kShortFirst = 1, kShortCount = 4;
constexpr int kTrimmedBlock = 25, kTrimmed = 4;
constexpr int kHiddenBlock = 28, kHiddenGroup = 25, kHiddenCount = 4;

}  // namespace

BlockCounts CountsOf(const ParamTable& table) {
    BlockCounts c{};
    for (int g = 0; g <= 22; ++g) {
        if (!groupPresent(table, g)) continue;
        const auto& params = table.groups[g].params;
        for (int i = static_cast<int>(params.size()) - 1; i >= 0; --i)
            if (params[i].defined) {
                c[g] = i + 1;
                break;
            }
    }
    for (int g = 23; g <= 24; ++g) {
        if (!groupPresent(table, g)) continue;
        const auto& params = table.groups[g].params;
        c[g + 2] = static_cast<int>(
            std::count_if(params.begin(), params.end(), [](const auto& r) { return r.defined; }));
    }
    c[27] = 19;
    c[28] = c[29] = groupPresent(table, kHiddenGroup) ? kHiddenCount : 0;
    return c;
}

std::array<std::uint16_t, kBlocks> BlockStarts(const BlockCounts& counts) {
    std::array<std::uint16_t, kBlocks> starts{};
    unsigned at = 0;
    for (int k = 0; k < kBlocks; ++k) {
        starts[k] = static_cast<std::uint16_t>(at);
        at += (counts[k] <= 50 || k == kShortBlock) ? 100 : 200;
    }
    return starts;
}

bool BlockCarried(int block) {
    switch (block) {
        case 9: case 14: case 15: case 17: case 23: case 24: case 27: case 29:
            return false;
        default:
            return block >= 0 && block < kBlocks;
    }
}

std::vector<Segment> Segments(const BlockCounts& counts) {
    const auto starts = BlockStarts(counts);
    std::vector<Segment> out;
    for (int k = 0; k < kBlocks; ++k) {
        if (!BlockCarried(k) || counts[k] <= 0) continue;
        int first = 0, total = counts[k];
        if (k == kShortBlock) {
            first = kShortFirst;
            total = kShortCount;
        } else if (k == kTrimmedBlock) {
            total -= kTrimmed;
        } else if (k == kHiddenBlock) {
            total = std::min(total, kHiddenCount);
        }
        if (total <= 0 || total > kMaxBlockRegisters) continue;
        for (int r = 0; r < total; r += kMaxFrameRegisters) {
            Segment s;
            s.block = k;
            s.firstRegister = first + r;
            s.count = std::min(kMaxFrameRegisters, total - r);
            s.address = static_cast<std::uint16_t>(starts[k] + 2 * s.firstRegister);
            out.push_back(s);
        }
    }
    return out;
}

int GroupOfBlock(int block) {
    if (block >= 0 && block <= 22) return block;
    if (block == 25 || block == 26) return block - 2;
    if (block == kHiddenBlock) return kHiddenGroup;
    return -1;
}

std::vector<int> ParamIndexesOfBlock(const ParamTable& table, int block, int registers) {
    std::vector<int> out(static_cast<std::size_t>(std::max(registers, 0)), -1);
    const int g = GroupOfBlock(block);
    if (!groupPresent(table, g)) return out;
    const auto& params = table.groups[g].params;
    if (block == 25 || block == 26) {
        std::size_t r = 0;
        for (int i = 0; i < static_cast<int>(params.size()) && r < out.size(); ++i)
            if (params[i].defined) out[r++] = i;
        return out;
    }
    for (int r = 0; r < registers && r < static_cast<int>(params.size()); ++r)
        if (params[r].defined) out[r] = r;
    return out;
}

std::vector<std::uint8_t> CommandFrame(std::uint8_t group, std::uint8_t code) {
    std::vector<std::uint8_t> f{kStart, group, kFuncCommand, 0x0A, code, 0x00, 0x01};
    appendCrc(f);
    return f;
}

std::vector<std::uint8_t> WriteFrame(std::uint8_t group, std::uint16_t address,
                                     const std::vector<std::uint16_t>& values) {
    std::vector<std::uint8_t> f{kStart, group, kFuncWrite};
    put16(f, address);
    put16(f, static_cast<unsigned>(values.size()));
    f.push_back(static_cast<std::uint8_t>(2 * values.size()));
    for (const auto v : values) put16(f, v);
    appendCrc(f);
    return f;
}

std::vector<std::uint8_t> ReadFrame(std::uint8_t group, std::uint16_t address, int count) {
    std::vector<std::uint8_t> f{kStart, group, kFuncRead};
    put16(f, address);
    put16(f, static_cast<unsigned>(count));
    appendCrc(f);
    return f;
}

std::optional<std::array<std::uint16_t, kNameRegisters>> NameRegisters(const std::string& name) {
    if (name.size() >= static_cast<std::size_t>(kNameBytes)) return std::nullopt;
    std::array<char, kNameBytes> bytes;
    bytes.fill(' ');
    std::memcpy(bytes.data(), name.data(), name.size());
    bytes[kNameBytes - 1] = '!';
    std::array<std::uint16_t, kNameRegisters> regs{};
    for (int i = 0; i < kNameRegisters; ++i)
        regs[i] = static_cast<std::uint16_t>((static_cast<unsigned char>(bytes[2 * i]) << 8) |
                                             static_cast<unsigned char>(bytes[2 * i + 1]));
    return regs;
}

std::string NameOfRegisters(const std::vector<std::uint16_t>& registers) {
    std::string s;
    for (const auto r : registers) {
        s.push_back(static_cast<char>(r >> 8));
        s.push_back(static_cast<char>(r & 0xFF));
    }
    if (s.size() == static_cast<std::size_t>(kNameBytes) && s.back() == '!') s.pop_back();
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
    return s;
}

}  // namespace copymodule

namespace cm = copymodule;

bool CopyModuleLink::openOn(const std::string& port) {
    if (channel_.isOpen() && port == port_) return true;
    channel_.Close();
    if (port != port_) connected_ = false;  // another port may lead to another module
    port_ = port;
    return channel_.InitComm(port, 9600, 8, 0, 1.0f, 2048, 2048) != 0;
}

void CopyModuleLink::close() {
    channel_.Close();
    connected_ = false;
}

std::vector<std::string> CopyModulePorts() {
    std::vector<std::string> ports = ListSerialPorts();
    for (const auto& name : serial::virtualPortNames())
        if (name != "SIM") ports.push_back(name);
    return ports;
}

namespace {

std::string formatGroup(const char* format, int group) {
    char buf[96];
    std::snprintf(buf, sizeof buf, format, group);
    return buf;
}

// One exchange with the module and its checks. A frame that fails is told with `failText`
// (its own words for a lost or damaged reply) or "Data error !" (a reply that does not answer
// it); either way the channel is closed.
class Exchange {
public:
    Exchange(CopyModuleLink& link, Prompts& prompts, std::uint8_t group)
        : link_(link), prompts_(prompts), group_(group) {}

    // A command; `quiet`: a failure is no message and leaves the channel open (the status).
    bool command(std::uint8_t code, const char* failText, bool quiet = false) {
        const auto f = cm::CommandFrame(group_, code);
        std::uint8_t reply[cm::kCommandReplyLength];
        const ErrType r = link_.channel().FrameSend(f.data(), f.size(), reply, sizeof reply);
        if (r != serial::ErrNone) return quiet ? false : fail(failText);
        if (!std::equal(f.begin(), f.end(), reply)) return quiet ? false : fail(res::kDataError);
        return true;
    }
    bool write(std::uint16_t address, const std::vector<std::uint16_t>& values,
               const char* failText) {
        const auto f = cm::WriteFrame(group_, address, values);
        std::uint8_t reply[cm::kWriteReplyLength];
        const ErrType r = link_.channel().FrameSend(f.data(), f.size(), reply, sizeof reply);
        if (r != serial::ErrNone) return fail(failText);
        if (!std::equal(f.begin(), f.begin() + 7, reply)) return fail(res::kDataError);
        return true;
    }
    bool read(std::uint16_t address, int count, std::vector<std::uint16_t>& values,
              const char* failText) {
        const auto f = cm::ReadFrame(group_, address, count);
        std::uint8_t reply[cm::ReadReplyLength(cm::kMaxFrameRegisters)];
        const std::size_t len = cm::ReadReplyLength(count);
        const ErrType r = link_.channel().FrameSend(f.data(), f.size(), reply, len);
        if (r != serial::ErrNone) return fail(failText);
        if (reply[0] != cm::kStart || reply[1] != group_ || reply[2] != cm::kFuncRead ||
            reply[3] != count || reply[4] != 2 * count)
            return fail(res::kDataError);
        values.clear();
        for (int i = 0; i < count; ++i)
            values.push_back(static_cast<std::uint16_t>((reply[5 + 2 * i] << 8) | reply[6 + 2 * i]));
        return true;
    }

private:
    bool fail(const char* text) {
        link_.close();
        prompts_.progressEnd();
        prompts_.message(text);
        return false;
    }
    CopyModuleLink& link_;
    Prompts& prompts_;
    std::uint8_t group_;
};

// The dialog, the port and the module's attention: shared by write and read. Done when the
// module listens; Cancelled at the dialog's Cancel; Failed after its message.
CopyStatus begin(CopyModuleLink& link, Prompts& prompts, CopyModuleDialog kind,
                 CopyModuleChoice& choice) {
    const auto answer = prompts.copyModule(kind, CopyModulePorts(), link.lastChoice);
    if (!answer) return CopyStatus::Cancelled;
    choice = *answer;
    if (choice.group < 0 || choice.group > 255) {
        prompts.message(res::kDataError);
        return CopyStatus::Failed;
    }
    if (kind == CopyModuleDialog::Write && !cm::NameRegisters(choice.name)) {
        prompts.message(res::kCopyNameTooLong);
        return CopyStatus::Failed;
    }
    if (kind == CopyModuleDialog::Read) choice.name = link.lastChoice.name;
    link.lastChoice = choice;
    if (!link.openOn(choice.port)) {
        link.close();
        prompts.message(res::kCantOpenPort);
        return CopyStatus::Failed;
    }
    Exchange x(link, prompts, static_cast<std::uint8_t>(choice.group));
    const bool awake = link.moduleConnected() && x.command(cm::kStatus, nullptr, true);
    if (!awake) {
        link.setConnected(false);
        if (!x.command(cm::kConnect, res::kCrcError)) return CopyStatus::Failed;
        link.setConnected(true);
    }
    return CopyStatus::Done;
}

}  // namespace

CopyStatus WriteToCopyModule(CopyModuleLink& link, const ParamTable& table,
                             const editing::DisplaySettings& settings, Prompts& prompts) {
    CopyModuleChoice choice;
    if (const auto s = begin(link, prompts, CopyModuleDialog::Write, choice);
        s != CopyStatus::Done)
        return s;
    const auto group = static_cast<std::uint8_t>(choice.group);

    // Every value is converted before the first frame, so that a damaged project leaves the
    // module's set untouched.
    const cm::BlockCounts counts = cm::CountsOf(table);
    const std::vector<cm::Segment> segments = cm::Segments(counts);
    std::vector<std::vector<std::uint16_t>> blockValues;
    for (const cm::Segment& s : segments) {
        const auto indexes = cm::ParamIndexesOfBlock(table, s.block, s.firstRegister + s.count);
        const int g = cm::GroupOfBlock(s.block);
        std::vector<std::uint16_t> values;
        for (int r = s.firstRegister; r < s.firstRegister + s.count; ++r) {
            std::uint16_t reg = 0;
            if (const int i = indexes[r]; i >= 0) {
                const ParamRecord& rec = table.groups[g].params[i];
                double value = 0;
                if (!editing::ParamRow::fromRecord(g, i, rec).parseText(rec.setValue, settings,
                                                                        reg, value)) {
                    prompts.message(res::kDataError);
                    return CopyStatus::Failed;
                }
            }
            values.push_back(reg);
        }
        blockValues.push_back(std::move(values));
    }

    prompts.progressBegin(formatGroup(res::kCopyWriteProgress, choice.group), 0,
                          static_cast<int>(segments.size()) + 2);
    Exchange x(link, prompts, group);
    std::vector<std::uint16_t> directory(counts.begin(), counts.end());
    if (!x.write(cm::kDirectoryAddress, directory, res::kDataError)) return CopyStatus::Failed;
    const auto name = *cm::NameRegisters(choice.name);
    if (!x.write(cm::kNameAddress, std::vector<std::uint16_t>(name.begin(), name.end()),
                 res::kCrcError))
        return CopyStatus::Failed;
    int position = 2;
    prompts.progressPosition(position);
    for (std::size_t k = 0; k < segments.size(); ++k) {
        if (prompts.cancelled()) {
            prompts.progressEnd();
            return CopyStatus::Cancelled;
        }
        if (!x.write(segments[k].address, blockValues[k], res::kDataError))
            return CopyStatus::Failed;
        prompts.progressPosition(++position);
    }
    if (!x.command(cm::kStore, res::kCrcError) || !x.command(cm::kFinish, res::kCrcError))
        return CopyStatus::Failed;
    prompts.progressEnd();
    prompts.message(res::kWriteSuccessful);
    return CopyStatus::Done;
}

CopyStatus ReadFromCopyModule(CopyModuleLink& link, const ParamTable& table, Prompts& prompts,
                              CopyModuleSet& out) {
    CopyModuleChoice choice;
    if (const auto s = begin(link, prompts, CopyModuleDialog::Read, choice); s != CopyStatus::Done)
        return s;
    const auto group = static_cast<std::uint8_t>(choice.group);
    Exchange x(link, prompts, group);

    prompts.progressBegin(formatGroup(res::kCopyReadPreparing, choice.group), 0, 1);
    if (!x.command(cm::kBeginRead, res::kDataError)) return CopyStatus::Failed;
    prompts.progressText(formatGroup(res::kCopyReadProgress, choice.group));
    std::vector<std::uint16_t> regs;
    if (!x.read(cm::kNameAddress, cm::kNameRegisters, regs, res::kDataError))
        return CopyStatus::Failed;
    out = CopyModuleSet{};
    out.group = choice.group;
    out.name = cm::NameOfRegisters(regs);
    if (!x.read(cm::kDirectoryAddress, cm::kBlocks, regs, res::kCrcError))
        return CopyStatus::Failed;
    for (int k = 0; k < cm::kBlocks; ++k) out.counts[k] = regs[k];

    const std::vector<cm::Segment> segments = cm::Segments(out.counts);
    prompts.progressRange(0, static_cast<int>(segments.size()));
    int position = 0;
    for (const cm::Segment& s : segments) {
        if (prompts.cancelled()) {
            prompts.progressEnd();
            return CopyStatus::Cancelled;
        }
        if (!x.read(s.address, s.count, regs, res::kDataError)) return CopyStatus::Failed;
        const auto indexes = cm::ParamIndexesOfBlock(table, s.block, s.firstRegister + s.count);
        const int g = cm::GroupOfBlock(s.block);
        for (int r = 0; r < s.count; ++r)
            if (const int i = indexes[s.firstRegister + r]; i >= 0)
                out.values.push_back({g, i, regs[r]});
        prompts.progressPosition(++position);
    }
    if (!x.command(cm::kFinish, res::kDataError)) return CopyStatus::Failed;
    prompts.progressEnd();
    prompts.message(res::kReadSuccessfully);
    return CopyStatus::Done;
}

namespace {

// 00-63: limits 00-12/00-13 in hertz rather than percent; it decides how they read.
void takeLimitUnit(const CopyModuleSet& set, editing::DisplaySettings& settings) {
    for (const auto& v : set.values)
        if (v.group == 0 && v.index == 63) settings.limitsInHertz = v.reg != 0;
}

std::string textOf(const ParamRecord& rec, std::uint16_t reg,
                   const editing::DisplaySettings& settings) {
    return formatRaw(rec.valueKind, rec.attr, rawFromRegister(rec.attr, reg), settings);
}

}  // namespace

int ApplyCopyModuleSet(const CopyModuleSet& set, ParamTable& table,
                       editing::DisplaySettings settings) {
    takeLimitUnit(set, settings);
    int applied = 0;
    for (const auto& v : set.values) {
        ParamRecord* rec = table.record(v.group, v.index);
        if (!rec || !rec->defined) continue;
        rec->setValue = textOf(*rec, v.reg, settings);
        ++applied;
    }
    return applied;
}

std::vector<CopyDifference> CompareWithCopyModule(const CopyModuleSet& set,
                                                  const ParamTable& table,
                                                  editing::DisplaySettings settings) {
    takeLimitUnit(set, settings);
    std::vector<CopyDifference> out;
    for (const auto& v : set.values) {
        const ParamRecord* rec = table.record(v.group, v.index);
        if (!rec || !rec->defined) continue;
        std::uint16_t pcReg = 0;
        double value = 0;
        const bool ok = editing::ParamRow::fromRecord(v.group, v.index, *rec)
                            .parseText(rec->setValue, settings, pcReg, value);
        if (ok && pcReg == v.reg) continue;
        out.push_back({FormatParamCode(v.group, v.index), rec->setValue,
                       textOf(*rec, v.reg, settings)});
    }
    return out;
}

}  // namespace pv::comm
