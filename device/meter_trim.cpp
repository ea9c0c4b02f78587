#include "device/meter_trim.h"

#include <cmath>

namespace kelvane {

std::optional<int> nextMeterCount(const std::vector<MeterReading>& readings, TrimPoint point,
                                  int trim4mA, int trim20mA) {
    if (readings.empty()) {
        return std::nullopt;
    }
    const MeterReading& last = readings.back();
    // The widest span of counts measures the slope best: the first reading and the last.
    const MeterReading& first = readings.front();
    double countsPerMilliamp = 0.0;
    if (first.count != last.count && first.milliamps != last.milliamps) {
        countsPerMilliamp = (last.count - first.count) / (last.milliamps - first.milliamps);
    } else {
        countsPerMilliamp = (trim20mA - trim4mA) / 16.0;
    }
    if (!(countsPerMilliamp > 0.0)) {
        return std::nullopt;  // no slope, or one that runs the wrong way
    }
    const double next = last.count + (targetMilliamps(point) - last.milliamps) * countsPerMilliamp;
    if (!std::isfinite(next) || next < kLowestTrimCount - 0.5 || next > kHighestTrimCount + 0.5) {
        return std::nullopt;
    }
    return static_cast<int>(std::lround(next));
}

bool withinTolerance(double reading, TrimPoint point, double tolerance) {
    // A meter's three decimals are not exact in binary: 4.002 is within 0.002.
    return std::fabs(reading - targetMilliamps(point)) <= tolerance + 1e-9;
}

}  // namespace kelvane
