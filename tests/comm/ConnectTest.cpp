// Connect and the start-up link against virtual drives, with the user's answers scripted: what
// the user is shown, in order, and the link state left behind.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "ConnectFixture.h"
#include "comm/CDriveSerial.h"
#include "comm/Connect.h"
#include "comm/ModbusFrames.h"
#include "project/CM240Doc.h"
#include "res/ScriptedPrompts.h"
#include "serial/VirtualWire.h"
#include "sim/VirtualBus.h"

namespace pv::comm {
namespace {

constexpr std::uint32_t k201 = 0x35003;
constexpr std::uint32_t k401 = 0x35021;  // N350-401-H, 400 V

TEST_F(ConnectTest, IdentifiesTheDriveAndLinks) {
    bus->addStation(1, k2P5);
    // The panes are up before the success message, so the user reads them while it is shown.
    std::size_t messagesBeforePanes = 99;
    request.showPanes = [&](const LinkPanes& p) {
        messagesBeforePanes = prompts.shown.size();
        EXPECT_EQ("1", p.station);
        EXPECT_FALSE(p.version.empty());
    };
    ASSERT_TRUE(connect({1}, k2P5));
    EXPECT_EQ(0u, messagesBeforePanes);
    EXPECT_EQ(std::vector<std::string>{"message: Link successful !"}, prompts.shown);
    EXPECT_TRUE(state.linked);
    EXPECT_EQ(k2P5, state.modelCode);
    EXPECT_EQ(2, state.voltageClass);
    EXPECT_EQ(5, state.modelClass);
    EXPECT_EQ(std::vector<int>{135}, state.versions);
    EXPECT_EQ("1.35", panes.version);
    EXPECT_EQ("Online", panes.link);
    EXPECT_EQ("N350-2P5-H", panes.model);
    EXPECT_EQ("1", panes.station);
    EXPECT_EQ(std::vector<std::uint32_t>{k2P5}, reloaded);
    EXPECT_TRUE(fs::exists(dir / "acomfile.ini"));
    EXPECT_TRUE(link.isOpen());
}

TEST_F(ConnectTest, ListsTheSetValuesTheModelsValuesReplaced) {
    bus->addStation(1, k2P5);
    const std::string head = "Connect replaced ";
    const std::string model = " with the initial values of model N350-2P5-H:";
    std::vector<ReplacedValue> many;
    std::string first30;
    for (int i = 0; i < 32; ++i) {
        const std::string code = "02-" + std::string(i < 10 ? "0" : "") + std::to_string(i);
        many.push_back({code, std::to_string(i), std::to_string(i + 1)});
        if (i < 30)
            first30 += "\n" + code + ": " + std::to_string(i) + " -> " + std::to_string(i + 1);
    }
    const struct {
        const char* name;
        std::vector<ReplacedValue> replaced;
        std::vector<std::string> shown;
    } cases[] = {
        {"nothing replaced", {}, {"message: Link successful !"}},
        {"one",
         {{"00-14", "5.0", "10.0"}},
         {"message: Link successful !",
          "message: " + head + "1 set value" + model + "\n00-14: 5.0 -> 10.0"}},
        {"long list cut after 30",
         many,
         {"message: Link successful !",
          "message: " + head + "32 set values" + model + first30 + "\n\u2026 and 2 more"}},
    };
    for (const auto& c : cases) {
        prompts.shown.clear();
        replacements = c.replaced;
        ASSERT_TRUE(connect({1}, k2P5)) << c.name;
        EXPECT_EQ(prompts.shown, c.shown) << c.name;
    }
}

TEST(ReloadModelValues, ListsTheSetValuesThatChangedInTableOrder) {
    CM240Doc doc(std::string(PARVOLT_DATA_DIR) + "/");
    doc.OnNewDocument();
    doc.ApplyModelDefaultsFile(k2P5, true);
    EXPECT_TRUE(ReloadModelValues(doc, k2P5).empty()) << "the model's own values change nothing";

    auto* r0014 = doc.table.record(0, 14);
    auto* r0202 = doc.table.record(2, 1);
    ASSERT_TRUE(r0014 && r0202);
    const std::string want0014 = r0014->setValue, want0201 = r0202->setValue;
    r0014->setValue = "99.9";
    r0202->setValue = "1.0";
    doc.table.record(1, 2)->setValue = "1.00";  // not model-dependent: stays and is not listed
    const auto replaced = ReloadModelValues(doc, k2P5);
    ASSERT_EQ(replaced.size(), 2u);
    EXPECT_EQ(replaced[0].code, "00-14");
    EXPECT_EQ(replaced[0].before, "99.9");
    EXPECT_EQ(replaced[0].after, want0014);
    EXPECT_EQ(replaced[1].code, "02-01");
    EXPECT_EQ(replaced[1].after, want0201);
    EXPECT_EQ(doc.table.record(1, 2)->setValue, "1.00");
}

TEST_F(ConnectTest, EmptyStationListIsRefusedAndNotLinked) {
    bus->addStation(1, k2P5);
    ASSERT_FALSE(connect({}, k2P5));
    EXPECT_EQ(std::vector<std::string>{"message: The station number should not be null."},
              prompts.shown);
    EXPECT_FALSE(state.linked);
    EXPECT_FALSE(link.isOpen());
}

// A drive of another series of the same maker: the bus's drive with another type word.
class OtherSeries : public serial::VirtualPeer {
public:
    explicit OtherSeries(std::shared_ptr<sim::VirtualBus> bus) : bus_(std::move(bus)) {}
    std::vector<serial::ReplyChunk> onFrame(const std::vector<std::uint8_t>& f) override {
        if (f.size() == 8 && f[1] == 0x03 && f[2] == 0x25 && f[3] == 0x2F) {
            std::vector<std::uint8_t> r = {f[0], 0x03, 2, 0x09, 0x10};
            sim::appendCrc(r);
            return {serial::ReplyChunk{{}, r}};
        }
        return bus_->onFrame(f);
    }
    bool connected() const override { return true; }

private:
    std::shared_ptr<sim::VirtualBus> bus_;
};

TEST_F(ConnectTest, DriveOfAnotherSeriesIsRefused) {
    bus->addStation(1, k2P5);
    serial::setVirtualPeer(std::make_shared<OtherSeries>(bus));
    ASSERT_NE(0, link.InitComm("SIM", 9600, 8, 0, 2.0f));
    ASSERT_FALSE(connect({1}, k2P5));
    EXPECT_EQ(
        std::vector<std::string>{
            "message: The current inverter is not N350,the software not support."},
        prompts.shown);
    EXPECT_FALSE(link.isOpen());
}

TEST_F(ConnectTest, ModelMismatchContinuesOnOkAndStopsOnCancel) {
    const std::string question =
        "question: The N350 model is not match with Parvolt software selected model. Continue ?";
    bus->addStation(1, k401);
    prompts.questionAnswers = {true};
    ASSERT_TRUE(connect({1}, k2P5));
    EXPECT_EQ((std::vector<std::string>{question, "message: Link successful !"}), prompts.shown);
    EXPECT_EQ(k2P5, state.modelCode);  // the project's model stays the link's model
    EXPECT_EQ(std::vector<std::uint32_t>{k401}, state.stationModels);

    ScriptedPrompts cancel;
    cancel.questionAnswers = {false};
    CDriveSerial second;
    ASSERT_NE(0, second.InitComm("SIM", 9600, 8, 0, 2.0f));
    LinkState st;
    request.stations = {1};
    request.projectModel = k2P5;
    EXPECT_FALSE(Connect(second, cancel, request, st, panes));
    EXPECT_EQ(std::vector<std::string>{question}, cancel.shown);
    EXPECT_FALSE(st.linked);
    EXPECT_FALSE(second.isOpen());
}

TEST_F(ConnectTest, OnlyTheFirstOfTwoStationsIsComparedWithTheProject) {
    bus->addStation(1, k2P5);
    bus->addStation(2, k201).setVersion(1005);
    settings.stationText = "1-2";
    ASSERT_TRUE(connect({1, 2}, k2P5));
    EXPECT_EQ(std::vector<std::string>{"message: Link successful !"}, prompts.shown);
    EXPECT_EQ((std::vector<std::uint32_t>{k2P5, k201}), state.stationModels);
    EXPECT_EQ((std::vector<int>{135, 1005}), state.versions);
    EXPECT_EQ("1-2", panes.station);
}

TEST_F(ConnectTest, WithoutAProjectTheFirstDriveGivesTheModel) {
    bus->addStation(4, k401);
    ASSERT_TRUE(connect({4}, std::nullopt));
    EXPECT_EQ(k401, state.modelCode);
    EXPECT_EQ(4, state.voltageClass);
    EXPECT_EQ("N350-401-H", panes.model);
}

TEST_F(ConnectTest, FaultyRepliesDuringIdentificationAreCommunicationErrors) {
    const sim::FaultKind faults[] = {sim::FaultKind::BadCrc,        sim::FaultKind::Exception,
                                     sim::FaultKind::WrongFunction, sim::FaultKind::Truncated,
                                     sim::FaultKind::Garbage,       sim::FaultKind::Drop};
    for (auto kind : faults) {
        SCOPED_TRACE(std::string(sim::faultKindName(kind)));
        bus->addStation(1, k2P5);
        bus->faults(1).set(kind);
        ScriptedPrompts p;
        CDriveSerial l;
        l.setResponseTimeout(100ms);
        ASSERT_NE(0, l.InitComm("SIM", 9600, 8, 0, 2.0f));
        LinkState st;
        request.stations = {1};
        request.projectModel = k2P5;
        EXPECT_FALSE(Connect(l, p, request, st, panes));
        EXPECT_EQ(std::vector<std::string>{"error: Communication Error."}, p.shown);
        bus->clearFaults();
    }
}

TEST_F(ConnectTest, StartupLinkTakesTheModelFromTheDrive) {
    bus->addStation(3, k401).setVersion(99);
    std::string name;
    ASSERT_TRUE(StartupLink(link, prompts, 3, state, panes, &name));
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_TRUE(state.linked);
    EXPECT_EQ(k401, state.modelCode);
    EXPECT_EQ(4, state.voltageClass);
    EXPECT_EQ("N350-401-H", name);
    EXPECT_EQ("9.9", panes.version);
    EXPECT_EQ("3", panes.station);

    LinkState none;
    EXPECT_FALSE(StartupLink(link, prompts, 9, none, panes));
    EXPECT_EQ(std::vector<std::string>{"error: Communication Error."}, prompts.shown);
    EXPECT_FALSE(none.linked);
}

TEST_F(ConnectTest, ReceptionAbove160BytesReadsNothing) {
    bus->addStation(1, k2P5);
    std::uint8_t reply[ReadReplyLength(80)];
    EXPECT_EQ(serial::ErrTimeOut, ReadRegisters(link, 1, 0x0000, 80, reply));  // 165 bytes
    EXPECT_EQ(0, reply[0]);
    std::uint8_t small[ReadReplyLength(77)];  // 159 bytes: the largest reply the program takes
    EXPECT_EQ(serial::ErrNone, ReadRegisters(link, 1, 0x0000, 77, small));
}

TEST_F(ConnectTest, DriveTypeCheckStoresTheGroupReadText) {
    bus->addStation(1, k2P5);
    std::string lastError;
    std::uint16_t type = 0;
    ASSERT_TRUE(CheckDriveType(link, 1, lastError, &type));
    EXPECT_EQ(0x0740, type);
    const std::pair<sim::FaultKind, const char*> cases[] = {
        {sim::FaultKind::Exception, "Data error !"},
        {sim::FaultKind::BadCrc, "CRC parity error !"},
        {sim::FaultKind::Drop, "TimeOut !"},
    };
    for (const auto& [kind, text] : cases) {
        bus->faults(1).set(kind);
        EXPECT_FALSE(CheckDriveType(link, 1, lastError));
        EXPECT_EQ(text, lastError);
    }
}

}  // namespace
}  // namespace pv::comm
