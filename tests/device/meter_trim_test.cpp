// The arithmetic of a trim against a meter: the count each reading calls for, along the
// slope of the device's two trim counts until two readings give the output's own.
#include "device/meter_trim.h"

#include <gtest/gtest.h>

namespace kelvane {
namespace {

TEST(MeterTrim, EachReadingGivesTheCountForThePointsCurrent) {
    const struct {
        const char* name;
        std::vector<MeterReading> readings;
        TrimPoint point;
        int trim4, trim20;
        std::optional<int> next;
    } rows[] = {
        // A device whose counts for 4.000 and 20.000 mA are 6457 and 31917.
        {"4 mA, 57 counts low", {{6400, 3.964}}, TrimPoint::FourMilliamp, 6400, 32000, 6458},
        {"20 mA, 83 counts high", {{32000, 20.052}}, TrimPoint::TwentyMilliamp, 6400, 32000, 31917},
        // One whose counts are 6100 and 32300: 300 off each, the slope 2.3 % off.
        {"4 mA, 300 counts high", {{6400, 4.183}}, TrimPoint::FourMilliamp, 6400, 32000, 6107},
        {"then the slope of the readings",
         {{6400, 4.183}, {6107, 4.004}},
         TrimPoint::FourMilliamp,
         6400,
         32000,
         6100},
        {"trim counts the wrong way round give no slope",
         {{6400, 3.964}},
         TrimPoint::FourMilliamp,
         32000,
         6400,
         std::nullopt},
        {"no slope: equal trim counts",
         {{6400, 4.1}},
         TrimPoint::FourMilliamp,
         6400,
         6400,
         std::nullopt},
        {"readings that fall as the count rises",
         {{6400, 4.183}, {6107, 4.300}},
         TrimPoint::FourMilliamp,
         6400,
         32000,
         std::nullopt},
        {"a count past 32767",
         {{32000, 0.0}},
         TrimPoint::TwentyMilliamp,
         6400,
         32000,
         std::nullopt},
        {"a count below 0", {{100, 8.0}}, TrimPoint::FourMilliamp, 6400, 32000, std::nullopt},
        {"no reading", {}, TrimPoint::FourMilliamp, 6400, 32000, std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(nextMeterCount(row.readings, row.point, row.trim4, row.trim20), row.next)
            << row.name;
    }
}

TEST(MeterTrim, AReadingWithinTheToleranceEndsTheTrim) {
    const struct {
        double reading;
        TrimPoint point;
        double tolerance;
        bool within;
    } rows[] = {
        {4.002, TrimPoint::FourMilliamp, 0.002, true},
        {3.998, TrimPoint::FourMilliamp, 0.002, true},
        {4.003, TrimPoint::FourMilliamp, 0.002, false},
        {19.998, TrimPoint::TwentyMilliamp, 0.002, true},
        {19.997, TrimPoint::TwentyMilliamp, 0.002, false},
        {20.009, TrimPoint::TwentyMilliamp, 0.01, true},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(withinTolerance(row.reading, row.point, row.tolerance), row.within)
            << row.reading;
    }
}

}  // namespace
}  // namespace kelvane
