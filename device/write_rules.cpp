#include "device/write_rules.h"

#include <cmath>
#include <limits>

#include "device/input_rules.h"
#include "device/number_text.h"

namespace kelvane {

namespace {

// A number held in single precision; one past the float range is infinite, so it
// fails every comparison with a limit instead of converting undefinedly.
float single(long double value) {
    constexpr long double largest = std::numeric_limits<float>::max();
    if (value > largest || value < -largest) {
        return value > 0 ? std::numeric_limits<float>::infinity()
                         : -std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(value);
}

}  // namespace

WriteScales writeScales(int currentType) {
    const regmap::Scaling scaling = regmap::scalingOf(regmap::familyOf(currentType));
    return {scaling.rangeScale, scaling.offsetScale};
}

std::optional<std::int16_t> scaledRegisterValue(long double value, int scale) {
    const double product = static_cast<double>(value * static_cast<long double>(scale));
    if (!std::isfinite(product)) {
        return std::nullopt;
    }
    const double truncated = std::trunc(product);
    if (truncated < std::numeric_limits<std::int16_t>::min() ||
        truncated > std::numeric_limits<std::int16_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(truncated);
}

std::optional<std::int16_t> scaledRegisterValue(const std::string& text, int scale) {
    return scaledRegisterValue(textToExtended(text), scale);
}

std::optional<ValidationLimits> validationLimits(int inputType, int unit) {
    if (!regmap::isInputType(inputType)) {
        return std::nullopt;
    }
    const regmap::InputType& input = regmap::kInputTypes[static_cast<size_t>(inputType)];
    ValidationLimits limits{input.lower, input.upper, 0.0F, 0};
    if (unit == regmap::kUnitFahrenheit && input.family == regmap::InputFamily::Temperature) {
        limits.lowest = toFahrenheit(input.lower);
        limits.highest = toFahrenheit(input.upper);
    }
    limits.offsetScale = writeScales(inputType).offset;
    const long span = static_cast<long>(limits.highest - limits.lowest) * limits.offsetScale;
    limits.offsetLimit = static_cast<float>(span) * 0.05F;
    return limits;
}

bool rangeFieldPasses(const std::string& text, const ValidationLimits& limits) {
    const float value = single(textToExtended(text));
    return static_cast<float>(limits.lowest) <= value &&
           value <= static_cast<float>(limits.highest);
}

bool offsetFieldPasses(const std::string& text, const ValidationLimits& limits) {
    const float offset = single(textToExtended(text)) * static_cast<float>(limits.offsetScale);
    return -limits.offsetLimit <= offset && offset <= limits.offsetLimit;
}

}  // namespace kelvane
