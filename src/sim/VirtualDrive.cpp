#include "sim/VirtualDrive.h"

#include <algorithm>

namespace pv::sim {

VirtualDrive::VirtualDrive(int station, std::uint32_t modelCode,
                           std::shared_ptr<const ParamRegisterTable> params,
                           std::shared_ptr<SimClock> clock)
    : station_(station), state_(modelCode, std::move(params), std::move(clock)) {
    for (RegisterArea* area : std::initializer_list<RegisterArea*>{
             &params_, &hidden_, &control_, &status_, &plcProgram_, &plcControl_})
        registers_.add(*area);
}

std::vector<std::uint8_t> VirtualDrive::serveLocked(const DecodedRequest& d, bool answer) {
    switch (d.action) {
        case DecodedRequest::Action::Serve:
            return registers_.serve(d.request, answer);
        case DecodedRequest::Action::Refuse:
            return answer ? exceptionReply(d.request.function, d.exception)
                          : std::vector<std::uint8_t>{};
        case DecodedRequest::Action::Ignore:
            break;
    }
    return {};
}

std::vector<std::uint8_t> VirtualDrive::handle(const std::uint8_t* pdu, std::size_t len) {
    if (len == 0) return {};
    Lock lock(mutex_);
    state_.advanceMotor();
    return serveLocked(decodeRequest(pdu, len), true);
}

std::vector<std::uint8_t> VirtualDrive::serve(const DecodedRequest& request, bool answer) {
    Lock lock(mutex_);
    state_.advanceMotor();
    return serveLocked(request, answer);
}

void VirtualDrive::handleBroadcast(const std::uint8_t* pdu, std::size_t len) {
    if (len == 0) return;
    Lock lock(mutex_);
    state_.advanceMotor();
    // Only writes mean anything to everyone at once.
    if (pdu[0] == kFunctionWriteOne || pdu[0] == kFunctionWriteMany)
        serveLocked(decodeRequest(pdu, len), false);
}

std::optional<std::uint16_t> VirtualDrive::readRegister(std::uint16_t address) {
    Lock lock(mutex_);
    state_.advanceMotor();
    return registers_.read(address);
}

bool VirtualDrive::writeRegister(std::uint16_t address, std::uint16_t value) {
    Lock lock(mutex_);
    state_.advanceMotor();
    return registers_.toolWrite(address, value);
}

std::optional<std::string> VirtualDrive::valueOf(std::string_view code) {
    const auto address = registerOfCode(code);
    if (!address) return std::nullopt;
    Lock lock(mutex_);
    state_.advanceMotor();
    if (hidden_.contains(*address)) return std::to_string(*hidden_.read(*address));
    if (!params_.contains(*address)) return std::nullopt;
    return params_.def(*address)->format(*params_.read(*address));
}

bool VirtualDrive::setValue(std::string_view code, std::string_view text) {
    const auto address = registerOfCode(code);
    if (!address) return false;
    Lock lock(mutex_);
    if (hidden_.contains(*address)) {
        RegisterDef plain;
        const auto raw = plain.parse(text);
        if (!raw) return false;
        registers_.write(*address, *raw);
        return true;
    }
    if (!params_.contains(*address) || *address == drive::kRegPassword) return false;
    const RegisterDef& d = *params_.def(*address);
    const auto raw = d.parse(text);
    if (!raw || !d.accepts(*raw, state_.limitsInHertz())) return false;
    params_.toolWrite(*address, *raw);
    return true;
}

std::vector<std::pair<std::uint16_t, std::uint16_t>> VirtualDrive::parameterRegisters() {
    Lock lock(mutex_);
    state_.advanceMotor();
    std::vector<std::pair<std::uint16_t, std::uint16_t>> out;
    for (const RegisterDef& d : state_.params->all())
        out.emplace_back(d.address, *params_.read(d.address));
    for (int g = kHiddenFirst; g <= kHiddenLast; ++g)
        for (int i = 0; i < kHiddenGroupSize; ++i) {
            const auto a = static_cast<std::uint16_t>(g * 256 + i);
            out.emplace_back(a, *hidden_.read(a));
        }
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::string> VirtualDrive::differences(VirtualDrive& a, VirtualDrive& b,
                                                   bool writableOnly) {
    const auto ra = a.parameterRegisters();
    const auto rb = b.parameterRegisters();
    std::vector<std::string> out;
    std::size_t j = 0;
    for (const auto& [address, value] : ra) {
        while (j < rb.size() && rb[j].first < address) ++j;
        const bool inB = j < rb.size() && rb[j].first == address;
        if (writableOnly) {
            const RegisterDef* d = a.params_.def(address);
            if ((d && d->readOnly()) || address == drive::kRegPassword) continue;
        }
        if (!inB || rb[j].second != value) out.push_back(codeOfRegister(address));
    }
    return out;
}

void VirtualDrive::setVersion(std::uint16_t raw) {
    Lock lock(mutex_);
    state_.setParamRaw(drive::kRegVersion, raw);
}

void VirtualDrive::setStrictRules(bool strict) {
    Lock lock(mutex_);
    state_.strictRules = strict;
}

void VirtualDrive::setClock(std::shared_ptr<SimClock> clock) {
    Lock lock(mutex_);
    if (!clock) return;
    state_.setClock(std::move(clock));
}

void VirtualDrive::powerCycle() {
    Lock lock(mutex_);
    state_.command = 0;
    state_.frequency = 0;
    state_.outputs = 0;
    state_.plcRun = 0;
    state_.motor.stopNow();
    state_.paramPassword.powerCycle();
    state_.plcPassword.powerCycle();
    state_.lastAdvance = state_.clock->now();
}

void VirtualDrive::trip(std::uint16_t code) {
    Lock lock(mutex_);
    state_.advanceMotor();
    state_.faultCode = code;
    state_.motor.stopNow();
    state_.updateMotorCommand();
}

VirtualDrive::MotorSnapshot VirtualDrive::motor() {
    Lock lock(mutex_);
    state_.advanceMotor();
    return {state_.motor.running(), state_.motor.reverse(), state_.motor.output(),
            state_.motor.target()};
}

}  // namespace pv::sim
