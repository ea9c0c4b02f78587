// Opening the port: the port-name and line-settings tables, the settings parser,
// and the three set-up failures reported through the dialog service.
#include <gtest/gtest.h>

#include "link/in_memory_port.h"
#include "link/link.h"
#include "link/port_names.h"
#include "tests/support/scripted_peer.h"

namespace kelvane {
namespace {

TEST(PortNameTable, UsesTheDeviceNamespaceFromComTenOn) {
    const std::pair<int, std::optional<std::string>> devices[] = {
        {0, "COM1"},
        {8, "COM9"},
        {9, "\\\\.\\COM10"},
        {15, "\\\\.\\COM16"},
        // Past the table, up to Windows' highest COM number.
        {16, "\\\\.\\COM17"},
        {98, "\\\\.\\COM99"},
        {254, "\\\\.\\COM255"},
        {255, std::nullopt},
        {-1, std::nullopt}};
    for (const auto& [index, device] : devices) {
        EXPECT_EQ(portDeviceName(index), device) << index;
    }
    EXPECT_EQ(comAlias("\\\\.\\COM12"), "COM12");
    EXPECT_EQ(comAlias("COM3"), "COM3");
    const std::pair<const char*, std::optional<int>> names[] = {{"COM1", 0},
                                                                {"com5", 4},
                                                                {"COM12", 11},
                                                                {"\\\\.\\com12", 11},
                                                                {"\\\\.\\COM9", 8},
                                                                {"COM17", 16},
                                                                {"com99", 98},
                                                                {"\\\\.\\COM255", 254},
                                                                {"COM256", std::nullopt},
                                                                {"COM05", std::nullopt},
                                                                {"COM", std::nullopt},
                                                                {"COM0", std::nullopt},
                                                                {"/dev/ttyS0", std::nullopt},
                                                                {"", std::nullopt},
                                                                {"COM5 ", std::nullopt}};
    for (const auto& [name, index] : names) {
        EXPECT_EQ(portIndexOfName(name), index) << name;
    }
}

TEST(LineSettingsParser, AcceptsWhatTheSerialDriverCanDo) {
    struct Case {
        const char* text;
        LineSettings expected;
    };
    const Case cases[] = {
        {"4800,N,8,1", {4800, Parity::None, 8, StopBits::One}},
        {"38400,N,8,1", {38400, Parity::None, 8, StopBits::One}},
        {"9600,E,7,2", {9600, Parity::Even, 7, StopBits::Two}},
        {"1200,o,5,1.5", {1200, Parity::Odd, 5, StopBits::OneAndHalf}},
        {"19200,M,6,1", {19200, Parity::Mark, 6, StopBits::One}},
        {"19200,S,8,2", {19200, Parity::Space, 8, StopBits::Two}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseLineSettings(c.text), c.expected) << c.text;
    }
    for (const char* table : kLineSettingsTable) {
        ASSERT_TRUE(parseLineSettings(table)) << table;
        EXPECT_EQ(toString(*parseLineSettings(table)), table);
    }
}

TEST(LineSettingsParser, RejectsEverythingElse) {
    const char* bad[] = {
        "",           "4800",        "4800,N,8",    "4800,N,8,1,0", "0,N,8,1",    "-4800,N,8,1",
        "48OO,N,8,1", "4800,X,8,1",  "4800,NN,8,1", "4800,N,4,1",   "4800,N,9,1", "4800,N,8,3",
        "4800,N,8,",  " 4800,N,8,1", "4800;N;8;1"};
    for (const char* text : bad) {
        EXPECT_EQ(parseLineSettings(text), std::nullopt) << '"' << text << '"';
    }
}

TEST(LineSettingsTiming, ACharacterOfEightNoneOneIsTenBits) {
    EXPECT_DOUBLE_EQ(bitsPerCharacter({4800, Parity::None, 8, StopBits::One}), 10.0);
    EXPECT_DOUBLE_EQ(bitsPerCharacter({4800, Parity::Even, 8, StopBits::Two}), 12.0);
    EXPECT_EQ(characterTimeMicros({9600, Parity::None, 8, StopBits::One}), 1042);
}

// A port whose set-up steps can be made to fail one by one.
class FaultyPort final : public SerialPort {
  public:
    bool open(const std::string& name) override {
        openedName = name;
        open_ = opens;
        return open_;
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    std::optional<LineSettings> currentSettings() override {
        if (!readableSettings)
            return std::nullopt;
        return LineSettings{2400, Parity::Even, 7, StopBits::Two};
    }
    bool applySettings(const LineSettings& settings) override {
        applied.push_back(settings);
        return acceptsSettings;
    }
    std::optional<std::uint8_t> readByteWithin(Micros) override { return std::nullopt; }
    bool write(const std::uint8_t*, std::size_t) override { return open_; }
    Micros now() const override { return Micros(0); }

    bool opens = true;
    bool readableSettings = true;
    bool acceptsSettings = true;
    bool open_ = false;
    std::string openedName;
    std::vector<LineSettings> applied;
};

class OpeningThePort : public ::testing::Test {
  protected:
    FaultyPort port;
    RecordingDialogs dialogs;
    Link link{port, dialogs};
};

TEST_F(OpeningThePort, AppliesTheLineSettingOfItsIndexWithoutAMessage) {
    link.OpenPort(4, 2);
    EXPECT_EQ(port.openedName, "COM5");
    ASSERT_EQ(port.applied.size(), 1U);
    EXPECT_EQ(port.applied[0], (LineSettings{19200, Parity::None, 8, StopBits::One}));
    EXPECT_TRUE(dialogs.entries.empty());
}

TEST_F(OpeningThePort, OpensTheResolvedDeviceOfAComAlias) {
    link.setDeviceResolver([](const std::string& name) { return "/dev/ttyUSB0 for " + name; });
    link.OpenPort(11, 0);
    EXPECT_EQ(port.openedName, "/dev/ttyUSB0 for \\\\.\\COM12");
    link.OpenPort(22, 0);
    EXPECT_EQ(port.openedName, "/dev/ttyUSB0 for \\\\.\\COM23");
}

TEST_F(OpeningThePort, APortThatCannotBeOpenedIsReportedByNothing) {
    port.opens = false;
    link.OpenPort(0, 0);
    EXPECT_TRUE(dialogs.entries.empty());
    EXPECT_TRUE(port.applied.empty());
    EXPECT_FALSE(link.SendRequest(1, 4, 0x1F00, 4));
}

TEST_F(OpeningThePort, AnIndexPastCom255BehavesAsAPortThatCannotBeOpened) {
    link.OpenPort(255, 0);
    link.OpenPort(-3, 0);
    EXPECT_TRUE(port.openedName.empty());
    EXPECT_TRUE(dialogs.entries.empty());
    EXPECT_FALSE(link.portOpen());
}

TEST_F(OpeningThePort, EachSetUpFailureShowsItsMessageAndTheRemainingStepsStillRun) {
    port.readableSettings = false;
    port.acceptsSettings = false;
    link.OpenPort(0, 7);  // no such line setting: the parser rejects it
    EXPECT_EQ(dialogs.texts(),
              (std::vector<std::string>{"Error in GetCommState", "Error in BuildCommDCB",
                                        "Error in SetCommState"}));
    EXPECT_EQ(port.applied.size(), 1U);
    EXPECT_TRUE(link.portOpen());
}

TEST_F(OpeningThePort, ARejectedSettingsStringStillAppliesTheSettingsFetchedBefore) {
    link.OpenPort(0, -1);
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"Error in BuildCommDCB"});
    ASSERT_EQ(port.applied.size(), 1U);
    EXPECT_EQ(port.applied[0], (LineSettings{2400, Parity::Even, 7, StopBits::Two}));
}

TEST(InMemoryOpen, AMissingOrBusyDeviceFailsAndItsReadsReturnAtOnce) {
    VirtualClock clock;
    InMemoryPort port(clock);
    testing::ScriptedPeer device;
    port.attach("COM2", device);
    RecordingDialogs dialogs;
    Link link(port, dialogs);

    link.OpenPort(0, 0);  // COM1: nothing attached
    link.CollectResponse();
    EXPECT_EQ(clock.now(), Micros(0));

    port.setBusy("COM2", true);
    link.OpenPort(1, 0);
    EXPECT_FALSE(link.portOpen());
    port.setBusy("COM2", false);
    link.OpenPort(1, 3);
    EXPECT_TRUE(link.portOpen());
    EXPECT_EQ(port.settings().baud, 38400);
    EXPECT_TRUE(dialogs.entries.empty());
}

// Records the traffic the link reports.
struct TrafficLog final : LinkObserver {
    void requestSent(const std::array<std::uint8_t, 8>& frame, const LineSettings& line,
                     Micros at) override {
        lines.push_back("> " + std::to_string(frame[1]) + " " + toString(line) + " @" +
                        std::to_string(at.count()));
    }
    void replyCollected(const std::vector<std::uint8_t>& bytes, const LineSettings& line,
                        Micros) override {
        lines.push_back("< " + std::to_string(bytes.size()) + " " + toString(line));
    }
    std::vector<std::string> lines;
};

TEST(LinkTraffic, TheObserverSeesEachFrameAndReplyWithItsLineSetting) {
    VirtualClock clock;
    InMemoryPort port(clock);
    testing::ScriptedPeer device;
    port.attach("COM1", device);
    RecordingDialogs dialogs;
    Link link(port, dialogs);
    TrafficLog log;
    link.setObserver(&log);
    link.OpenPort(0, 1);
    device.queueReply({1, 2, 3});
    link.SendRequest(1, 4, 0x1000, 1);
    link.CollectResponse();
    // 8 bytes at 9600 baud take 8 × 1042 µs.
    EXPECT_EQ(log.lines, (std::vector<std::string>{"> 4 9600,N,8,1 @8336", "< 3 9600,N,8,1"}));
}

}  // namespace
}  // namespace kelvane
