// The output trim's rules as plain tables and functions: which register and command
// each trim point uses, how an up-down click steps a count, and the wire
// differences between the Configuration page's handlers and their calibration-page
// twins (which drain the line and when), which a device may rely on.
#pragma once

#include <algorithm>

#include "device/register_map.h"

namespace kelvane {

enum class TrimPoint { FourMilliamp, TwentyMilliamp };
enum class TrimPage { Configuration, Calibration };

struct TrimPointRegisters {
    regmap::Register count;   // the trim count register
    regmap::Command command;  // drives the output at this point
};

constexpr TrimPointRegisters trimRegisters(TrimPoint point) {
    return point == TrimPoint::FourMilliamp
               ? TrimPointRegisters{regmap::Register::Trim4mA, regmap::Command::Trim4mA}
               : TrimPointRegisters{regmap::Register::Trim20mA, regmap::Command::Trim20mA};
}

// Where a handler drains the line. Every other request of the trim handlers goes out
// without a drain and without an echo check.
struct TrimDrains {
    bool everyScrollNotification;  // the scroll handler, before looking at the code
    bool beforeStep;               // the up-down handler, before it reads the count
    bool beforeStepWrite;          // the up-down handler, before it writes the count
};

constexpr TrimDrains trimDrains(TrimPage page, TrimPoint point) {
    if (page == TrimPage::Configuration) {
        return {false, true, false};  // ScrollBar3/4Scroll, UpDown3/4ChangingEx
    }
    if (point == TrimPoint::FourMilliamp) {
        return {true, false, true};  // ScrollBar1Scroll, UpDown1ChangingEx
    }
    return {false, true, true};  // ScrollBar2Scroll, UpDown2ChangingEx
}

inline constexpr int kLowestTrimCount = 0;
inline constexpr int kHighestTrimCount = 32767;

enum class StepDirection { None, Up, Down };

// One up-down click on a count: up or down by one within 0 … 32767; a click without
// a direction (the arrow clicked was not known) steps in the last direction. The
// last direction, shared by the four up-down buttons, follows the click.
constexpr int steppedCount(int count, StepDirection direction, StepDirection& lastDirection) {
    if (direction == StepDirection::None) {
        direction = lastDirection;
    }
    lastDirection = direction;
    return direction == StepDirection::Up ? std::min(count + 1, kHighestTrimCount)
                                          : std::max(count - 1, kLowestTrimCount);
}

}  // namespace kelvane
