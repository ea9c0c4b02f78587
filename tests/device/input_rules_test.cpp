// The input type rules as plain functions: Fahrenheit limits, offset limits, unit
// labels and range texts per type and unit, the three field checks with their
// truncation, rounding and clamping, and the texts of register values read.
#include <gtest/gtest.h>

#include "device/input_rules.h"
#include "device/number_text.h"
#include "device/register_map.h"

namespace kelvane {
namespace {

struct TemperatureCase {
    int type;
    const char* celsiusLow;
    const char* celsiusHigh;
    const char* celsiusOffset;
    const char* fahrenheitLow;
    const char* fahrenheitHigh;
    const char* fahrenheitOffset;
};

TEST(InputRules, TemperatureTypesShowTheirRangeAndOffsetLimitInBothUnits) {
    const TemperatureCase cases[] = {
        {0, "-50", "1000", "52.5", "-58", "1832", "94.5"},
        {1, "-50", "1370", "71.0", "-58", "2498", "127.8"},
        {2, "-270", "400", "33.5", "-454", "752", "60.3"},
        {3, "-50", "700", "37.5", "-58", "1292", "67.5"},
        {4, "0", "1750", "87.5", "32", "3182", "157.5"},
        {5, "-50", "1750", "90.0", "-58", "3182", "162.0"},
        {6, "-50", "1750", "90.0", "-58", "3182", "162.0"},
        {7, "-50", "1300", "67.5", "-58", "2372", "121.5"},
        {8, "-50", "1800", "92.5", "-58", "3272", "166.5"},
        {10, "-200", "600", "40.0", "-328", "1112", "72.0"},
    };
    for (const TemperatureCase& c : cases) {
        SCOPED_TRACE(c.type);
        const auto celsius = rangeDisplay(c.type, 0);
        ASSERT_TRUE(celsius);
        EXPECT_EQ(celsius->unitLabel, "deg C");
        EXPECT_EQ(celsius->lowerText, c.celsiusLow);
        EXPECT_EQ(celsius->upperText, c.celsiusHigh);
        EXPECT_EQ(celsius->offsetLowText, std::string("-") + c.celsiusOffset);
        EXPECT_EQ(celsius->offsetHighText, std::string("+") + c.celsiusOffset);

        const auto fahrenheit = rangeDisplay(c.type, 1);
        ASSERT_TRUE(fahrenheit);
        EXPECT_EQ(fahrenheit->unitLabel, "deg F");
        EXPECT_EQ(fahrenheit->lowerText, c.fahrenheitLow);
        EXPECT_EQ(fahrenheit->upperText, c.fahrenheitHigh);
        EXPECT_EQ(fahrenheit->offsetLowText, std::string("-") + c.fahrenheitOffset);
        EXPECT_EQ(fahrenheit->offsetHighText, std::string("+") + c.fahrenheitOffset);
    }
}

TEST(InputRules, FahrenheitIsTruncatedTowardZero) {
    EXPECT_EQ(toFahrenheit(-17), 1);   // 1.4 °F
    EXPECT_EQ(toFahrenheit(-18), 0);   // −0.4 °F
    EXPECT_EQ(toFahrenheit(-19), -2);  // −2.2 °F
    EXPECT_EQ(toFahrenheit(1370), 2498);
}

TEST(InputRules, SignalInputsUseTheirOwnUnitWhateverTheUnitChoice) {
    struct Case {
        int type;
        const char* label;
        const char* low;
        const char* high;
        const char* offset;
    };
    const Case cases[] = {
        {9, "mV", "-60.00", "60.00", "6.00"},
        {11, "V", "-10.000", "10.000", "1.000"},
        {12, "mA", "0.000", "24.000", "1.200"},
    };
    for (const Case& c : cases) {
        for (int unit : {-1, 0, 1}) {
            SCOPED_TRACE(std::to_string(c.type) + " unit " + std::to_string(unit));
            const auto display = rangeDisplay(c.type, unit);
            ASSERT_TRUE(display);
            EXPECT_EQ(display->unitLabel, c.label);
            EXPECT_EQ(display->lowerText, c.low);
            EXPECT_EQ(display->upperText, c.high);
            EXPECT_EQ(display->offsetLowText, std::string("-") + c.offset);
            EXPECT_EQ(display->offsetHighText, std::string("+") + c.offset);
        }
    }
}

TEST(InputRules, TemperatureWithoutUnitKeepsRangeFieldsButShowsCelsiusOffsetLimits) {
    const auto display = rangeDisplay(1, -1);
    ASSERT_TRUE(display);
    EXPECT_FALSE(display->unitLabel);
    EXPECT_FALSE(display->lowerText);
    EXPECT_FALSE(display->upperText);
    EXPECT_EQ(display->offsetLowText, "-71.0");
}

TEST(InputRules, NoInputTypeGivesNoRangeAtAll) {
    EXPECT_FALSE(rangeDisplay(-1, 0));
    EXPECT_FALSE(rangeDisplay(-1, 1));
    EXPECT_FALSE(rangeDisplay(13, 0));
}

struct LimitCase {
    const char* text;
    int type;
    const char* lowest;
    const char* highest;
    const char* lowerResult;
    const char* upperResult;
};

TEST(InputRules, LimitFieldsTruncateOrRoundAndFallBackToTheirOwnEnd) {
    const LimitCase cases[] = {
        {"2000", 1, "-50", "1370", "-50", "1370"},
        {"-100", 1, "-50", "1370", "-50", "1370"},
        {"12.7", 1, "-50", "1370", "12", "12"},
        {"-12.7", 1, "-50", "1370", "-12", "-12"},
        {"-50.9", 1, "-50", "1370", "-50", "-50"},  // truncation brings it inside
        {"1370", 1, "-50", "1370", "1370", "1370"},
        {"12", 11, "-10.000", "10.000", "-10.000", "10.000"},
        {"3.14159", 11, "-10.000", "10.000", "3.142", "3.142"},
        {"-60", 9, "-60.00", "60.00", "-60.00", "-60.00"},
        {"0.005", 9, "-60.00", "60.00", "0.01", "0.01"},
        {"60.001", 9, "-60.00", "60.00", "-60.00", "60.00"},
        {"25", 12, "0.000", "24.000", "0.000", "24.000"},
        {"  7 ", 0, "-50", "1000", "7", "7"},
    };
    for (const LimitCase& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " type " + std::to_string(c.type));
        EXPECT_EQ(checkedLowerLimit(c.text, c.lowest, c.highest, c.type), c.lowerResult);
        EXPECT_EQ(checkedUpperLimit(c.text, c.lowest, c.highest, c.type), c.upperResult);
    }
}

TEST(InputRules, EmptyFieldsTakeTheRangeEndsOrZeroOffset) {
    EXPECT_EQ(checkedLowerLimit("", "-50", "1370", 1), "-50");
    EXPECT_EQ(checkedUpperLimit("", "-50", "1370", 1), "1370");
    EXPECT_EQ(checkedOffset("", "-71.0", "+71.0", 1), "0.0");
    EXPECT_EQ(checkedOffset("", "-6.00", "+6.00", 9), "0.00");
    EXPECT_EQ(checkedOffset("", "-1.000", "+1.000", 11), "0.000");
}

TEST(InputRules, OffsetIsClampedToTheNearerLimitAndRounded) {
    struct Case {
        const char* text;
        int type;
        const char* low;
        const char* high;
        const char* result;
    };
    const Case cases[] = {
        {"100", 1, "-71.0", "+71.0", "71.0"},          {"-100", 1, "-71.0", "+71.0", "-71.0"},
        {"12.34", 1, "-71.0", "+71.0", "12.3"},        {"0.289", 9, "-6.00", "+6.00", "0.29"},
        {"-1.2004", 12, "-1.200", "+1.200", "-1.200"}, {"2", 11, "-1.000", "+1.000", "1.000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(checkedOffset(c.text, c.low, c.high, c.type), c.result);
    }
}

TEST(InputRules, TextThatIsNotANumberRaisesTheFloatingPointError) {
    try {
        checkedLowerLimit("12a", "-50", "1370", 1);
        FAIL() << "no error";
    } catch (const ConversionError& error) {
        EXPECT_STREQ(error.what(), "'12a' is not a valid floating point value");
    }
    EXPECT_THROW(checkedOffset("1", "-71.0", "abc", 1), ConversionError);
    EXPECT_THROW(checkedUpperLimit("5", "", "1370", 1), ConversionError);
}

TEST(InputRules, RegisterValuesReadAsTheTypesFormats) {
    EXPECT_EQ(rangeText(1, -50), "-50");
    EXPECT_EQ(rangeText(1, -32768), "-32768");
    EXPECT_EQ(rangeText(9, -6000), "-60.00");
    EXPECT_EQ(rangeText(9, 5), "0.05");
    EXPECT_EQ(rangeText(11, -10000), "-10.000");
    EXPECT_EQ(rangeText(12, 4000), "4.000");
    EXPECT_EQ(offsetText(1, -10), "-1.0");
    EXPECT_EQ(offsetText(9, -10), "-0.10");
    EXPECT_EQ(offsetText(11, 1000), "1.000");
    EXPECT_EQ(offsetText(10, 32767), "3276.7");
}

TEST(RegisterMap, FirmwareCaptionsStopAtV20) {
    EXPECT_EQ(regmap::firmwareCaption(0), "V00");
    EXPECT_EQ(regmap::firmwareCaption(5), "V05");
    EXPECT_EQ(regmap::firmwareCaption(20), "V20");
    EXPECT_EQ(regmap::firmwareCaption(21), "");
    EXPECT_EQ(regmap::firmwareCaption(255), "");
}

}  // namespace
}  // namespace kelvane
