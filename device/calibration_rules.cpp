#include "device/calibration_rules.h"

#include <cmath>
#include <limits>

#include "device/extended.h"
#include "device/number_text.h"

namespace kelvane {

CoefficientsShown coefficientsShown(int activePoint) {
    for (const CalibrationPoint& point : kCalibrationPoints) {
        if (point.activePoint == activePoint) {
            return point.shown;
        }
    }
    return CoefficientsShown::None;
}

std::int16_t referenceValue(const std::string& text, ReferenceKind kind) {
    long long value = 0;
    if (kind == ReferenceKind::WholeDegrees) {
        value = textToInt(text);
    } else {
        // × 1000 in double precision, truncated: 1.234 V is 1234 mV.
        const double product = std::trunc(textToFloat(text) * 1000.0);
        if (std::fabs(product) < 1e9) {
            value = static_cast<long long>(product);
        } else {
            value = std::numeric_limits<long long>::max();
        }
    }
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max()) {
        // No reference outside the register reaches the device.
        throw ConversionError("'" + text + "' is not a valid " +
                              (kind == ReferenceKind::WholeDegrees ? "integer" : "floating point") +
                              " value");
    }
    return static_cast<std::int16_t>(value);
}

std::string checkedReference(const std::string& text, const ReferenceRule& rule) {
    if (rule.kind == ReferenceKind::WholeDegrees) {
        const int value = textToInt(text);
        return (value < rule.lowest || value > rule.highest) ? rule.outsideText : text;
    }
    const double value = textToFloat(text);
    if (value < rule.lowest || value > rule.highest) {
        return rule.outsideText;
    }
    return formatFixed(value, 3);
}

std::uint32_t serialNumberFromText(const std::string& text) {
    // The low 32 bits of the truncated number, taken exactly from its digits.
    return Extended::fromText(text).truncatedLow32();
}

}  // namespace kelvane
