// Trimming an output point against a current meter: from the meter's reading at a
// count, the count that puts the output at the point's current. The output's slope
// comes from the two trim counts the device holds (16 mA apart as last trimmed) until
// two readings at different counts give the slope of the output itself.
#pragma once

#include <optional>
#include <vector>

#include "device/trim_rules.h"

namespace kelvane {

inline constexpr double kMeterTolerance = 0.002;  // mA
inline constexpr int kMaxMeterReadings = 8;

struct MeterReading {
    int count;
    double milliamps;
};

// 4.0 or 20.0.
constexpr double targetMilliamps(TrimPoint point) {
    return point == TrimPoint::FourMilliamp ? 4.0 : 20.0;
}

// The count for the next reading, from the readings so far (the last one at the count
// now on the output); nothing when the readings give no slope or the count would leave
// 0 … 32767.
std::optional<int> nextMeterCount(const std::vector<MeterReading>& readings, TrimPoint point,
                                  int trim4mA, int trim20mA);

// Whether a reading is as close to the point's current as the tolerance asks.
bool withinTolerance(double reading, TrimPoint point, double tolerance);

}  // namespace kelvane
