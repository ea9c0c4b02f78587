// Adapters the command line adds to a Plug-and-Play scan: their names after the
// system's, the COM number a simulated adapter takes, and the device each port opens.
#include "link/extra_adapters.h"

#include <gtest/gtest.h>

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
    };
    for (const Row& row : rows) {
        FixedNames system;
        system.listing.names = row.system;
        WithExtraAdapters names(system, row.extras);
        std::vector<std::string> expected = row.system;
        expected.insert(expected.end(), row.added.begin(), row.added.end());
        EXPECT_EQ(names.listNames().names, expected);
        for (const auto& [entry, device] : row.opens) {
            EXPECT_EQ(names.resolve(entry), device) << entry;
        }
    }

    // A failed system listing stays failed: no extras, nothing resolved to them.
    FixedNames broken;
    broken.listing.error = "Failed to initialize COM library. Error code = 80004005";
    WithExtraAdapters names(broken, {simulated});
    EXPECT_EQ(names.listNames().error, broken.listing.error);
    EXPECT_EQ(names.resolve("\\\\.\\COM16"), "\\\\.\\COM16");
}

}  // namespace
}  // namespace kelvane
