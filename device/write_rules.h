// The rules of Write To Device as plain functions: the seven configuration writes in
// their order, the scales that turn the page's numbers into register values, and the
// validation limits of the range and offset fields. TForm2 and the command-line tool
// both write the configuration through them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "device/register_map.h"
#include "link/link.h"

namespace kelvane {

// Where the value of one configuration write comes from on the page.
enum class WriteSource {
    LowerLimit,
    UpperLimit,
    Offset,
    Unit,
    OutputDirection,
    BreakSignal,
    InputType
};

struct ConfigurationWrite {
    FunctionCode function;
    regmap::Register reg;
    WriteSource source;
};

// The configuration writes, in the order the device receives them. The input type
// goes last, with the standard write function, once everything it governs is set.
inline constexpr std::array<ConfigurationWrite, 7> kConfigurationWrites{{
    {FunctionCode::WriteAnyValue, regmap::Register::LowerLimit, WriteSource::LowerLimit},
    {FunctionCode::WriteAnyValue, regmap::Register::UpperLimit, WriteSource::UpperLimit},
    {FunctionCode::WriteAnyValue, regmap::Register::Offset, WriteSource::Offset},
    {FunctionCode::WriteAnyValue, regmap::Register::Unit, WriteSource::Unit},
    {FunctionCode::WriteAnyValue, regmap::Register::OutputDirection, WriteSource::OutputDirection},
    {FunctionCode::WriteAnyValue, regmap::Register::BreakSignal, WriteSource::BreakSignal},
    {FunctionCode::WriteRegister, regmap::Register::InputType, WriteSource::InputType},
}};

// Register value = shown value × scale, by the current input type.
struct WriteScales {
    int range;
    int offset;
};
WriteScales writeScales(int currentType);

// The register value of a number typed on the page: the exact product rounded to
// double and truncated toward zero, so that 0.29 mV × 100 is 29. Nothing when the
// result does not fit a signed 16-bit register; ConversionError for text that is not
// a number.
std::optional<std::int16_t> scaledRegisterValue(const std::string& text, int scale);

// What the validation checks the fields against, for an input type and unit choice.
struct ValidationLimits {
    int lowest;  // whole numbers, in degrees Fahrenheit when that unit is chosen
    int highest;
    float offsetLimit;  // in register units: ±(span × scale) × 0.05
    int offsetScale;
};
// Nothing when the input type is not one of the 13 (no choice made).
std::optional<ValidationLimits> validationLimits(int inputType, int unit);

// A range field passes when its value, in single precision, lies within the limits;
// an offset passes when its value × scale, in single precision, lies within ±limit.
// Both throw ConversionError for text that is not a number.
bool rangeFieldPasses(const std::string& text, const ValidationLimits& limits);
bool offsetFieldPasses(const std::string& text, const ValidationLimits& limits);

}  // namespace kelvane
