#include "device/configuration_rules.h"

#include <algorithm>

#include "device/input_rules.h"
#include "device/register_map.h"
#include "device/trim_rules.h"
#include "link/registers.h"

namespace kelvane {

namespace {

int lastItemAtMost(std::uint16_t code, std::size_t items) {
    return std::min<int>(code, static_cast<int>(items) - 1);
}

}  // namespace

Configuration decodeConfiguration(const std::array<std::uint16_t, 9>& registers) {
    const auto reg = [&](regmap::Register r) { return registers[regmap::address(r)]; };
    const auto signedReg = [&](regmap::Register r) { return toSigned16(reg(r)); };
    const auto trim = [&](regmap::Register r) {
        return std::clamp<int>(signedReg(r), kLowestTrimCount, kHighestTrimCount);
    };
    Configuration c;
    c.inputType = lastItemAtMost(reg(regmap::Register::InputType), regmap::kInputTypes.size());
    c.unit = lastItemAtMost(reg(regmap::Register::Unit), regmap::kUnits.size());
    c.lower = rangeText(c.inputType, signedReg(regmap::Register::LowerLimit));
    c.upper = rangeText(c.inputType, signedReg(regmap::Register::UpperLimit));
    c.offset = offsetText(c.inputType, signedReg(regmap::Register::Offset));
    c.outputDirection =
        lastItemAtMost(reg(regmap::Register::OutputDirection), regmap::kOutputDirections.size());
    c.breakSignal =
        lastItemAtMost(reg(regmap::Register::BreakSignal), regmap::kBreakSignals.size());
    c.trim4mA = trim(regmap::Register::Trim4mA);
    c.trim20mA = trim(regmap::Register::Trim20mA);
    return c;
}

}  // namespace kelvane
