// --simulate without a pseudo-terminal: the link reaches the simulated transmitter of
// the named model through the adapter's own port.
#include "sim/in_process_adapter.h"

#include <gtest/gtest.h>

#include <thread>

#include "link/link.h"

namespace kelvane::sim {
namespace {

TEST(InProcessAdapter, TheLinkReadsTheNamedModelsIdentity) {
    const struct {
        const char* model;
        int modelCode;  // response byte 3 of the identity reply; -1: refused
    } rows[] = {{"", 2}, {"QTR-D", 1}, {"QTN-H", 17}, {"QTX-9", -1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.model);
        InProcessAdapter adapter;
        std::string error;
        ASSERT_EQ(adapter.start(row.model, error), row.modelCode >= 0);
        if (row.modelCode < 0) {
            EXPECT_EQ(error, "Unknown model for --simulate-model: QTX-9");
            continue;
        }
        const auto port = adapter.makePort();
        RecordingDialogs dialogs;
        Link link(*port, dialogs);
        link.setPace(Pace::Line);
        link.OpenDevice(adapter.devicePath(), 0);
        ASSERT_TRUE(link.portOpen());
        link.Drain();
        link.SendRequest(1, 4, 0x1F00, 4);
        link.CollectResponse();
        ASSERT_EQ(link.receivedCount(), 13);
        EXPECT_EQ(link.responseBuffer()[3], row.modelCode);
        EXPECT_TRUE(dialogs.entries.empty());
    }
}

// The screens collect a reply a timer tick after the request: the pause is time the
// transmitter saw pass, not part of the collection's one-second bound.
TEST(InProcessAdapter, AReplyCollectedAfterAPauseLongerThanTheBoundComesWhole) {
    InProcessAdapter adapter;
    std::string error;
    ASSERT_TRUE(adapter.start("", error));
    const auto port = adapter.makePort();
    RecordingDialogs dialogs;
    Link link(*port, dialogs);
    link.OpenDevice(adapter.devicePath(), 0);
    link.SendRequest(1, 3, 0, 9);
    std::this_thread::sleep_for(Link::kLongestCollection + std::chrono::milliseconds(50));
    link.CollectResponse();
    EXPECT_EQ(link.receivedCount(), 23);
    EXPECT_EQ(link.cappedCollections(), 0);
}

// Beside the system's port: the simulator's name opens the simulated transmitter,
// any other name the system's port, and the next open switches again.
TEST(InProcessAdapter, ThePortBesideTheSystemsOpensEachByItsName) {
    InProcessAdapter adapter;
    std::string error;
    ASSERT_TRUE(adapter.start("", error));
    VirtualClock clock;
    auto system = std::make_unique<InMemoryPort>(clock);
    Transmitter other(DeviceSettings{17});  // a QTN-H on COM3
    InMemoryDevice otherPeer(other);
    system->attach("COM3", otherPeer);
    const InMemoryPort& systemPort = *system;
    const auto port = adapter.makePortBeside(std::move(system));
    const struct {
        const char* device;
        int modelCode;  // -1: the open fails
    } rows[] = {{"SIMULATED", 2}, {"COM3", 17}, {"COM4", -1}, {"SIMULATED", 2}};
    RecordingDialogs dialogs;
    Link link(*port, dialogs);
    link.setPace(Pace::Line);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.device);
        link.OpenDevice(row.device, 0);
        ASSERT_EQ(link.portOpen(), row.modelCode >= 0);
        if (row.modelCode < 0) {
            EXPECT_EQ(port->lastOpenFailure(), OpenFailure::Absent);
            continue;
        }
        link.Drain();
        link.SendRequest(1, 4, 0x1F00, 4);
        link.CollectResponse();
        ASSERT_EQ(link.receivedCount(), 13);
        EXPECT_EQ(link.responseBuffer()[3], row.modelCode);
        link.ClosePort();
    }
    // Opening the simulator over an open COM port lets go of the COM port.
    link.OpenDevice("COM3", 0);
    ASSERT_TRUE(systemPort.isOpen());
    link.OpenDevice("SIMULATED", 0);
    EXPECT_FALSE(systemPort.isOpen());
}

}  // namespace
}  // namespace kelvane::sim
