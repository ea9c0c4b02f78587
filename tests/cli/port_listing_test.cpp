// kelvane-cli ports against a listing and an in-memory port: each port's line (name,
// device, USB ids, whether it is the adapter and why, and why it cannot be opened).
#include "cli/port_listing.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "cli/transmitter_session.h"
#include "link/in_memory_port.h"
#include "tests/support/scripted_peer.h"

namespace kelvane::cli {
namespace {

class FixedPorts final : public PortNameSource {
  public:
    explicit FixedPorts(std::vector<PortEntry> entries) : entries_(std::move(entries)) {}
    PortNameListing listNames() override { return {entries_, std::nullopt, std::nullopt}; }
    std::string resolve(const std::string& portName) const override {
        return "/dev/tty" + portName;
    }

  private:
    std::vector<PortEntry> entries_;
};

// What each system advises for a refused and a held port.
#ifdef _WIN32
const std::string kRefused =
    "permission denied. Ask your administrator whether your account may use the adapter's COM "
    "port.";
const std::string kBusy =
    "another program is using it; close the program that holds it (a terminal or another "
    "configuration tool), then try again";
#else
const std::string kRefused =
    "permission denied. Add your user to the dialout group: sudo usermod -aG dialout $USER, "
    "then log in again.";
const std::string kBusy = "another program is using it";
#endif

TEST(PortListing, EachPortSaysWhetherItIsTheAdapterAndWhyItCannotBeOpened) {
    enum class Open { Yes, Refused, Busy };
    const struct {
        PortEntry entry;
        Open open;
        std::string line;
    } rows[] = {
        {{"Communications Port (COM1) /dev/ttyS0"},
         Open::Yes,
         "\"Communications Port (COM1) /dev/ttyS0\"  /dev/ttyCOM1  -  not the adapter: not a "
         "USB-to-serial adapter by its name or its bus; name it with --port"},
        {{"FT232R USB UART USB-to-Serial Comm Port (COM2) /dev/ttyUSB0", false, 0, "0403:6001"},
         Open::Refused,
         "\"FT232R USB UART USB-to-Serial Comm Port (COM2) /dev/ttyUSB0\"  /dev/ttyCOM2  "
         "0403:6001  an adapter, not chosen (the scan takes the last): its name says "
         "USB-to-Serial; it cannot be opened: " +
             kRefused},
        {{"USB Serial Port (COM3)", true, 0, "0403:6015"},
         Open::Busy,
         "\"USB Serial Port (COM3)\"  /dev/ttyCOM3  0403:6015  the adapter: a serial port on "
         "USB; it cannot be opened: " +
             kBusy},
        {{"Bluetooth Link (COM)"},
         Open::Yes,
         "\"Bluetooth Link (COM)\"  -  -  not the adapter: "
         "not a USB-to-serial adapter by its name or its "
         "bus; name it with --port"},
    };
    VirtualClock clock;
    InMemoryPort port{clock};
    testing::ScriptedPeer peer;
    std::vector<PortEntry> entries;
    std::string expected;
    for (const auto& row : rows) {
        entries.push_back(row.entry);
        expected += row.line + "\n";
    }
    for (int n = 1; n <= 3; ++n) {
        const std::string device = "/dev/ttyCOM" + std::to_string(n);
        port.attach(device, peer);
        port.setRefused(device, rows[n - 1].open == Open::Refused);
        port.setBusy(device, rows[n - 1].open == Open::Busy);
    }
    FixedPorts source(entries);
    std::ostringstream out, err;
    EXPECT_EQ(listPorts(source, port, false, out, err), kSuccess);
    EXPECT_EQ(out.str(), expected);
    EXPECT_FALSE(port.isOpen());

    FixedPorts adapterOnly({rows[2].entry});
    std::ostringstream json;
    EXPECT_EQ(listPorts(adapterOnly, port, true, json, err), kSuccess);
    EXPECT_EQ(json.str(),
              "[\n  {\n    \"name\": \"USB Serial Port (COM3)\",\n    \"device\": "
              "\"/dev/ttyCOM3\",\n    \"usb\": \"0403:6015\",\n    \"adapter\": true,\n    "
              "\"chosen\": true,\n    \"why\": \"a serial port on USB\",\n    \"open\": \"it "
              "cannot be opened: " +
                  kBusy + "\"\n  }\n]\n");
    EXPECT_EQ(err.str(), "");
}

}  // namespace
}  // namespace kelvane::cli
