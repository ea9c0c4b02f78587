// The input type and range rules of the Configuration page as plain functions: the
// maximal range and offset limits an input type and unit show, the checks run on
// leaving the lower limit, upper limit and offset fields, and the texts that
// register values read from the device become. TForm2 applies them to its controls.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kelvane {

// A temperature limit in degrees Fahrenheit: single precision, truncated.
int toFahrenheit(int celsius);

// What choosing an input type and unit shows. Absent texts stay as they are.
struct RangeDisplay {
    std::optional<std::string> unitLabel;  // Label4, Label5, Label6
    std::optional<std::string> lowerText;  // Edi1
    std::optional<std::string> upperText;  // Edi2
    std::string offsetLowText;             // Label1, "-71.0"
    std::string offsetHighText;            // Label3, "+71.0"
};

// The rules for an input type code and a unit code; nothing (no range at all)
// when the type is not an input type, for example −1 before any choice.
std::optional<RangeDisplay> rangeDisplay(int type, int unit);

// Decimals of the offset field and offset limits for the current input type.
int offsetDecimals(int currentType);

// Leaving the lower limit field (Edi3) or the upper limit field (Edi4): the new
// text from the field's text, the maximal range texts (Edi1, Edi2) and the current
// input type. Throws ConversionError for text that is not a number.
std::string checkedLowerLimit(const std::string& text, const std::string& lowestText,
                              const std::string& highestText, int currentType);
std::string checkedUpperLimit(const std::string& text, const std::string& lowestText,
                              const std::string& highestText, int currentType);
// Leaving the offset field (Edi61), against the shown limits (Label1, Label3).
std::string checkedOffset(const std::string& text, const std::string& lowLimitText,
                          const std::string& highLimitText, int currentType);

// Texts of configuration registers read from the device.
std::string rangeText(int currentType, std::int16_t raw);
std::string offsetText(int currentType, std::int16_t raw);

}  // namespace kelvane
