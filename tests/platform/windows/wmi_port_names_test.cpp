// The WMI listing against a scripted query: the message each failing step ends the
// program with and the steps that must not follow it, the names kept and skipped, and
// the release and COM initialization of one listing before the next.
#include "platform/windows/wmi_port_names.h"

#include <gtest/gtest.h>

#include "device/port_name_rules.h"
#include "tests/support/port_entries.h"

#include <map>
#include <vector>

namespace kelvane {
namespace {

struct Value {
    VARTYPE type;
    const wchar_t* text = nullptr;  // the name
    const wchar_t* classGuid = nullptr;
    const wchar_t* deviceId = nullptr;
    int problem = -1;  // ConfigManagerErrorCode; none when negative
};

struct Script {
    std::map<std::string, HRESULT> results{};  // by step; S_OK when not named
    std::vector<Value> devices{};
    std::string log{};  // the steps taken
};

class ScriptedQuery final : public PlugAndPlayQuery {
  public:
    explicit ScriptedQuery(Script& script) : s_(script) {}
    HRESULT initializeCom() override { return step("initialize"); }
    void uninitializeCom() override { step("uninitialize"); }
    HRESULT initializeSecurity() override { return step("security"); }
    HRESULT createLocator() override { return step("locator"); }
    HRESULT connect() override { return step("connect"); }
    HRESULT setProxyBlanket() override { return step("blanket"); }
    HRESULT enumerateDevices() override { return next_ = 0, step("enumerate"); }
    bool nextDevice() override { return next_++ < s_.devices.size(); }
    void readProperty(const wchar_t* property, VARIANT& value) override {
        const Value& device = s_.devices[next_ - 1];
        const std::wstring name = property;
        if (name == L"Name") {
            value.vt = device.type;
            value.bstrVal = value.vt == VT_BSTR ? SysAllocString(device.text) : nullptr;
        } else if (name == L"ConfigManagerErrorCode" && device.problem >= 0) {
            value.vt = VT_I4;
            value.lVal = device.problem;
        } else if (const wchar_t* text = name == L"ClassGuid"     ? device.classGuid
                                         : name == L"PNPDeviceID" ? device.deviceId
                                                                  : nullptr) {
            value.vt = VT_BSTR;
            value.bstrVal = SysAllocString(text);
        }
    }
    void releaseAll() override { step("release"); }

  private:
    HRESULT step(const std::string& name) {
        s_.log += name + ' ';
        return s_.results.count(name) ? s_.results[name] : S_OK;
    }
    Script& s_;
    std::size_t next_ = 0;
};

const std::string kSteps = "release initialize security locator connect blanket enumerate ";

TEST(WmiPortNames, AFailingStepEndsTheListingWithItsMessage) {
    const struct {
        const char* step;
        HRESULT result;
        const char* message;
    } rows[] = {{"security", E_OUTOFMEMORY, "Failed to initialize security. Error code = 8007000E"},
                {"locator", REGDB_E_CLASSNOTREG,
                 "Failed to create IWbemLocator object. Err code = 80040154"},
                {"connect", HRESULT(0x8004100E), "Could not connect. Error code = 8004100E"},
                {"blanket", E_ACCESSDENIED, "Could not set proxy blanket. Error code = 80070005"},
                {"enumerate", HRESULT(0x80041003), "Error"},
                {"enumerate", S_FALSE, "Error"}};
    for (const auto& row : rows) {
        Script script{{{row.step, row.result}}, {{VT_BSTR, L"USB Serial Port (COM5)"}}};
        const PortNameListing listing =
            WmiPortNames(std::make_unique<ScriptedQuery>(script)).listNames();
        EXPECT_EQ(listing.error, std::optional<std::string>(row.message));
        EXPECT_TRUE(listing.names.empty());
        const std::size_t end = kSteps.find(row.step) + std::string(row.step).size() + 1;
        // Released and ended at the failure; the destructor has nothing more to end.
        EXPECT_EQ(script.log, kSteps.substr(0, end) + "release uninitialize release ") << row.step;
    }
    // Security already set for the process (a second Start) is no failure.
    Script script{{{"security", RPC_E_TOO_LATE}}, {{VT_BSTR, L"USB Serial Port (COM5)"}}};
    const PortNameListing listing =
        WmiPortNames(std::make_unique<ScriptedQuery>(script)).listNames();
    EXPECT_EQ(listing.error, std::nullopt);
    EXPECT_EQ(namesOf(listing), std::vector<std::string>{"USB Serial Port (COM5)"});
}

TEST(WmiPortNames, ResultsShowAsEightUpperCaseHexDigits) {
    const struct {
        HRESULT result;
        const char* text;
    } rows[] = {{HRESULT(0x00000005), "00000005"},
                {HRESULT(0x80041003), "80041003"},
                {HRESULT(0xFFFFFFFF), "FFFFFFFF"}};
    for (const auto& row : rows) {
        EXPECT_EQ(hresultText(row.result), row.text);
    }
}

TEST(WmiPortNames, TextNamesAreListedInWmiOrderAndOthersSkipped) {
    const struct {
        std::vector<Value> devices;
        std::vector<std::string> names;
    } rows[] = {{{{VT_BSTR, L"USB Serial Port (COM5)"}, {VT_NULL}, {VT_BSTR, L"COM1 port"}},
                 {"USB Serial Port (COM5)", "COM1 port"}},
                {{{VT_EMPTY}, {VT_I4}, {VT_BSTR, L"B"}, {VT_BSTR, L"A"}}, {"B", "A"}},
                {{{VT_BSTR, L""}, {VT_BSTR, nullptr}}, {"", ""}}};
    for (const auto& row : rows) {
        Script script{{}, row.devices};
        const PortNameListing listing =
            WmiPortNames(std::make_unique<ScriptedQuery>(script)).listNames();
        EXPECT_EQ(listing.error, std::nullopt);
        EXPECT_EQ(namesOf(listing), row.names);
        EXPECT_EQ(script.log, kSteps + "release uninitialize ");
    }
}

TEST(WmiPortNames, EveryCommonAdapterIsFoundByItsNameOrItsBus) {
    const wchar_t* ports = L"{4D36E978-E325-11CE-BFC1-08002BE10318}";
    const struct {
        Value device;
        int portNumber;  // chosen by the scan; 0: not chosen
        std::optional<std::uint32_t> driverProblem;
        const char* usbIds;  // what kelvane-cli ports shows
    } rows[] = {
        {{VT_BSTR, L"Prolific USB-to-Serial Comm Port (COM5)", ports, L"USB\\VID_067B&PID_2303\\5",
          0},
         5,
         std::nullopt,
         "067b:2303"},
        {{VT_BSTR, L"Prolific PL2303GT USB Serial COM Port (COM3)", ports,
          L"USB\\VID_067B&PID_23C3\\6&1", 0},
         3,
         std::nullopt,
         "067b:23c3"},
        {{VT_BSTR, L"USB Serial Port (COM4)", ports, L"FTDIBUS\\VID_0403+PID_6001+A50285BIA\\0000",
          0},
         4,
         std::nullopt,
         "0403:6001"},
        {{VT_BSTR, L"USB-SERIAL CH340 (COM3)", ports, L"USB\\VID_1A86&PID_7523\\5&2", 0},
         3,
         std::nullopt,
         "1a86:7523"},
        {{VT_BSTR, L"USB-Enhanced-SERIAL CH343 (COM6)", ports, L"USB\\VID_1A86&PID_55D3\\5&3", 0},
         6,
         std::nullopt,
         "1a86:55d3"},
        {{VT_BSTR, L"Silicon Labs CP210x USB to UART Bridge (COM5)", ports,
          L"USB\\VID_10C4&PID_EA60\\0001", 0},
         5,
         std::nullopt,
         "10c4:ea60"},
        {{VT_BSTR, L"USB Serial Device (COM3)", ports, L"USB\\VID_2341&PID_0043\\7", 0},
         3,
         std::nullopt,
         "2341:0043"},
        {{VT_BSTR, L"MOXA USB Serial Port (COM7)", ports, L"USB\\VID_110A&PID_1150\\8", 0},
         7,
         std::nullopt,
         "110a:1150"},
        {{VT_BSTR, L"USB Serial Port (COM23)", ports, L"FTDIBUS\\VID_0403+PID_6015+D3\\0000", 0},
         23,
         std::nullopt,
         "0403:6015"},
        // A driver that refuses the chip, a missing driver: named, never probed.
        {{VT_BSTR, L"Prolific USB-to-Serial Comm Port (COM5)", ports, L"USB\\VID_067B&PID_2303\\5",
          10},
         0,
         10,
         "067b:2303"},
        {{VT_BSTR, L"USB-SERIAL CH340 (COM3)", ports, L"USB\\VID_1A86&PID_7523\\5&2", 28},
         0,
         28,
         "1a86:7523"},
        // A built-in port, and a USB device of another class.
        {{VT_BSTR, L"Communications Port (COM1)", ports, L"ACPI\\PNP0501\\1", 0},
         0,
         std::nullopt,
         ""},
        {{VT_BSTR, L"USB Composite Device (COM9)", L"{36FC9E60-C465-11CF-8056-444553540000}",
          L"USB\\VID_1A86&PID_7523", 0},
         0,
         std::nullopt,
         "1a86:7523"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(row.device.text)));
        Script script{{}, {row.device}};
        const PortNameListing listing =
            WmiPortNames(std::make_unique<ScriptedQuery>(script)).listNames();
        const AdapterScan scan = scanPortEntries(listing.names);
        EXPECT_EQ(scan.lines.size(), 1U);
        EXPECT_EQ(scan.portNumber, row.portNumber);
        EXPECT_EQ(scan.selectedLine, row.portNumber ? 0 : -1);
        EXPECT_EQ(scan.driverProblem, row.driverProblem);
        EXPECT_EQ(listing.names.at(0).usbIds, row.usbIds);
    }
}

TEST(WmiPortNames, TheNextListingFirstReleasesAndEndsOnlyTheComTheLastOneStarted) {
    const struct {
        std::map<std::string, HRESULT> first;  // the first listing's results
        const char* secondStarts;
    } rows[] = {{{}, "release uninitialize initialize "},
                {{{"initialize", S_FALSE}}, "release uninitialize initialize "},
                {{{"initialize", RPC_E_CHANGED_MODE}}, "release initialize "},
                {{{"connect", E_FAIL}}, "release initialize "}};  // ended at the failure
    for (const auto& row : rows) {
        Script script{row.first};
        WmiPortNames ports(std::make_unique<ScriptedQuery>(script));
        ports.listNames();
        script = Script{};
        ports.listNames();
        EXPECT_EQ(script.log.substr(0, std::string(row.secondStarts).size()), row.secondStarts);
    }
}

}  // namespace
}  // namespace kelvane
