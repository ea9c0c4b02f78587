#include "device/probe.h"

#include <gtest/gtest.h>

#include "link/in_memory_port.h"
#include "tests/support/exchange_log.h"
#include "tests/support/scripted_peer.h"

namespace kelvane {
namespace {

using testing::kQtrHIdentity;
using testing::ScriptedPeer;
using Bytes = std::vector<std::uint8_t>;

const Bytes kIdentityRead = {0x01, 0x04, 0x1F, 0x00, 0x00, 0x04, 0xF6, 0x1D};
const Bytes kTakeAddressOne = {0x00, 0x05, 0x00, 0x13, 0x00, 0x01, 0xFC, 0x1E};
const Bytes kSwitchTo19200 = {0x00, 0x06, 0x00, 0x14, 0x00, 0x02, 0x49, 0xDE};

Bytes identityReply(std::uint8_t b3, std::uint8_t b4) {
    return testing::withCrc({0x01, 0x04, 0x08, b3, b4, 0x00, 0x00, 0x00, 0x03, 0x0D, 0x41});
}

TEST(DeviceFamily, ModelByteNamesTheFamily) {
    struct Case {
        std::uint8_t b3, b4;
        DeviceFamily family;
    };
    const Case cases[] = {
        {0x0C, 0x26, DeviceFamily::Transmitter},  // register value 3110
        {0x0C, 0x27, DeviceFamily::None},
        {1, 0, DeviceFamily::Transmitter},
        {2, 5, DeviceFamily::Transmitter},
        {16, 0, DeviceFamily::None},  // the transmitter screen's re-read would take it
        {17, 0, DeviceFamily::Transmitter},
        {18, 0, DeviceFamily::Transmitter},
        {3, 0, DeviceFamily::MultiPointTransmitter},
        {7, 0, DeviceFamily::MultiPointTransmitter},
        {8, 0, DeviceFamily::None},
        {32, 0, DeviceFamily::SignalConditioner},
        {33, 0, DeviceFamily::SignalConditioner},
        {36, 0, DeviceFamily::SignalConditioner},
        {37, 0, DeviceFamily::None},
        {48, 0, DeviceFamily::None},
        {49, 0, DeviceFamily::Distributor},
        {50, 0, DeviceFamily::Isolator},
        {54, 0, DeviceFamily::Isolator},
        {55, 0, DeviceFamily::Distributor},
        {58, 0, DeviceFamily::Distributor},
        {59, 0, DeviceFamily::None},
        {0, 0, DeviceFamily::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.b3) + " " + std::to_string(c.b4));
        EXPECT_EQ(familyOf(c.b3, c.b4), c.family);
    }
}

TEST(Identification, TransmitterLeavesModelFirmwareAndSerialNumber) {
    std::array<std::uint8_t, kIdentityBytesLookedAt> reply{};
    std::copy_n(kQtrHIdentity.begin(), reply.size(), reply.begin());
    ProgramState state;
    recordIdentification(identify(reply), state);
    EXPECT_EQ(state.familyCode, 1);
    EXPECT_EQ(state.modelCode, 2);
    EXPECT_EQ(state.firmwareVersionIndex, 5);
    EXPECT_EQ(state.serialNumber, 200001u);
}

TEST(Identification, RegisterValue3110IsModelTwelveWithFirmwareIndexZero) {
    const Identification id = identify({1, 4, 8, 0x0C, 0x26, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(id.family, DeviceFamily::Transmitter);
    EXPECT_EQ(id.modelCode, 12);
    EXPECT_EQ(id.firmwareVersionIndex, 0);
    EXPECT_EQ(id.serialNumber, 0xFFFFFFFFu);
}

TEST(Identification, OtherFamiliesKeepTheModelCodeButLeaveFirmwareAndSerial) {
    ProgramState state;
    state.modelCode = 2;
    recordIdentification(identify({1, 4, 8, 33, 7, 0, 0, 0, 0, 0, 9}), state);
    EXPECT_EQ(state.familyCode, 2);
    EXPECT_EQ(state.modelCode, 2);
    EXPECT_EQ(state.firmwareVersionIndex, 7);
    EXPECT_EQ(state.serialNumber, 9u);

    ProgramState untouched;
    untouched.serialNumber = 5;
    recordIdentification(identify({1, 4, 8, 37, 7, 0, 0, 0, 0, 0, 9}), untouched);
    EXPECT_EQ(untouched.familyCode, 0);
    EXPECT_EQ(untouched.serialNumber, 5u);
}

// The probe on the in-memory link, the device attached as COM1.
class ProbeOnTheLink : public ::testing::Test {
  protected:
    ProbeOnTheLink() {
        port.attach("/dev/ttyUSB0", device);
        link.setDeviceResolver([](const std::string& name) {
            return name == "COM1" ? std::string("/dev/ttyUSB0") : std::string();
        });
        state.portNumber = 1;
        state.languageId = kLanguageEnglish;
        link.setObserver(&log);
    }
    ProbeOutcome probe() {
        ProbeSteps steps;
        steps.getSerialN = [this](std::int16_t address) { readIdentity(link, state, address); };
        steps.selectBaudLine = [this](int line) { baudLines.push_back(line); };
        return runProbe(link, state, steps);
    }

    VirtualClock clock;
    InMemoryPort port{clock};
    RecordingDialogs dialogs;
    Link link{port, dialogs};
    ScriptedPeer device;
    ProgramState state;
    std::vector<int> baudLines;
    testing::ExchangeLog log;
};

using testing::collected;
using testing::sent;

TEST_F(ProbeOnTheLink, TransmitterAnsweringAt4800EndsTheProbeWithThePortOpen) {
    device.queueReply(kQtrHIdentity);
    EXPECT_EQ(probe(), ProbeOutcome::TransmitterFound);
    ASSERT_EQ(device.sent.size(), 1u);
    EXPECT_EQ(device.sent[0].bytes, kIdentityRead);
    EXPECT_EQ(device.sent[0].line.baud, 4800);
    EXPECT_TRUE(link.portOpen());
    EXPECT_EQ(link.lineSettings().baud, 4800);
    EXPECT_EQ(state.familyCode, 1);
    EXPECT_EQ(state.deviceAddress, 1);
    EXPECT_EQ(state.modelCode, 2);
    EXPECT_EQ(state.firmwareVersionIndex, 5);
    EXPECT_EQ(state.serialNumber, 200001u);
    EXPECT_EQ(baudLines, std::vector<int>{0});
    EXPECT_TRUE(dialogs.entries.empty());
    // A drain empties the line before the identity read.
    EXPECT_EQ(log.steps,
              (std::vector<std::string>{collected(0), sent(4, 0x1F00, 4), collected(13)}));
}

TEST_F(ProbeOnTheLink, SilentLineGetsFourRecoveryPassesThenNotFound) {
    EXPECT_EQ(probe(), ProbeOutcome::DeviceNotFound);
    std::vector<std::pair<Bytes, int>> expected = {{kIdentityRead, 4800}};
    for (int baud : {4800, 9600, 19200, 38400}) {
        expected.push_back({kTakeAddressOne, baud});
        expected.push_back({kSwitchTo19200, baud});
        expected.push_back({kIdentityRead, 19200});
    }
    ASSERT_EQ(device.sent.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(device.sent[i].bytes, expected[i].first);
        EXPECT_EQ(device.sent[i].line.baud, expected[i].second);
    }
    EXPECT_EQ(baudLines, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(link.lineSettings().baud, 19200);
    EXPECT_EQ(state.familyCode, 0);

    // The whole exchange: each pass drains, broadcasts, waits out the line twice,
    // broadcasts again, waits, and reads the identity after a drain of its own.
    const std::vector<std::string> identity{collected(0), sent(4, 0x1F00, 4), collected(0)};
    std::vector<std::string> transcript = identity;
    for (int pass = 0; pass < 4; ++pass) {
        const std::vector<std::string> recovery{collected(0), sent(5, 19, 1), collected(0),
                                                collected(0), sent(6, 20, 2), collected(0)};
        transcript.insert(transcript.end(), recovery.begin(), recovery.end());
        transcript.insert(transcript.end(), identity.begin(), identity.end());
    }
    EXPECT_EQ(log.steps, transcript);
    // Every collection of a silent line is one 100 ms wait on the virtual clock.
    for (size_t i = 1; i < log.times.size(); ++i) {
        if (log.steps[i] == collected(0)) {
            EXPECT_EQ(log.times[i] - log.times[i - 1] >= kReadTimeout, true) << i;
        }
    }
}

TEST_F(ProbeOnTheLink, SignalConditionerIsRecognisedButNotOpened) {
    device.queueReply(identityReply(33, 4));
    EXPECT_EQ(probe(), ProbeOutcome::DeviceNotFound);
    EXPECT_EQ(device.sent.size(), 13u);  // the first read and four passes
    EXPECT_EQ(state.firmwareVersionIndex, 4);
    EXPECT_EQ(state.serialNumber, 200001u);
}

TEST_F(ProbeOnTheLink, DeviceLeftAt9600IsMovedTo19200ButNeverOpened) {
    // A transmitter listening at 9600 that obeys the broadcasts after its reply.
    int deviceBaud = 9600;
    device.setResponder([&](const Bytes& frame, const LineSettings& line) {
        if (line.baud != deviceBaud) {
            return PeerAnswer{};
        }
        if (frame == kSwitchTo19200) {
            deviceBaud = 19200;
        }
        if (frame == kIdentityRead) {
            return ScriptedPeer::paced(kQtrHIdentity, line);
        }
        return PeerAnswer{};  // broadcasts are not answered
    });
    EXPECT_EQ(probe(), ProbeOutcome::DeviceNotFound);
    EXPECT_EQ(deviceBaud, 19200);
    // It answered the identity reads of passes 2 to 4; the passes ran on regardless.
    EXPECT_EQ(state.familyCode, 1);
    EXPECT_EQ(state.serialNumber, 200001u);
    EXPECT_EQ(baudLines.back(), 4);
}

TEST_F(ProbeOnTheLink, ShortReplyIsNotClassifiedFromAnEarlierDevicesBytes) {
    device.queueReply(kQtrHIdentity);
    ASSERT_EQ(probe(), ProbeOutcome::TransmitterFound);
    // Nine or ten bytes: the missing ones would come from the earlier reply.
    for (size_t length : {9, 10}) {
        SCOPED_TRACE(length);
        device.queueReply(Bytes(kQtrHIdentity.begin(), kQtrHIdentity.begin() + length));
        EXPECT_EQ(probe(), ProbeOutcome::DeviceNotFound);
    }
}

TEST_F(ProbeOnTheLink, AnIdentityReplyFailingItsChecksIdentifiesNothing) {
    const auto body = [](std::uint8_t address, std::uint8_t function, std::uint8_t count) {
        return testing::withCrc(
            {address, function, count, 0x02, 0x05, 0x00, 0x00, 0x00, 0x03, 0x0D, 0x41});
    };
    Bytes badCrc = kQtrHIdentity;
    badCrc.back() ^= 0x01;
    Bytes noiseFirst = {0x00, 0x00, 0x00};  // read as QTR-D V04, serial 83886080 unchecked
    noiseFirst.insert(noiseFirst.end(), kQtrHIdentity.begin(), kQtrHIdentity.end());
    const std::pair<const char*, Bytes> cases[] = {
        {"without its CRC bytes", Bytes(kQtrHIdentity.begin(), kQtrHIdentity.begin() + 11)},
        {"a wrong CRC", badCrc},
        {"three noise bytes first", noiseFirst},
        {"another address", body(0x02, 0x04, 0x08)},
        {"another function", body(0x01, 0x03, 0x08)},
        {"another byte count", body(0x01, 0x04, 0x06)},
    };
    for (const auto& [name, reply] : cases) {
        SCOPED_TRACE(name);
        state = ProgramState{};
        state.portNumber = 1;
        device.queueReply(reply);
        EXPECT_EQ(probe(), ProbeOutcome::DeviceNotFound);
        EXPECT_EQ(state.familyCode, 0);
        EXPECT_EQ(state.serialNumber, 0u);
    }
}

TEST_F(ProbeOnTheLink, DeviceUnpluggedAfterASuccessfulProbeIsNotFound) {
    device.queueReply(kQtrHIdentity);
    ASSERT_EQ(probe(), ProbeOutcome::TransmitterFound);
    port.hangUp();
    EXPECT_EQ(probe(), ProbeOutcome::DeviceNotFound);
    EXPECT_EQ(state.familyCode, 0);
    EXPECT_EQ(device.sent.size(), 1u);
}

TEST_F(ProbeOnTheLink, SilentDeviceAfterASuccessfulProbeIsNotFound) {
    device.queueReply(kQtrHIdentity);
    ASSERT_EQ(probe(), ProbeOutcome::TransmitterFound);
    EXPECT_EQ(probe(), ProbeOutcome::DeviceNotFound);
    EXPECT_EQ(device.sent.size(), 14u);
}

// A port whose line never falls silent: a byte every 2 ms, for ever (a device that
// streams, or noise). It gives up after a million reads so that a collection that
// waits for silence shows up as a failure instead of a hung test.
class ChatteringPort final : public SerialPort {
  public:
    bool open(const std::string&) override { return opened = true; }
    void close() override { opened = false; }
    bool isOpen() const override { return opened; }
    std::optional<LineSettings> currentSettings() override { return LineSettings{}; }
    bool applySettings(const LineSettings&) override { return true; }
    std::optional<std::uint8_t> readByteWithin(Micros) override {
        if (!opened || gaveUp) {
            return std::nullopt;
        }
        if (++readsInARow > 1'000'000) {
            gaveUp = true;
            return std::nullopt;
        }
        clock += Micros(2000);
        return std::uint8_t{0x55};
    }
    bool write(const std::uint8_t*, std::size_t) override {
        ++framesWritten;
        readsInARow = 0;
        return opened;
    }
    Micros now() const override { return clock; }

    bool opened = false;
    bool gaveUp = false;
    long readsInARow = 0;
    int framesWritten = 0;
    Micros clock{0};
};

TEST(ProbeOnAChatteringLine, EndsAfterTheFirstAttemptWithoutBroadcastingIntoTheStream) {
    ChatteringPort port;
    RecordingDialogs dialogs;
    Link link(port, dialogs);
    ProgramState state;
    state.portNumber = 1;
    ProbeSteps steps;
    std::vector<int> baudLines;
    steps.getSerialN = [&](std::int16_t address) { readIdentity(link, state, address); };
    steps.selectBaudLine = [&](int line) { baudLines.push_back(line); };
    EXPECT_EQ(runProbe(link, state, steps), ProbeOutcome::DeviceNotFound);
    EXPECT_FALSE(port.gaveUp);
    // The identity read only: its drain and its collection each stop at the cap.
    EXPECT_EQ(port.framesWritten, 1);
    EXPECT_EQ(link.cappedCollections(), 2);  // 1 s, then 200 ms
    EXPECT_EQ(baudLines, (std::vector<int>{0, 4}));
}

TEST_F(ProbeOnTheLink, PortNumberAbove255IsProbedAsAPortThatCannotOpen) {
    link.setDeviceResolver([](const std::string&) { return std::string("/dev/ttyUSB0"); });
    for (std::int16_t number : {256, 32767, 0, -5}) {
        SCOPED_TRACE(number);
        state.portNumber = number;
        EXPECT_EQ(probe(), ProbeOutcome::DeviceNotFound);
        EXPECT_TRUE(device.sent.empty());
        EXPECT_FALSE(link.portOpen());
    }
}

}  // namespace
}  // namespace kelvane
