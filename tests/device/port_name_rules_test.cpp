#include "device/port_name_rules.h"

#include <gtest/gtest.h>

#include "device/number_text.h"

namespace kelvane {
namespace {

struct NameCase {
    const char* name;
    bool listed;
    bool adapter;
    int start;
    int length;
    const char* numberText;
};

TEST(PortNameRules, ListsPortsAndCutsTheAdaptersPortNumber) {
    const NameCase cases[] = {
        // "Comm" is not "COM": the number is cut after the COM inside the parentheses.
        {"USB-to-Serial Comm Port (COM3)", true, true, 29, 1, "3"},
        {"Prolific USB-to-Serial Comm Port (COM5)", true, true, 38, 1, "5"},
        {"USB to Serial Port (COM12)", true, true, 24, 2, "12"},
        {"Communications Port (COM1)", true, false, 0, 0, ""},
        {"usb-to-serial Comm Port (COM4)", true, false, 0, 0, ""},
        {"USB to serial Port (COM4)", true, false, 0, 0, ""},
        {"USB-to-Serial Comm Port", false, false, 0, 0, ""},
        {"Standard Com Port", false, false, 0, 0, ""},
        {"", false, false, 0, 0, ""},
        // No ")" after the number, or one before it: the text is empty.
        {"USB-to-Serial Comm Port (COM7", true, true, 29, -29, ""},
        {"USB-to-Serial) Port (COM7)", true, true, 25, -11, ""},
        // The first COM wins even outside the parentheses.
        {"COMBO USB-to-Serial (COM8)", true, true, 4, 22, "BO USB-to-Serial (COM8"},
        {"USB-to-Serial Comm Port (COMx)", true, true, 29, 1, "x"},
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(c.name);
        const PortNameVerdict verdict = readPortName(c.name);
        EXPECT_EQ(verdict.listed, c.listed);
        EXPECT_EQ(verdict.adapter, c.adapter);
        if (c.adapter) {
            EXPECT_EQ(verdict.start, c.start);
            EXPECT_EQ(verdict.length, c.length);
        }
        EXPECT_EQ(verdict.numberText, c.numberText);
    }
}

TEST(PortNameRules, AUsbSerialPortIsAPortsClassDeviceOnUsbOrFtdisBus) {
    const char* ports = "{4D36E978-E325-11CE-BFC1-08002BE10318}";
    const struct {
        const char* classGuid;
        const char* deviceId;
        bool usbSerial;
        const char* usbIds;  // the vendor and product ids kelvane-cli ports shows
    } rows[] = {
        // The adapters' own ids are rows of the WMI listing's table; these are the edges.
        {"{4d36e978-e325-11ce-bfc1-08002be10318}", "usb\\vid_1a86&pid_7523\\5", true, "1a86:7523"},
        {ports, "USBPRINT\\x", false, ""},
        {ports, "", false, ""},
        {"{4D36E978-E325-11CE-BFC1-08002BE10318}x", "USB\\VID_1A86&PID_7523", false, "1a86:7523"},
        {"", "USB\\VID_1A86&PID_7523", false, "1a86:7523"},
        {ports, "ACPI\\PNP0501\\1", false, ""},
        {ports, "USB\\VID_1A86&PID_75", true, ""},
        {ports, "USB\\VID_1A8G&PID_7523", true, ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(isUsbSerialPort(row.classGuid, row.deviceId), row.usbSerial) << row.deviceId;
        EXPECT_EQ(usbIdsOfDeviceId(row.deviceId), row.usbIds) << row.deviceId;
    }
}

TEST(PortNameRules, AScanChoosesTheLastWorkingAdapterByItsNameOrItsBus) {
    const struct Row {
        const char* what;
        std::vector<PortEntry> entries;
        std::size_t lines;
        int selected;
        int portNumber;
        std::optional<std::uint32_t> driverProblem;
        std::optional<std::string> numberError;
    } rows[] = {
        // Single adapters of each kind are rows of the WMI listing's table.
        {"bus, localised", {{"USB 串行设备 (COM17)", true}}, 1, 0, 17, {}, {}},
        {"bus, later parentheses", {{"USB Serial Port (COM4) (x)", true}}, 1, 0, 4, {}, {}},
        {"bus, no number",
         {{"USB Serial COM Port", true}, {"USB Serial (COMx)", true}},
         2,
         -1,
         0,
         {},
         {}},
        {"not on the bus", {{"USB Serial Port (COM4)", false}}, 1, -1, 0, {}, {}},
        {"last wins",
         {{"USB-SERIAL CH340 (COM3)", true},
          {"Communications Port (COM1)"},
          {"USB to Serial Port (COM12)"}},
         3,
         2,
         12,
         {},
         {}},
        // A failing driver is passed over, its code kept.
        {"driver problem",
         {{"USB Serial Port (COM4)", true}, {"USB-to-Serial Comm Port (COM5)", true, 10}},
         2,
         0,
         4,
         10U,
         {}},
        // A name-rule number that is no integer ends the reading at its line.
        {"bad number",
         {{"USB Serial Port (COM4)", true},
          {"USB-to-Serial Comm Port (COMx)"},
          {"USB to Serial Port (COM12)"}},
         2,
         0,
         4,
         {},
         std::string("x")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const AdapterScan scan = scanPortEntries(row.entries);
        EXPECT_EQ(scan.lines.size(), row.lines);
        EXPECT_EQ(scan.selectedLine, row.selected);
        EXPECT_EQ(scan.portNumber, row.portNumber);
        EXPECT_EQ(scan.driverProblem, row.driverProblem);
        EXPECT_EQ(scan.numberError, row.numberError);
    }
}

// kelvane-cli ports: each listed port, whether it is the adapter and why.
TEST(PortNameRules, APortReportSaysWhetherEachPortIsTheAdapterAndWhy) {
    const std::vector<PortEntry> entries = {
        {"Communications Port (COM1)"},
        {"Intel(R) Management Engine Interface"},  // no "COM": not a port
        {"Prolific USB-to-Serial Comm Port (COM5)", true, 0, "067b:2303"},
        {"USB-SERIAL CH340 (COM3)", true, 28, "1a86:7523"},
        {"USB Serial Port (COM300)", true},
        {"Silicon Labs CP210x USB to UART Bridge (COM7)", true, 0, "10c4:ea60"},
    };
    const struct {
        const char* name;
        std::optional<int> portNumber;
        bool adapter, chosen;
        const char* why;
    } rows[] = {
        {"Communications Port (COM1)", 1, false, false,
         "not a USB-to-serial adapter by its name or its bus; name it with --port"},
        {"Prolific USB-to-Serial Comm Port (COM5)", 5, true, false, "its name says USB-to-Serial"},
        {"USB-SERIAL CH340 (COM3)", 3, true, false,
         "its driver is not working (Windows device problem code 28): reinstall the adapter's "
         "driver"},
        {"USB Serial Port (COM300)", 300, true, false, "its port number is not from 1 to 255"},
        {"Silicon Labs CP210x USB to UART Bridge (COM7)", 7, true, true, "a serial port on USB"},
    };
    const std::vector<PortReport> reports = reportPortEntries(entries);
    ASSERT_EQ(reports.size(), std::size(rows));
    for (std::size_t i = 0; i < reports.size(); ++i) {
        SCOPED_TRACE(rows[i].name);
        EXPECT_EQ(reports[i].name, rows[i].name);
        EXPECT_EQ(reports[i].portNumber, rows[i].portNumber);
        EXPECT_EQ(reports[i].adapter, rows[i].adapter);
        EXPECT_EQ(reports[i].chosen, rows[i].chosen);
        EXPECT_EQ(reports[i].why, rows[i].why);
    }
    EXPECT_EQ(reports[1].usbIds, "067b:2303");
}

TEST(PortNameRules, PortNumberTextMustBeADecimalInteger) {
    EXPECT_EQ(portNumberFromText("5"), 5);
    EXPECT_EQ(portNumberFromText("12"), 12);
    EXPECT_EQ(portNumberFromText("0"), 0);
    for (const char* text : {"", "x", "BO USB-to-Serial (COM8", "1.5"}) {
        SCOPED_TRACE(text);
        try {
            portNumberFromText(text);
            ADD_FAILURE() << "no conversion error";
        } catch (const ConversionError& error) {
            EXPECT_EQ(std::string(error.what()),
                      std::string("'") + text + "' is not a valid integer value");
        }
    }
}

TEST(PortNameRules, PortNumbersBeyondSixteenBitsStayOutsideThePortTable) {
    // 65539 would wrap round to 3 and open COM3, a port nobody chose.
    EXPECT_EQ(portNumberFromText("65539"), 32767);
    EXPECT_EQ(portNumberFromText("-70000"), -32768);
}

}  // namespace
}  // namespace kelvane
