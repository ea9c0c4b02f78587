#include "device/write_rules.h"

#include <cmath>
#include <limits>

#include "device/extended.h"
#include "device/input_rules.h"
#include "device/number_text.h"

namespace kelvane {

WriteScales writeScales(int currentType) {
    const regmap::Scaling scaling = regmap::scalingOf(regmap::familyOf(currentType));
    return {scaling.rangeScale, scaling.offsetScale};
}

std::optional<std::int16_t> scaledRegisterValue(const std::string& text, int scale) {
    // The exact product, rounded once to double precision, then truncated.
    const double product = Extended::fromText(text).times(static_cast<unsigned>(scale)).toDouble();
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
    const float value = Extended::fromText(text).toFloat();
    return static_cast<float>(limits.lowest) <= value &&
           value <= static_cast<float>(limits.highest);
}

bool offsetFieldPasses(const std::string& text, const ValidationLimits& limits) {
    const float offset =
        Extended::fromText(text).toFloat() * static_cast<float>(limits.offsetScale);
    return -limits.offsetLimit <= offset && offset <= limits.offsetLimit;
}

}  // namespace kelvane
