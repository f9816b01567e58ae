// Replies from a drive: the program's channel judges whatever bytes come back to its requests
// (length, exception replies, CRC, station and function echo) and the transfers decode what it
// lets through into parameter values, drive facts and error texts.
//
// Input: one scenario byte, one station byte, then replies, each a flags byte (bit 0: give the
// reply a good CRC, so that the decoding behind the check is reached) and a length-prefixed
// piece of bytes. A request finds no reply once the input is used up.

#include <algorithm>
#include <cstring>

#include "FuzzSupport.h"
#include "comm/CDriveSerial.h"
#include "comm/Connect.h"
#include "comm/GroupReader.h"
#include "comm/GroupWriter.h"
#include "comm/ModbusFrames.h"
#include "project/CM240Doc.h"
#include "res/ScriptedPrompts.h"

namespace {

using pv::fuzz::InputCursor;

// The drive program's channel with replies taken from the input instead of a wire: its own
// CRC check and the transport's reply validation judge them.
class ReplayLink : public pv::comm::CDriveSerial {
public:
    explicit ReplayLink(InputCursor& in) : in_(in) {}

    pv::serial::ErrType CommandSend(const std::uint8_t* request, std::size_t len,
                                    std::uint8_t* reply, std::size_t expectedLen) override {
        PV_FUZZ_CHECK(len >= 2 && expectedLen >= 5);
        if (in_.empty()) return pv::serial::ErrTimeOut;
        const bool goodCrc = in_.byte() & 1;
        const auto bytes = in_.piece();
        // A reception stops at the length asked for, as the channel's receive does.
        const std::size_t got = std::min(bytes.size(), expectedLen);
        if (got == 0) return pv::serial::ErrTimeOut;
        std::memcpy(reply, bytes.data(), got);
        if (goodCrc && got >= 2)
            pv::comm::PutCrc(reply + got - 2, pv::comm::Crc16(got - 2, reply));
        return validateReply(request, len, reply, got, expectedLen);
    }

private:
    InputCursor& in_;
};

const pv::CM240Doc& Project() {
    static const pv::CM240Doc doc = [] {
        pv::CM240Doc d(pv::fuzz::DataFolder());
        d.OnNewDocument();
        return d;
    }();
    return doc;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    PV_FUZZ_CHECK(!Project().table.groups.empty());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InputCursor in(data, size);
    const int scenario = in.byte() % 4;
    const int station = in.byte() % 32 + 1;
    ReplayLink link(in);
    std::string lastError;
    const auto& table = Project().table;
    switch (scenario) {
        case 0: {  // a group read into the read values
            static pv::ParamTable readInto = table;
            const int group = in.byte() % 24;
            pv::editing::DisplaySettings settings;
            pv::comm::GroupReader reader(link, station);
            const auto status = reader.readGroup(readInto, group, settings, lastError);
            if (status == pv::comm::TransferStatus::Failed) PV_FUZZ_CHECK(!lastError.empty());
            break;
        }
        case 1: {  // the drive-type check of Read and Write
            std::uint16_t type = 0;
            if (!pv::comm::CheckDriveType(link, station, lastError, &type))
                PV_FUZZ_CHECK(!lastError.empty());
            break;
        }
        case 2: {  // a group write
            const int group = in.byte() % 24;
            pv::comm::GroupWriteContext context;
            context.facts.controlMode = in.byte() % 4;
            context.facts.driveVersion = 1.35f;
            context.facts.modelCode = 0x35004;
            pv::comm::GroupWriter writer(link, station);
            const auto status = writer.writeGroup(table, group, context, lastError);
            if (status == pv::comm::TransferStatus::Failed) PV_FUZZ_CHECK(!lastError.empty());
            break;
        }
        default: {  // the start-up link: model, class and version of a station
            pv::ScriptedPrompts prompts;
            pv::comm::LinkState state;
            pv::comm::LinkPanes panes;
            std::string modelName;
            if (!pv::comm::StartupLink(link, prompts, station, state, panes, &modelName))
                PV_FUZZ_CHECK(!prompts.shown.empty());
            break;
        }
    }
    return 0;
}
