// The WMI listing against a scripted query: the message each failing step ends the
// program with and the steps that must not follow it, the names kept and skipped, and
// the release and COM initialization of one listing before the next.
#include "platform/windows/wmi_port_names.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace kelvane {
namespace {

struct Value {
    VARTYPE type;
    const wchar_t* text = nullptr;
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
    void readName(VARIANT& name) override {
        name.vt = s_.devices[next_ - 1].type;
        name.bstrVal = name.vt == VT_BSTR ? SysAllocString(s_.devices[next_ - 1].text) : nullptr;
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
    EXPECT_EQ(listing.names, std::vector<std::string>{"USB Serial Port (COM5)"});
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
        EXPECT_EQ(listing.names, row.names);
        EXPECT_EQ(script.log, kSteps + "release uninitialize ");
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
