#include "platform/linux/linux_ports.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "device/port_name_rules.h"

namespace fs = std::filesystem;

namespace kelvane {
namespace {

// A made-up /sys/class/tty and the device tree its links point into.
class FakeSysfs : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("kelvane-sysfs-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_ / "class/tty");
    }
    void TearDown() override {
        fs::permissions(root_ / "class/tty", fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(root_);
    }

    static void write(const fs::path& file, const std::string& text) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << text;
    }
    // A tty whose "device" link points at `deviceDir` under the fake device tree.
    void tty(const std::string& name, const std::string& deviceDir) {
        fs::create_directories(ttyDir(name));
        if (!deviceDir.empty()) {
            fs::create_directories(root_ / "devices" / deviceDir);
            fs::create_directory_symlink(root_ / "devices" / deviceDir, ttyDir(name) / "device");
        }
    }
    fs::path ttyDir(const std::string& name) const { return root_ / "class/tty" / name; }
    std::string classDir() const { return (root_ / "class/tty").string(); }

    fs::path root_;
};

TEST_F(FakeSysfs, ListsHardwarePortsInDeviceNameOrderWithUsbProductTextsAndIds) {
    tty("tty0", "");
    tty("ptmx", "");
    tty("ttyS0", "platform/serial8250/tty0");
    write(ttyDir("ttyS0") / "type", "4\n");
    tty("ttyS1", "platform/serial8250/tty1");
    write(ttyDir("ttyS1") / "type", "0\n");    // a placeholder without a UART
    tty("ttyS2", "platform/serial8250/tty2");  // type unreadable: not listed
    tty("ttyUSB10", "usb1/1-2/1-2:1.0/ttyUSB10");
    tty("ttyUSB2", "usb1/1-1/1-1:1.0/ttyUSB2");
    write(root_ / "devices/usb1/1-1/product", "FT232R USB UART\n");
    tty("ttyACM0", "usb1/1-3/1-3:1.0");
    write(root_ / "devices/usb1/1-3/product", "Pico\n");
    write(root_ / "devices/usb1/1-3/idVendor", "2e8a\n");
    write(root_ / "devices/usb1/1-3/idProduct", "000a\n");
    tty("ttyAMA0", "platform/fe201000.serial");

    SysfsDeviceSource source(classDir(), "/dev");
    const DeviceListing listing = source.listDevices();
    ASSERT_FALSE(listing.error);
    std::vector<std::string> paths;
    for (const SerialDevice& device : listing.devices) {
        paths.push_back(device.path);
    }
    EXPECT_EQ(paths, (std::vector<std::string>{"/dev/ttyACM0", "/dev/ttyAMA0", "/dev/ttyS0",
                                               "/dev/ttyUSB2", "/dev/ttyUSB10"}));
    EXPECT_TRUE(listing.devices[0].usbAdapter);
    EXPECT_EQ(listing.devices[0].product, "Pico");
    EXPECT_EQ(listing.devices[0].usbIds, "2e8a:000a");
    EXPECT_EQ(listing.devices[3].usbIds, "") << "no idVendor file: ids unknown";
    EXPECT_FALSE(listing.devices[1].usbAdapter);
    EXPECT_FALSE(listing.devices[2].usbAdapter);
    EXPECT_EQ(listing.devices[3].product, "FT232R USB UART");
    EXPECT_TRUE(listing.devices[4].usbAdapter);
    EXPECT_EQ(listing.devices[4].product, "");
}

TEST_F(FakeSysfs, AnAdapterWithoutProductTextIsNotNamedAfterItsHub) {
    // The USB device (it has idVendor) carries no product text; the root hub above it
    // does, and is no part of the adapter.
    tty("ttyUSB0", "usb1/1-4/1-4:1.0/ttyUSB0");
    write(root_ / "devices/usb1/1-4/idVendor", "1a86\n");
    write(root_ / "devices/usb1/idVendor", "1d6b\n");
    write(root_ / "devices/usb1/product", "xHCI Host Controller\n");
    const DeviceListing listing = SysfsDeviceSource(classDir(), "/dev").listDevices();
    ASSERT_EQ(listing.devices.size(), 1u);
    EXPECT_TRUE(listing.devices[0].usbAdapter);
    EXPECT_EQ(listing.devices[0].product, "");
    EXPECT_EQ(listing.devices[0].usbIds, "") << "no idProduct: ids unknown";
    EXPECT_EQ(plugAndPlayName(listing.devices[0], 1),
              "ttyUSB0 USB-to-Serial Comm Port (COM1) /dev/ttyUSB0");
}

TEST_F(FakeSysfs, AnUnreadableDeviceListIsReportedNotTakenAsNoPorts) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads any directory";
    }
    fs::permissions(root_ / "class/tty", fs::perms::none);
    const DeviceListing listing = SysfsDeviceSource(classDir(), "/dev").listDevices();
    ASSERT_TRUE(listing.error);
    EXPECT_NE(listing.error->find(classDir()), std::string::npos);
}

TEST_F(FakeSysfs, AMissingOrBrokenDeviceListIsReported) {
    write(root_ / "not-a-directory", "");
    for (const fs::path& dir : {root_ / "missing", root_ / "not-a-directory"}) {
        SCOPED_TRACE(dir.string());
        const DeviceListing listing = SysfsDeviceSource(dir.string()).listDevices();
        EXPECT_TRUE(listing.error);
        EXPECT_TRUE(listing.devices.empty());
    }
}

TEST(PlugAndPlayName, NamesReadByTheScanRulesGiveBackTheAlias) {
    struct Case {
        SerialDevice device;
        int com;
        const char* name;
        bool adapter;
    };
    const Case cases[] = {
        {{"/dev/ttyUSB0", true, "FT232R USB UART"},
         1,
         "FT232R USB UART USB-to-Serial Comm Port (COM1) /dev/ttyUSB0",
         true},
        {{"/dev/ttyUSB0", true, ""},
         12,
         "ttyUSB0 USB-to-Serial Comm Port (COM12) /dev/ttyUSB0",
         true},
        {{"/dev/ttyS0", false, ""}, 3, "Communications Port (COM3) /dev/ttyS0", false},
        // Product texts cannot move the cut: no "COM" and no parentheses of their own.
        {{"/dev/ttyUSB1", true, "COM Adapter (v2)"},
         4,
         "Com Adapter  v2 USB-to-Serial Comm Port (COM4) /dev/ttyUSB1",
         true},
        {{"/dev/ttyACM0", true, "  \n"},
         5,
         "ttyACM0 USB-to-Serial Comm Port (COM5) /dev/ttyACM0",
         true},
        // A --port device without a product text is named after its device.
        {{"/dev/pts/3", true, ""}, 2, "pts/3 USB-to-Serial Comm Port (COM2) /dev/pts/3", true},
        {{"/tmp/COM(1)", true, ""}, 6, "Com 1 USB-to-Serial Comm Port (COM6) /tmp/COM(1)", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string name = plugAndPlayName(c.device, c.com);
        EXPECT_EQ(name, c.name);
        const PortNameVerdict verdict = readPortName(name);
        EXPECT_TRUE(verdict.listed);
        EXPECT_EQ(verdict.adapter, c.adapter);
        if (c.adapter) {
            EXPECT_EQ(portNumberFromText(verdict.numberText), c.com);
        }
    }
}

TEST(PortAliases, AliasesFollowDeviceOrderThenTheExtraAdapters) {
    PortAliases aliases;
    aliases.assign(
        {{"/dev/ttyUSB1", true, "B"}, {"/dev/ttyS0", false, ""}, {"/dev/ttyUSB0", true, "A"}},
        {{"/dev/pts/7", true, ""}, {"/dev/ttyS0", true, ""}});
    ASSERT_EQ(aliases.entries().size(), 4u);
    EXPECT_EQ(aliases.entries()[0].path, "/dev/ttyS0");
    // Named on the command line: listed as an adapter in place, not twice.
    EXPECT_EQ(aliases.entries()[0].plugAndPlayName,
              "ttyS0 USB-to-Serial Comm Port (COM1) /dev/ttyS0");
    EXPECT_EQ(aliases.entries()[1].path, "/dev/ttyUSB0");
    EXPECT_EQ(aliases.entries()[2].path, "/dev/ttyUSB1");
    EXPECT_EQ(aliases.entries()[3].alias, "COM4");
    EXPECT_EQ(aliases.entries()[3].path, "/dev/pts/7");

    EXPECT_EQ(aliases.resolve("COM2"), "/dev/ttyUSB0");
    EXPECT_EQ(aliases.resolve("COM4"), "/dev/pts/7");
    EXPECT_EQ(aliases.resolve("COM5"), "");
}

TEST(PortAliases, TheTableFormOfHighPortsResolvesToo) {
    std::vector<SerialDevice> devices;
    for (int i = 0; i < 17; ++i) {
        devices.push_back({"/dev/ttyUSB" + std::to_string(i), true, ""});
    }
    PortAliases aliases;
    aliases.assign(devices, {});
    EXPECT_EQ(aliases.resolve("\\\\.\\COM12"), "/dev/ttyUSB11");
    // A seventeenth port is listed under COM17, which the port-name table cannot open.
    EXPECT_EQ(aliases.entries().back().plugAndPlayName,
              "ttyUSB16 USB-to-Serial Comm Port (COM17) /dev/ttyUSB16");
}

}  // namespace
}  // namespace kelvane
