#include "device/input_rules.h"

#include <cmath>

#include "device/number_text.h"
#include "device/register_map.h"

namespace kelvane {

using regmap::InputFamily;

int toFahrenheit(int celsius) {
    // The product is stored in single precision before the truncation, so 1370 °C
    // gives exactly 2498 °F: the double product's error is far below a float's step.
    const float stored =
        static_cast<float>(static_cast<double>(static_cast<float>(celsius)) * 1.8 + 32.0);
    return static_cast<int>(std::trunc(stored));
}

namespace {

std::string limitText(double value, int decimals) {
    return decimals == 0 ? std::to_string(static_cast<long long>(value))
                         : formatFixed(value, decimals);
}

enum class Side { Lower, Upper };

std::string checkedLimit(const std::string& text, const std::string& lowestText,
                         const std::string& highestText, int currentType, Side side) {
    if (text.empty()) {
        return side == Side::Lower ? lowestText : highestText;
    }
    const double value = textToFloat(text);
    const double lowest = textToFloat(lowestText);
    const double highest = textToFloat(highestText);
    const regmap::Scaling scaling = regmap::scalingOf(regmap::familyOf(currentType));
    if (scaling.rangeDecimals == 0) {
        // Temperatures are whole degrees: every value is truncated toward zero.
        const double v = std::trunc(value);
        const double lo = std::trunc(lowest);
        const double hi = std::trunc(highest);
        const bool outside = v < lo || v > hi;
        return limitText(outside ? (side == Side::Lower ? lo : hi) : v, 0);
    }
    const bool outside = value < lowest || value > highest;
    return formatFixed(outside ? (side == Side::Lower ? lowest : highest) : value,
                       scaling.rangeDecimals);
}

}  // namespace

std::optional<RangeDisplay> rangeDisplay(int type, int unit) {
    if (!regmap::isInputType(type)) {
        return std::nullopt;
    }
    const regmap::InputType& input = regmap::kInputTypes[static_cast<size_t>(type)];
    const regmap::Scaling scaling = regmap::scalingOf(input.family);
    RangeDisplay display;
    double lower = input.lower;
    double upper = input.upper;
    if (input.family != InputFamily::Temperature) {
        display.unitLabel = scaling.unitLabel;
    } else if (unit == regmap::kUnitFahrenheit) {
        display.unitLabel = regmap::kFahrenheitLabel;
        lower = toFahrenheit(input.lower);
        upper = toFahrenheit(input.upper);
    } else if (unit == regmap::kUnitCelsius) {
        display.unitLabel = regmap::kCelsiusLabel;
    }
    // With no unit chosen a temperature keeps its labels and range fields; the
    // offset limits still follow the type, in degrees Celsius.
    if (display.unitLabel) {
        display.lowerText = limitText(lower, scaling.rangeDecimals);
        display.upperText = limitText(upper, scaling.rangeDecimals);
    }
    const float offsetLimit = static_cast<float>((upper - lower) * 0.05);
    display.offsetLowText = "-" + formatFixed(offsetLimit, scaling.offsetDecimals);
    display.offsetHighText = "+" + formatFixed(offsetLimit, scaling.offsetDecimals);
    return display;
}

int offsetDecimals(int currentType) {
    return regmap::scalingOf(regmap::familyOf(currentType)).offsetDecimals;
}

std::string checkedLowerLimit(const std::string& text, const std::string& lowestText,
                              const std::string& highestText, int currentType) {
    return checkedLimit(text, lowestText, highestText, currentType, Side::Lower);
}

std::string checkedUpperLimit(const std::string& text, const std::string& lowestText,
                              const std::string& highestText, int currentType) {
    return checkedLimit(text, lowestText, highestText, currentType, Side::Upper);
}

std::string checkedOffset(const std::string& text, const std::string& lowLimitText,
                          const std::string& highLimitText, int currentType) {
    const int decimals = offsetDecimals(currentType);
    if (text.empty()) {
        return formatFixed(0.0, decimals);
    }
    const double low = textToFloat(lowLimitText);
    const double high = textToFloat(highLimitText);
    const double value = textToFloat(text);
    // The offset goes to the nearer limit, unlike the range limits.
    const double kept = value < low ? low : (value > high ? high : value);
    return formatFixed(kept, decimals);
}

std::string rangeText(int currentType, std::int16_t raw) {
    const regmap::Scaling scaling = regmap::scalingOf(regmap::familyOf(currentType));
    if (scaling.rangeDecimals == 0) {
        return std::to_string(raw);
    }
    return formatFixed(raw / static_cast<double>(scaling.rangeScale), scaling.rangeDecimals);
}

std::string offsetText(int currentType, std::int16_t raw) {
    const regmap::Scaling scaling = regmap::scalingOf(regmap::familyOf(currentType));
    return formatFixed(raw / static_cast<double>(scaling.offsetScale), scaling.offsetDecimals);
}

}  // namespace kelvane
