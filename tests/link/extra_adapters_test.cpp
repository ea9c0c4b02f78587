// Adapters the command line adds to a Plug-and-Play scan: their names after the
// system's, the COM number a simulated adapter takes, and the device each port opens.
#include "link/extra_adapters.h"

#include <gtest/gtest.h>

#include "tests/support/port_entries.h"

namespace kelvane {
namespace {

class FixedNames final : public PortNameSource {
  public:
    PortNameListing listing;
    PortNameListing listNames() override { return listing; }
    std::string resolve(const std::string& portName) const override { return portName; }
};

TEST(WithExtraAdapters, ListsEachExtraAfterTheSystemsNamesAndOpensItsDevice) {
    const ExtraAdapter simulated{"Kelvane Simulator", std::nullopt, "SIMULATED"};
    const struct Row {
        std::vector<std::string> system;
        std::vector<ExtraAdapter> extras;
        std::vector<std::string> added;
        std::map<std::string, std::string> opens;  // port-name entry → device
    } rows[] = {
        {{},
         {simulated},
         {"Kelvane Simulator USB-to-Serial Comm Port (COM16)"},
         {{"\\\\.\\COM16", "SIMULATED"}, {"COM1", "COM1"}}},
        {{"Communications Port (COM1)", "USB Serial (COM16)", "Modem (COM15) x"},
         {simulated},
         {"Kelvane Simulator USB-to-Serial Comm Port (COM14)"},
         {{"\\\\.\\COM14", "SIMULATED"}, {"\\\\.\\COM16", "\\\\.\\COM16"}}},
        // "(COM1)" is not "(COM16)": only a whole number counts as taken.
        {{"Port (COM1)", "Port (COM160)"},
         {simulated},
         {"Kelvane Simulator USB-to-Serial Comm Port (COM16)"},
         {}},
        // --port COM5 and COM16, then the simulator; the --port names count as taken.
        {{},
         {{"", 4, ""}, {"", 15, ""}, simulated},
         {"USB-to-Serial Comm Port (COM5)", "USB-to-Serial Comm Port (COM16)",
          "Kelvane Simulator USB-to-Serial Comm Port (COM15)"},
         {{"COM5", "COM5"}, {"\\\\.\\COM15", "SIMULATED"}}},
        // A port past the table opens by its device-namespace name.
        {{},
         {{"", 22, ""}},
         {"USB-to-Serial Comm Port (COM23)"},
         {{"\\\\.\\COM23", "\\\\.\\COM23"}}},
    };
    for (const Row& row : rows) {
        FixedNames system;
        system.listing.names.assign(row.system.begin(), row.system.end());
        WithExtraAdapters names(system, row.extras);
        std::vector<std::string> expected = row.system;
        expected.insert(expected.end(), row.added.begin(), row.added.end());
        EXPECT_EQ(namesOf(names.listNames()), expected);
        for (const auto& [entry, device] : row.opens) {
            EXPECT_EQ(names.resolve(entry), device) << entry;
        }
    }
}

TEST(WithExtraAdapters, AFailedSystemListingLeavesOnlyThePortsTheCommandLineGave) {
    FixedNames broken;
    broken.listing.names = {PortEntry("Communications Port (COM1)")};
    broken.listing.error = "Could not connect. Error code = 80041003";
    const struct Row {
        std::vector<ExtraAdapter> extras;
        std::vector<std::string> names;
        bool failed;  // the listing ends the scan; otherwise its message is a notice
    } rows[] = {
        {{}, {}, true},
        {{{"", 22, ""}}, {"USB-to-Serial Comm Port (COM23)"}, false},
        {{{"Kelvane Simulator", std::nullopt, "SIMULATED"}},
         {"Kelvane Simulator USB-to-Serial Comm Port (COM16)"},
         false},
    };
    for (const Row& row : rows) {
        WithExtraAdapters names(broken, row.extras);
        const PortNameListing listing = names.listNames();
        if (!row.failed) {
            EXPECT_EQ(namesOf(listing), row.names);
        }
        EXPECT_EQ(row.failed ? listing.error : listing.notice, broken.listing.error);
        EXPECT_EQ(row.failed ? listing.notice : listing.error, std::nullopt);
    }
}

}  // namespace
}  // namespace kelvane
