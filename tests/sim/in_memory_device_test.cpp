// The project's link against the simulated transmitter on the in-memory port: the
// exchanges the screens make, on the virtual clock.
#include <gtest/gtest.h>

#include "link/in_memory_port.h"
#include "link/link.h"
#include "sim/in_memory_device.h"
#include "sim/transmitter.h"

namespace kelvane::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct LinkOnSimulator : ::testing::Test {
    void SetUp() override {
        port.attach("COM1", peer);
        link.OpenPort(0, 0);
        ASSERT_TRUE(link.portOpen());
    }
    Bytes received() const {
        const auto& buffer = link.responseBuffer();
        return Bytes(buffer.begin(), buffer.begin() + link.receivedCount());
    }
    // One exchange as the screens make it: drain, request, collect.
    void exchange(std::int16_t function, std::int16_t field1, std::int16_t field2,
                  std::int16_t address = 1) {
        link.Drain();
        link.SendRequest(address, function, field1, field2);
        link.CollectResponse();
    }

    VirtualClock clock;
    InMemoryPort port{clock};
    Transmitter device;
    InMemoryDevice peer{device};
    RecordingDialogs dialogs;
    Link link{port, dialogs};
};

TEST_F(LinkOnSimulator, IdentityReadGivesTheWorkedReply) {
    exchange(4, 0x1F00, 4);
    EXPECT_EQ(received(), (Bytes{0x01, 0x04, 0x08, 0x02, 0x05, 0x00, 0x00, 0x00, 0x03, 0x0D, 0x41,
                                 0xC4, 0x74}));
    EXPECT_EQ(link.RegisterPair(2), 200001U);
}

TEST_F(LinkOnSimulator, ConfigurationReadPassesTheCrcCheckOver21Bytes) {
    exchange(3, 0, 9);
    EXPECT_TRUE(link.ResponseCrcOk(21));
    EXPECT_EQ(link.RegisterValue(0), 1);
    EXPECT_EQ(link.SignedRegister(3), 400);
}

TEST_F(LinkOnSimulator, ConfirmedWritesChangeTheDevice) {
    link.Drain();
    EXPECT_TRUE(link.ConfirmedWrite(6, 0, 10, 1));
    EXPECT_TRUE(link.ConfirmedWrite(5, 2, -200, 1));
    EXPECT_EQ(device.holdingRegister(0), 10);
    EXPECT_EQ(device.holdingRegister(2), 0xFF38);
    exchange(3, 0, 9);
    ASSERT_TRUE(link.ResponseCrcOk(21));
    EXPECT_EQ(link.SignedRegister(2), -200);
}

TEST_F(LinkOnSimulator, ProcessValueReadPassesTheCrcCheckAndOpenSensorReadsOpen) {
    exchange(4, 0x1000, 1);
    ASSERT_TRUE(link.ResponseCrcOk(5));
    EXPECT_LT(link.SignedRegister(0), 32767);
    device.setFault(Fault::SensorOpen);
    exchange(4, 0x1000, 1);
    ASSERT_TRUE(link.ResponseCrcOk(5));
    EXPECT_EQ(link.SignedRegister(0), 32767);
}

TEST_F(LinkOnSimulator, FailedCrcAndShortRepliesFailTheChecks) {
    for (Fault fault : {Fault::BadCrc, Fault::ShortReply, Fault::NoReply}) {
        device.clearFaults();
        device.setFault(fault);
        exchange(3, 0, 9);
        EXPECT_FALSE(link.ResponseCrcOk(21)) << faultName(fault);
        link.Drain();
        EXPECT_FALSE(link.ConfirmedWrite(5, 9, 40, 1)) << faultName(fault);
    }
}

TEST_F(LinkOnSimulator, LateReplyIsMissedAndTheNextDrainTakesItOffTheLine) {
    device.setFault(Fault::LateReply);
    exchange(4, 0x1F00, 4);
    EXPECT_EQ(link.receivedCount(), 0);
    link.CollectResponse();
    EXPECT_EQ(link.receivedCount(), 13);
}

TEST_F(LinkOnSimulator, GapInReplySplitsTheReplyInTwoCollections) {
    device.setFault(Fault::GapInReply);
    exchange(3, 0, 9);
    EXPECT_GT(link.receivedCount(), 0);
    EXPECT_LT(link.receivedCount(), 23);
    EXPECT_FALSE(link.ResponseCrcOk(21));
    const int first = link.receivedCount();
    link.CollectResponse();
    EXPECT_EQ(first + link.receivedCount(), 23);
}

TEST_F(LinkOnSimulator, PulledAdapterHangsUpThePortAndItCannotBeReopened) {
    exchange(4, 0x1F00, 4);
    ASSERT_EQ(link.receivedCount(), 13);
    device.setFault(Fault::AdapterPulled);
    exchange(4, 0x1F00, 4);
    EXPECT_EQ(link.receivedCount(), 0);
    EXPECT_FALSE(link.SendRequest(1, 4, 0x1F00, 4)) << "the write fails on a dead line";
    link.OpenPort(0, 0);
    EXPECT_FALSE(link.portOpen());
}

TEST_F(LinkOnSimulator, RecoveryBroadcastMovesTheDeviceTo19200) {
    DeviceSettings settings;
    settings.address = 9;
    settings.baudCode = 1;  // lost at 9600 under another address
    Transmitter lost(settings);
    InMemoryDevice lostPeer(lost);
    port.attach("COM2", lostPeer);
    for (std::int16_t line = 0; line < 4; ++line) {
        link.OpenPort(1, line);
        link.Drain();
        link.SendRequest(0, 5, 19, 1);
        link.CollectResponse();
        EXPECT_EQ(link.receivedCount(), 0) << "a broadcast is never answered";
        link.CollectResponse();
        link.SendRequest(0, 6, 20, 2);
        link.CollectResponse();
    }
    EXPECT_EQ(lost.address(), 1);
    EXPECT_EQ(lost.baudCode(), 2);
    link.OpenPort(1, 2);
    exchange(4, 0x1F00, 4);
    EXPECT_EQ(link.receivedCount(), 13);
}

TEST_F(LinkOnSimulator, DeviceAtAnotherSpeedStaysSilent) {
    link.OpenPort(0, 1);
    exchange(4, 0x1F00, 4);
    EXPECT_EQ(link.receivedCount(), 0);
    link.OpenPort(0, 0);
    exchange(4, 0x1F00, 4);
    EXPECT_EQ(link.receivedCount(), 13);
}

}  // namespace
}  // namespace kelvane::sim
