// Number texts: fixed patterns rounded from the number the value denotes, reading
// with a decimal point only, and both unchanged under a comma-decimal locale.
#include "device/number_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>

#include "device/extended.h"
#include "tests/support/comma_locale.h"

namespace kelvane {
namespace {

struct FormatCase {
    double value;
    int decimals;
    const char* text;
};
const FormatCase kFormatCases[] = {
    {-60, 2, "-60.00"},
    {2.675, 2, "2.68"},
    {0.004999999999, 2, "0.00"},
    {0.005, 2, "0.01"},
    {-0.004, 2, "0.00"},
    {-0.05, 1, "-0.1"},
    {9.9996, 3, "10.000"},
    {3.14159, 3, "3.142"},
    {12.34, 1, "12.3"},
    {127.8F, 1, "127.8"},
    {0, 3, "0.000"},
    {999.95, 1, "1000.0"},
    {-1234.5, 0, "-1235"},
    {1e20, 0, "100000000000000000000"},
};

struct ReadCase {
    const char* text;
    bool number;
    double value;
};
const ReadCase kFloatCases[] = {
    {"+71.0", true, 71},    {" 3.5 ", true, 3.5}, {"1e3", true, 1000}, {".5", true, 0.5},
    {"-0.29", true, -0.29}, {"nan", false, 0},    {"inf", false, 0},   {"-INF", false, 0},
    {"1e400", false, 0},    {"0,5", false, 0},    {"0x10", false, 0},  {"", false, 0},
    {"+-1", false, 0},      {"1.2.3", false, 0},  {"12abc", false, 0},
};
const ReadCase kIntCases[] = {
    {"+5", true, 5},           {"-200", true, -200}, {" 600 ", true, 600}, {"12.0", false, 0},
    {"99999999999", false, 0}, {"+", false, 0},      {"+-1", false, 0},    {"", false, 0},
};

void expectPatternsAndReading() {
    for (const FormatCase& c : kFormatCases) {
        EXPECT_EQ(formatFixed(c.value, c.decimals), c.text) << c.value;
    }
    for (const ReadCase& c : kFloatCases) {
        SCOPED_TRACE(c.text);
        if (c.number) {
            EXPECT_DOUBLE_EQ(textToFloat(c.text), c.value);
            EXPECT_DOUBLE_EQ(Extended::fromText(c.text).toDouble(), c.value);
        } else {
            EXPECT_THROW(textToFloat(c.text), ConversionError);
            if (std::string(c.text) != "1e400") {  // a number in extended range
                EXPECT_THROW(Extended::fromText(c.text), ConversionError);
            }
        }
    }
    // Extended precision in software: what the 80-bit type makes of each text.
    const struct {
        const char *text, *other;
        bool less;
    } order[] = {{"59.99", "60", true},
                 {"-60", "-59.999", true},
                 {"0.3", "0.30000000000000001", true},
                 {"-0", "0", false},
                 {"-1e400", "5", true},
                 {"1.10", "1.1", false},
                 {"1", "1.00000000000000000001", false},  // below half a step of 2^-63
                 {"1", "1.0000000000000000001", true}};
    for (const auto& c : order) {
        EXPECT_EQ(Extended::fromText(c.text) < Extended::fromText(c.other), c.less)
            << c.text << " < " << c.other;
    }
    const struct {
        const char* text;
        std::uint32_t low32;
    } words[] = {{"4294967297.9", 1},
                 {"-1.9", 4294967295u},
                 {"-0.9", 0},
                 {"1e12", 3567587328u},
                 {"1e30", 0},
                 {"123.99e-1", 12},
                 {"18446744073709551617", 0},
                 {"4294967295.99999999999999999", 0}};
    for (const auto& c : words) {
        EXPECT_EQ(Extended::fromText(c.text).truncatedLow32(), c.low32) << c.text;
    }
    const struct {
        const char* text;
        float single;
    } singles[] = {{"1800.0000610351562500000001", 1800.0F},
                   {"1370.00006", 1370.0F},
                   {"3.4028235e38", std::numeric_limits<float>::infinity()},
                   {"-1e400", -std::numeric_limits<float>::infinity()}};
    for (const auto& c : singles) {
        EXPECT_EQ(Extended::fromText(c.text).toFloat(), c.single) << c.text;
    }
    EXPECT_THROW(Extended::fromText("1e5000"), ConversionError);
    EXPECT_THROW(Extended::fromText("1e-5000"), ConversionError);
    for (const ReadCase& c : kIntCases) {
        SCOPED_TRACE(c.text);
        if (c.number) {
            EXPECT_EQ(textToInt(c.text), static_cast<int>(c.value));
        } else {
            EXPECT_THROW(textToInt(c.text), ConversionError);
        }
    }
}

TEST(NumberText, PatternsAndReadingFollowThePoint) {
    expectPatternsAndReading();
}

TEST(NumberText, ACommaDecimalLocaleChangesNothing) {
    testing::CommaLocale german;
    ASSERT_TRUE(testing::CommaLocale::active()) << "no comma-decimal locale could be made";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 0.5);
    ASSERT_STREQ(probe, "0,5") << "the C library follows the locale";
    expectPatternsAndReading();
}

TEST(NumberText, ErrorsQuoteTheTextAsTyped) {
    const auto message = [](auto convert, const char* text) {
        try {
            convert(text);
        } catch (const ConversionError& error) {
            return std::string(error.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(message(textToFloat, " 1,5"), "' 1,5' is not a valid floating point value");
    EXPECT_EQ(message(textToInt, "7.5"), "'7.5' is not a valid integer value");
}

}  // namespace
}  // namespace kelvane
