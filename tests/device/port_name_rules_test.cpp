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
