// The write rules as plain functions: the order and function codes of the seven
// writes, register values from typed numbers, and the validation limits.
#include "device/write_rules.h"

#include <gtest/gtest.h>

#include "device/number_text.h"

namespace kelvane {
namespace {

TEST(WriteRules, TheSevenWritesGoInTheirOrderWithTheirFunctionCodes) {
    const std::pair<int, int> expected[] = {{5, 2}, {5, 3}, {5, 4}, {5, 1}, {5, 5}, {5, 6}, {6, 0}};
    ASSERT_EQ(kConfigurationWrites.size(), std::size(expected));
    for (size_t i = 0; i < kConfigurationWrites.size(); ++i) {
        EXPECT_EQ(static_cast<int>(kConfigurationWrites[i].function), expected[i].first) << i;
        EXPECT_EQ(static_cast<int>(kConfigurationWrites[i].reg), expected[i].second) << i;
    }
}

TEST(WriteRules, ScalesFollowTheInputType) {
    const std::array<std::pair<int, int>, 14> expected{{{1, 10},
                                                        {1, 10},
                                                        {1, 10},
                                                        {1, 10},
                                                        {1, 10},
                                                        {1, 10},
                                                        {1, 10},
                                                        {1, 10},
                                                        {1, 10},
                                                        {100, 100},
                                                        {1, 10},
                                                        {1000, 1000},
                                                        {1000, 1000},
                                                        {1, 10}}};
    for (int type = 0; type < 14; ++type) {
        EXPECT_EQ(writeScales(type).range, expected[static_cast<size_t>(type)].first) << type;
        EXPECT_EQ(writeScales(type).offset, expected[static_cast<size_t>(type)].second) << type;
    }
}

TEST(WriteRules, TypedNumbersBecomeRegisterValuesTruncatedTowardZero) {
    struct Case {
        const char* text;
        int scale;
        std::optional<std::int16_t> value;
    };
    const Case cases[] = {
        {"0.29", 100, 29},
        {"1.15", 100, 115},
        {"4.35", 100, 435},
        {"0.57", 100, 57},
        {"-1.15", 100, -115},
        {"2.675", 1000, 2675},
        {"0.289999999999999999999", 100, 29},          // rounded to double before truncation
        {"2.99999999999999977795539507496869", 1, 3},  // read to 64 bits, then to 53
        {"0.28999999999", 100, 28},
        {"0.3", 10, 3},
        {"-60.00", 100, -6000},
        {"1.0", 1000, 1000},
        {"-12.7", 1, -12},
        {"0.0999", 10, 0},
        {"-0.019", 100, -1},
        {"19.999", 1000, 19999},
        {"3276.7", 10, 32767},
        {"-3276.8", 10, -32768},
        {"3276.8", 10, std::nullopt},
        {"1e30", 1, std::nullopt},
        {"-32769", 1, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(scaledRegisterValue(c.text, c.scale), c.value) << c.text;
    }
    EXPECT_THROW(scaledRegisterValue("nan", 10), ConversionError);
    EXPECT_THROW(scaledRegisterValue("inf", 10), ConversionError);
}

TEST(WriteRules, ValidationLimitsByInputTypeAndUnit) {
    struct Case {
        int type, unit;
        int lowest, highest;
        float offsetLimit;
    };
    const Case cases[] = {
        {1, 0, -50, 1370, 710.0F},   {1, 1, -58, 2498, 1278.0F}, {2, 1, -454, 752, 603.0F},
        {10, 1, -328, 1112, 720.0F}, {9, 0, -60, 60, 600.0F},    {9, 1, -60, 60, 600.0F},
        {11, 1, -10, 10, 1000.0F},   {12, 0, 0, 24, 1200.0F},    {4, 1, 32, 3182, 1575.0F},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + "/" + std::to_string(c.unit));
        const auto limits = validationLimits(c.type, c.unit);
        ASSERT_TRUE(limits);
        EXPECT_EQ(limits->lowest, c.lowest);
        EXPECT_EQ(limits->highest, c.highest);
        EXPECT_FLOAT_EQ(limits->offsetLimit, c.offsetLimit);
    }
    EXPECT_FALSE(validationLimits(-1, 0));
    EXPECT_FALSE(validationLimits(13, 0));
}

TEST(WriteRules, FieldsPassWithinTheirLimitsInSinglePrecision) {
    const ValidationLimits k = *validationLimits(1, 0);
    const std::pair<const char*, bool> ranges[] = {
        {"-50", true},
        {"1370", true},
        {"1370.00001", true},  // rounds to 1370 in single
                               // precision
        {"1370.1", false},
        {"-50.5", false},
        {"1e300", false},
        {"-1e300", false},
    };
    for (const auto& [text, passes] : ranges) {
        EXPECT_EQ(rangeFieldPasses(text, k), passes) << text;
    }
    const std::pair<const char*, bool> offsets[] = {
        {"71.0", true}, {"-71.0", true}, {"71.1", false}, {"-71.05", false}, {"1e60", false},
    };
    for (const auto& [text, passes] : offsets) {
        EXPECT_EQ(offsetFieldPasses(text, k), passes) << text;
    }
    EXPECT_THROW(rangeFieldPasses("abc", k), ConversionError);
}

}  // namespace
}  // namespace kelvane
