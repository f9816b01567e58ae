#include "sim/RegisterModel.h"

#include "drive/Registers.h"

namespace pv::sim {

RegisterArea* RegisterModel::areaOf(std::uint16_t address) const {
    for (RegisterArea* a : areas_)
        if (a->contains(address)) return a;
    return nullptr;
}

std::optional<std::uint16_t> RegisterModel::read(std::uint16_t address) const {
    const RegisterArea* area = areaOf(address);
    if (!area) return std::nullopt;
    return area->read(address);
}

std::uint8_t RegisterModel::checkWrite(std::uint16_t address, std::uint16_t value) const {
    const RegisterArea* area = areaOf(address);
    if (!area) return drive::kIllegalAddress;
    return area->checkWrite(address, value);
}

void RegisterModel::write(std::uint16_t address, std::uint16_t value) {
    RegisterArea* owner = areaOf(address);
    for (RegisterArea* a : areas_) a->noteWrite(address);
    if (owner) owner->write(address, value);
}

bool RegisterModel::toolWrite(std::uint16_t address, std::uint16_t value) {
    RegisterArea* area = areaOf(address);
    if (!area) return false;
    switch (area->toolWrite(address, value)) {
        case RegisterArea::ToolWrite::Refused:
            return false;
        case RegisterArea::ToolWrite::Stored:
            return true;
        case RegisterArea::ToolWrite::AsDrive:
            write(address, value);
            return true;
    }
    return false;
}

std::vector<std::uint8_t> RegisterModel::serve(const Request& request, bool answer) {
    if (request.function == kFunctionRead)
        return answer ? serveRead(request) : std::vector<std::uint8_t>{};
    return serveWrite(request, answer);
}

std::vector<std::uint8_t> RegisterModel::serveRead(const Request& r) {
    std::vector<std::uint16_t> values;
    values.reserve(r.count);
    for (std::uint32_t a = r.address; a < r.address + r.count; ++a) {
        const auto address = static_cast<std::uint16_t>(a);
        const RegisterArea* area = areaOf(address);
        if (!area) return exceptionReply(r.function, drive::kIllegalAddress);
        if (const std::uint8_t ex = area->checkRead(address)) return exceptionReply(r.function, ex);
        const auto v = area->read(address);
        if (!v) return exceptionReply(r.function, drive::kIllegalAddress);
        values.push_back(*v);
    }
    return readReply(values);
}

std::vector<std::uint8_t> RegisterModel::serveWrite(const Request& r, bool answer) {
    // All or nothing: every register is judged before any is written.
    for (std::size_t k = 0; k < r.values.size(); ++k)
        if (const std::uint8_t ex =
                checkWrite(static_cast<std::uint16_t>(r.address + k), r.values[k]))
            return answer ? exceptionReply(r.function, ex) : std::vector<std::uint8_t>{};
    for (std::size_t k = 0; k < r.values.size(); ++k)
        write(static_cast<std::uint16_t>(r.address + k), r.values[k]);
    return answer ? writeReply(r) : std::vector<std::uint8_t>{};
}

}  // namespace pv::sim
