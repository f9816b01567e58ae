// Golden bytes of the request frames and the CRC the drive checks them with.

#include <gtest/gtest.h>

#include <vector>

#include "comm/CDriveSerial.h"
#include "comm/ModbusFrames.h"
#include "drive/Registers.h"
#include "serial/Crc16.h"

namespace pv::comm {
namespace {

std::vector<std::uint8_t> bytes(const std::uint8_t* b, std::size_t n) {
    return {b, b + n};
}

TEST(Crc16, MatchesTheModbusCheckValues) {
    const std::uint8_t frame[] = {0x01, 0x03, 0x00, 0x00, 0x00, 0x01};
    EXPECT_EQ(0x0A84, Crc16(6, frame));
    EXPECT_EQ(0xFFFF, Crc16(0, frame));
    const std::uint8_t check[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(0x4B37, Crc16(9, check));
}

TEST(Crc16, AgreesWithTheTransportOnEveryByteAndLength) {
    // The drive side (virtual drive, transport) frames replies with its own CRC; the program's
    // CheckCRC must accept every one of them.
    std::uint8_t data[256];
    for (int i = 0; i < 256; ++i) data[i] = static_cast<std::uint8_t>(i * 37 + 11);
    for (std::size_t len : {1u, 2u, 5u, 6u, 7u, 9u, 69u, 160u, 256u}) {
        SCOPED_TRACE(len);
        EXPECT_EQ(serial::crc16(data, len), Crc16(len, data));
    }
    for (int b = 0; b < 256; ++b) {
        const auto one = static_cast<std::uint8_t>(b);
        EXPECT_EQ(serial::crc16(&one, 1), Crc16(1, &one)) << b;
    }
}

TEST(ModbusFrames, ReadFrameCarriesTheCrcLowByteFirst) {
    std::uint8_t buf[8];
    EXPECT_EQ(0x0A84, BuildReadFrame(1, 0x0000, 1, buf));
    EXPECT_EQ((std::vector<std::uint8_t>{0x01, 0x03, 0x00, 0x00, 0x00, 0x01, 0x84, 0x0A}),
              bytes(buf, 8));
}

TEST(ModbusFrames, WriteFrameOfPasswordRegister) {
    std::uint8_t buf[8];
    BuildWriteFrame(5, drive::ParamRegister(13, 7), 1234, buf);
    EXPECT_EQ((std::vector<std::uint8_t>{0x05, 0x06, 0x0D, 0x07, 0x04, 0xD2, 0xB9, 0xBE}),
              bytes(buf, 8));
    EXPECT_EQ(8u, kWriteReplyLength);
}

TEST(ModbusFrames, WriteMultipleFrameCoversHeaderAndValues) {
    std::uint8_t buf[32];
    const std::uint16_t values[] = {0x0102, 0xA0B0};
    const std::size_t len = BuildWriteMultipleFrame(2, 0x2501, values, 2, buf);
    ASSERT_EQ(13u, len);
    EXPECT_EQ((std::vector<std::uint8_t>{0x02, 0x10, 0x25, 0x01, 0x00, 0x02, 0x04, 0x01, 0x02, 0xA0,
                                         0xB0}),
              bytes(buf, 11));
    const std::uint16_t crc = Crc16(11, buf);
    EXPECT_EQ(crc & 0xFF, buf[11]);
    EXPECT_EQ(crc >> 8, buf[12]);
}

TEST(ModbusFrames, ReplyLengthsAndRegisterAddresses) {
    EXPECT_EQ(69u, ReadReplyLength(32));
    EXPECT_EQ(37u, ReadReplyLength(16));
    EXPECT_EQ(0x0002, drive::ParamRegister(0, 2));
    EXPECT_EQ(258, drive::ParamRegister(1, 2));
    EXPECT_EQ(3328, drive::ParamRegister(13, 0));
    EXPECT_EQ(3335, drive::kRegPassword);
    const std::uint8_t reply[] = {1, 3, 4, 0x07, 0x40, 0x00, 0x87};
    EXPECT_EQ(0x0740, ReplyRegister(reply, 0));
    EXPECT_EQ(135, ReplyRegister(reply, 1));
}

TEST(CDriveSerialCheck, ValidatesTheTrailingCrc) {
    CDriveSerial link;
    std::uint8_t frame[8];
    BuildReadFrame(1, 0, 1, frame);
    EXPECT_TRUE(link.CheckCRC(frame, 8));
    frame[7] ^= 1;
    EXPECT_FALSE(link.CheckCRC(frame, 8));
    EXPECT_FALSE(link.CheckCRC(frame, 0));
    EXPECT_FALSE(link.CheckCRC(frame, 1));
    const std::uint8_t empty[] = {0xFF, 0xFF};  // the CRC of nothing
    EXPECT_TRUE(link.CheckCRC(empty, 2));
}

}  // namespace
}  // namespace pv::comm
