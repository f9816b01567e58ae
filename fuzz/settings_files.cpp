// The communication settings files (acomfile.ini, kq4comfile.ini): any text leaves settings
// whose indexes name a choice of the dialog, and what was read writes back to text that reads
// the same.

#include "FuzzSupport.h"
#include "comm/SettingsFiles.h"

namespace {

using pv::comm::AdapterSettings;
using pv::comm::CommSettings;

bool Same(const CommSettings& a, const CommSettings& b) {
    return a.portNumber == b.portNumber && a.baudIndex == b.baudIndex &&
           a.dataBitsIndex == b.dataBitsIndex && a.parityIndex == b.parityIndex &&
           a.stopBitsIndex == b.stopBitsIndex && a.stationText == b.stationText;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto text = pv::fuzz::AsText(data, size);

    CommSettings comm;
    pv::comm::ParseAcomText(text, comm);
    PV_FUZZ_CHECK(comm.baudIndex >= 0 && comm.baudIndex < 6);
    PV_FUZZ_CHECK(comm.dataBitsIndex >= 0 && comm.dataBitsIndex < 2);
    PV_FUZZ_CHECK(comm.parityIndex >= 0 && comm.parityIndex < 3);
    PV_FUZZ_CHECK(comm.stopBitsIndex >= 0 && comm.stopBitsIndex < 2);
    PV_FUZZ_CHECK(pv::comm::BaudIndexOf(comm.baud()) == comm.baudIndex);
    PV_FUZZ_CHECK(pv::comm::ParityIndexOf(comm.parity()) == comm.parityIndex);
    CommSettings again;
    pv::comm::ParseAcomText(pv::comm::FormatAcomText(comm), again);
    PV_FUZZ_CHECK(Same(comm, again));

    AdapterSettings adapters;
    if (pv::comm::ParseKq4ComText(text, adapters)) {
        const std::string written = pv::comm::FormatKq4ComText(adapters);
        AdapterSettings back;
        // A file with no port and no adapter is too short to count as written.
        if (pv::comm::ParseKq4ComText(written, back)) {
            PV_FUZZ_CHECK(back.portName == adapters.portName);
            PV_FUZZ_CHECK(back.adapterText == adapters.adapterText);
            PV_FUZZ_CHECK(back.adapters == adapters.adapters);
        }
        (void)pv::comm::PortNumberForName(adapters.portName);
    }
    return 0;
}
