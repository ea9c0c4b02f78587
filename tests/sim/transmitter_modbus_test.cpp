// The simulated transmitter as a Modbus RTU slave: read replies, write echoes,
// broadcast, frames it must ignore, exception replies, address and speed changes.
#include <gtest/gtest.h>

#include "sim/transmitter.h"
#include "tests/support/scripted_peer.h"

namespace kelvane::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;
using kelvane::testing::withCrc;

constexpr auto& request = kelvane::testing::requestFrame;

TEST(TransmitterModbus, IdentityReadGivesModelFirmwareAndSerialNumber) {
    Transmitter device;  // QTR-H, V05, serial number 200001
    EXPECT_EQ(
        device.respond(request(1, 4, 0x1F00, 4), Micros{0}),
        (Bytes{0x01, 0x04, 0x08, 0x02, 0x05, 0x00, 0x00, 0x00, 0x03, 0x0D, 0x41, 0xC4, 0x74}));
}

TEST(TransmitterModbus, FactoryConfigurationIsThermocoupleKZeroTo400) {
    Transmitter device;
    const Bytes reply = device.respond(request(1, 3, 0, 9), Micros{0});
    ASSERT_EQ(reply.size(), 23U);
    EXPECT_EQ(reply, withCrc({0x01, 0x03, 18, 0, 1, 0, 0,    0,    0,    0x01, 0x90,
                              0,    0,    0,  0, 0, 0, 0x19, 0x00, 0x7D, 0x00}));
}

TEST(TransmitterModbus, ConfigurationRegistersAreKeptAsWrittenByFunction5And6) {
    Transmitter device;
    const std::array<std::uint16_t, 9> values = {12, 1, 0xFF38, 20000, 0xFFF6, 1, 2, 123, 32767};
    for (std::uint16_t reg = 0; reg < 9; ++reg) {
        const Bytes write = request(1, reg % 2 ? 5 : 6, reg, values[reg]);
        EXPECT_EQ(device.respond(write, Micros{0}), write) << "register " << reg;
    }
    const Bytes reply = device.respond(request(1, 3, 0, 9), Micros{0});
    ASSERT_EQ(reply.size(), 23U);
    for (std::size_t reg = 0; reg < 9; ++reg) {
        EXPECT_EQ(reply[3 + 2 * reg] * 256 + reply[4 + 2 * reg], values[reg]) << "register " << reg;
    }
}

TEST(TransmitterModbus, ReadsAnyConsecutiveBlockInsideTheMap) {
    Transmitter device;
    struct Block {
        std::uint8_t function;
        std::uint16_t first;
        std::uint16_t count;
    };
    const Block blocks[] = {{3, 0, 11},     {3, 4, 3},      {3, 19, 2},     {3, 10, 1},
                            {4, 0x1000, 1}, {4, 0x1003, 4}, {4, 0x1F01, 3}, {4, 0x1006, 1}};
    for (const Block& block : blocks) {
        const Bytes reply =
            device.respond(request(1, block.function, block.first, block.count), Micros{0});
        ASSERT_EQ(reply.size(), 5U + 2U * block.count) << block.first;
        EXPECT_EQ(reply[1], block.function);
        EXPECT_EQ(reply[2], 2 * block.count);
        EXPECT_EQ(reply, withCrc(Bytes(reply.begin(), reply.end() - 2)));
    }
}

TEST(TransmitterModbus, AnswersUnknownFunctionsAndRegistersWithExceptions) {
    Transmitter device;
    struct Case {
        const char* what;
        Bytes frame;
        std::uint8_t code;
    };
    const Case cases[] = {
        {"function 1", request(1, 1, 0, 1), 1},
        {"function 16", request(1, 16, 0, 1), 1},
        {"holding register 11", request(1, 3, 11, 1), 2},
        {"block running past register 10", request(1, 3, 8, 4), 2},
        {"input register 0x1001", request(1, 4, 0x1001, 1), 2},
        {"identity block too long", request(1, 4, 0x1F00, 5), 2},
        {"holding read of an input register", request(1, 3, 0x1000, 1), 2},
        {"input read of a holding register", request(1, 4, 0, 1), 2},
        {"write to the process value", request(1, 6, 0x1000, 1), 2},
        {"write to register 11", request(1, 5, 11, 1), 2},
        {"read of no registers", request(1, 3, 0, 0), 3},
        {"read of 126 registers", request(1, 4, 0x1000, 126), 3},
        {"address 0", request(1, 6, 19, 0), 3},
        {"address 248", request(1, 6, 19, 248), 3},
        {"baud-rate code 4", request(1, 6, 20, 4), 3},
    };
    for (const Case& c : cases) {
        const Bytes reply = device.respond(c.frame, Micros{0});
        EXPECT_EQ(reply, withCrc({0x01, static_cast<std::uint8_t>(c.frame[1] | 0x80), c.code}))
            << c.what;
    }
    EXPECT_EQ(device.address(), 1);
    EXPECT_EQ(device.baudCode(), 0);
}

TEST(TransmitterModbus, IgnoresBadCrcOtherAddressesAndGarbage) {
    Transmitter device;
    Bytes badCrc = request(1, 6, 0, 5);
    badCrc[7] ^= 0x01;
    const Bytes ignored[] = {badCrc,
                             request(2, 4, 0x1F00, 4),
                             request(1, 6, 0, 5) /* cut below */,
                             {},
                             {0x01},
                             withCrc({0x01, 0x06, 0x00, 0x00, 0x00, 0x05, 0x00})};
    for (std::size_t i = 0; i < std::size(ignored); ++i) {
        Bytes frame = ignored[i];
        if (i == 2) {
            frame.pop_back();
        }
        EXPECT_TRUE(device.respond(frame, Micros{0}).empty()) << "frame " << i;
    }
    EXPECT_EQ(device.holdingRegister(0), 1) << "no ignored write reached the register";
}

TEST(TransmitterModbus, BroadcastIsAppliedAndNeverAnswered) {
    Transmitter device;
    EXPECT_TRUE(device.respond(request(0, 5, 19, 7), Micros{0}).empty());
    EXPECT_TRUE(device.respond(request(0, 6, 20, 2), Micros{0}).empty());
    EXPECT_EQ(device.address(), 7);
    EXPECT_EQ(device.baudCode(), 2);
    EXPECT_TRUE(device.respond(request(0, 4, 0x1F00, 4), Micros{0}).empty()) << "broadcast read";
    EXPECT_TRUE(device.respond(request(0, 2, 0, 1), Micros{0}).empty()) << "broadcast exception";
}

TEST(TransmitterModbus, AddressChangeTakesEffectAfterTheExchangeThatCarriesIt) {
    Transmitter device;
    const Bytes write = request(1, 6, 19, 5);
    EXPECT_EQ(device.respond(write, Micros{0}), write) << "echo from the old address";
    EXPECT_TRUE(device.respond(request(1, 4, 0x1F00, 4), Micros{0}).empty());
    EXPECT_EQ(device.respond(request(5, 3, 19, 1), Micros{0}), withCrc({5, 3, 2, 0, 5}));
}

TEST(TransmitterModbus, SpeedChangeTakesEffectAfterTheReplyWentOutAtTheOldSpeed) {
    Transmitter device;
    const Bytes write = request(1, 6, 20, 3);
    const DeviceAnswer answer = device.receive(write, lineForBaudCode(0), Micros{0});
    ASSERT_EQ(answer.bytes.size(), 8U);
    const Micros byteAt4800{characterTimeMicros(lineForBaudCode(0))};
    EXPECT_EQ(answer.bytes[1].after - answer.bytes[0].after, byteAt4800);
    EXPECT_EQ(device.lineSettings().baud, 38400);
    EXPECT_TRUE(
        device.receive(request(1, 4, 0x1F00, 4), lineForBaudCode(0), Micros{0}).bytes.empty());
    EXPECT_EQ(device.receive(request(1, 4, 0x1F00, 4), lineForBaudCode(3), Micros{0}).bytes.size(),
              13U);
}

TEST(TransmitterModbus, Function5TakesAnySixteenBitValue) {
    Transmitter device;
    for (std::uint16_t value : {0x0000, 0x0001, 0x1234, 0xFF00, 0xFFFF}) {
        const Bytes write = request(1, 5, 10, value);
        EXPECT_EQ(device.respond(write, Micros{0}), write);
        EXPECT_EQ(device.holdingRegister(10), value);
    }
}

TEST(TransmitterModbus, SerialNumberWritesTakeEffectOnCommand34) {
    Transmitter device;
    device.respond(request(1, 5, 0x1F02, 0x00BC), Micros{0});
    device.respond(request(1, 5, 0x1F03, 0x614E), Micros{0});
    EXPECT_EQ(device.serialNumber(), 200001U) << "not before command 34";
    device.respond(request(1, 5, 9, 34), Micros{0});
    EXPECT_EQ(device.serialNumber(), 12345678U);
    EXPECT_EQ(device.respond(request(1, 4, 0x1F02, 2), Micros{0}),
              withCrc({1, 4, 4, 0x00, 0xBC, 0x61, 0x4E}));
}

TEST(TransmitterModbus, RepliesAtTheLinesPaceAFewMillisecondsAfterTheRequest) {
    for (std::uint8_t code = 0; code < 4; ++code) {
        DeviceSettings settings;
        settings.baudCode = code;
        Transmitter device(settings);
        const LineSettings line = lineForBaudCode(code);
        const DeviceAnswer answer = device.receive(request(1, 3, 0, 9), line, Micros{0});
        ASSERT_EQ(answer.bytes.size(), 23U);
        const Micros byteTime{characterTimeMicros(line)};
        EXPECT_EQ(answer.bytes.front().after, kReplyDelay + byteTime) << line.baud;
        for (std::size_t i = 1; i < answer.bytes.size(); ++i) {
            EXPECT_EQ(answer.bytes[i].after - answer.bytes[i - 1].after, byteTime);
        }
        EXPECT_FALSE(answer.hangUp);
    }
}

TEST(TransmitterModbus, StaysSilentWhenTheMasterUsesAnotherLineSetting) {
    Transmitter device;
    LineSettings parity = lineForBaudCode(0);
    parity.parity = Parity::Even;
    LineSettings twoStops = lineForBaudCode(0);
    twoStops.stopBits = StopBits::Two;
    for (const LineSettings& line :
         {lineForBaudCode(1), lineForBaudCode(2), lineForBaudCode(3), parity, twoStops}) {
        const DeviceAnswer answer = device.receive(request(1, 6, 0, 9), line, Micros{0});
        EXPECT_TRUE(answer.bytes.empty()) << toString(line);
    }
    EXPECT_EQ(device.holdingRegister(0), 1) << "garbage is not applied";
}

}  // namespace
}  // namespace kelvane::sim
