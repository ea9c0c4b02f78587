#include "device/measurement_rules.h"

#include "device/number_text.h"
#include "device/register_map.h"

namespace kelvane {

ProcessValueTexts processValueTexts(int currentType, std::int16_t value) {
    if (value == kSensorOpenCode) {
        return {"OPEN", "OPEN"};
    }
    const auto scaled = [value](int decimals, double step) {
        return formatFixed(value * step, decimals);
    };
    switch (currentType) {
        case regmap::kMillivoltType:
            return {scaled(2, 0.01), scaled(2, 0.01)};
        case regmap::kPt100Type:
            return {scaled(1, 0.1), scaled(1, 0.1)};
        case regmap::kVoltageType:
        case regmap::kCurrentType:
            return {scaled(3, 0.001), scaled(3, 0.001)};
        default:
            // Whole degrees, truncated toward zero, as integer division does.
            return {std::to_string(value / 10), scaled(1, 0.1)};
    }
}

}  // namespace kelvane
