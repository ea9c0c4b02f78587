// The calibration page's rules as plain tables and functions: what each calibration
// point's Start and Done send (input preparation, input type, reference, begin and
// store codes, function codes, drains), which coefficients the poll shows, the
// reference edits' limits, and how a typed serial number becomes the number loaded.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "device/register_map.h"
#include "link/link.h"

namespace kelvane {

// How the reference edit's text becomes the value written to register 10.
enum class ReferenceKind {
    WholeDegrees,  // an integer, degrees Celsius
    Thousandths,   // a decimal number × 1000: millivolts or microamperes
};

// Which coefficient edits the poll fills for an active calibration point.
enum class CoefficientsShown { None, A0AndA1, A0AndA2, A0 };

struct CalibrationPoint {
    const char* name;
    bool preparesInput;  // writes the input type and unit (function 5) before it begins
    int inputType;       // chosen in Item1 at Start
    int activePoint;     // tells the coefficient poll whose edits to fill
    ReferenceKind reference;
    regmap::Command begin;
    FunctionCode beginFunction;
    regmap::Command store;  // sent by Done
    bool drainsFirst;       // the reference and begin writes drain before their first request
    CoefficientsShown shown;
};

enum class CalibrationPointId {
    RtdLo,
    RtdHi,
    TcLo,
    TcHi,
    VoltageLo,
    VoltageHi,
    CurrentLo,
    CurrentHi
};

inline constexpr std::array<CalibrationPoint, 8> kCalibrationPoints{{
    {"RTD LO", true, 10, 1, ReferenceKind::WholeDegrees, regmap::Command::BeginRtd,
     FunctionCode::WriteRegister, regmap::Command::StoreRtdLo, true, CoefficientsShown::A0AndA1},
    {"RTD HI", false, 10, 2, ReferenceKind::WholeDegrees, regmap::Command::BeginRtd,
     FunctionCode::WriteAnyValue, regmap::Command::StoreRtdHi, false, CoefficientsShown::A0AndA1},
    {"T/C LO", false, 1, 5, ReferenceKind::WholeDegrees, regmap::Command::BeginThermocouple,
     FunctionCode::WriteAnyValue, regmap::Command::StoreTcLo, true, CoefficientsShown::A0AndA2},
    {"T/C HI", false, 1, 6, ReferenceKind::WholeDegrees, regmap::Command::BeginThermocouple,
     FunctionCode::WriteAnyValue, regmap::Command::StoreTcHi, true, CoefficientsShown::A0AndA2},
    {"voltage LO", true, 11, 7, ReferenceKind::Thousandths, regmap::Command::BeginVoltage,
     FunctionCode::WriteRegister, regmap::Command::StoreVoltageLo, true, CoefficientsShown::A0},
    {"voltage HI", false, 11, 8, ReferenceKind::Thousandths, regmap::Command::BeginVoltage,
     FunctionCode::WriteAnyValue, regmap::Command::StoreVoltageHi, true, CoefficientsShown::A0},
    {"current LO", true, 12, 11, ReferenceKind::Thousandths, regmap::Command::BeginCurrent,
     FunctionCode::WriteRegister, regmap::Command::StoreCurrentLo, true, CoefficientsShown::A0},
    {"current HI", false, 12, 12, ReferenceKind::Thousandths, regmap::Command::BeginCurrent,
     FunctionCode::WriteAnyValue, regmap::Command::StoreCurrentHi, true, CoefficientsShown::A0},
}};

constexpr const CalibrationPoint& calibrationPoint(CalibrationPointId id) {
    return kCalibrationPoints[static_cast<size_t>(id)];
}

// The 0 mV zero: prepares thermocouple K with the unit written by function 6, then
// polls A0 alone; Done stores it with code 1.
inline constexpr int kZeroInputType = 1;
inline constexpr FunctionCode kZeroUnitFunction = FunctionCode::WriteRegister;

// The coefficient edits an active calibration point fills; none for other codes.
CoefficientsShown coefficientsShown(int activePoint);

// The value written to register 10 from the reference edit's text. Throws
// ConversionError for text that is not a number, and for one whose value does not
// fit the signed 16-bit register.
std::int16_t referenceValue(const std::string& text, ReferenceKind kind);

// The limits of one reference edit; a value outside them is replaced by outsideText.
struct ReferenceRule {
    ReferenceKind kind;
    int lowest;
    int highest;
    const char* outsideText;
};
inline constexpr ReferenceRule kRtdLoRule{ReferenceKind::WholeDegrees, -200, 600, "-200"};
inline constexpr ReferenceRule kRtdHiRule{ReferenceKind::WholeDegrees, -200, 600, "600"};
inline constexpr ReferenceRule kTcLoRule{ReferenceKind::WholeDegrees, -50, 1370, "-50"};
inline constexpr ReferenceRule kTcHiRule{ReferenceKind::WholeDegrees, -50, 1370, "1370"};
inline constexpr ReferenceRule kVoltageLoRule{ReferenceKind::Thousandths, -10, 10, "-10.000"};
inline constexpr ReferenceRule kVoltageHiRule{ReferenceKind::Thousandths, -10, 10, "10.000"};
inline constexpr ReferenceRule kCurrentLoRule{ReferenceKind::Thousandths, 4, 20, "4.000"};
inline constexpr ReferenceRule kCurrentHiRule{ReferenceKind::Thousandths, 4, 20, "20.000"};

// Leaving a reference edit: integers stay as typed when accepted, decimal numbers
// are re-shown with "0.000". Throws ConversionError for text that is not a number.
std::string checkedReference(const std::string& text, const ReferenceRule& rule);

// The serial number a typed text loads: the number truncated toward zero, its low
// 32 bits (so −1 loads 4294967295). Throws ConversionError for text that is not a
// finite number.
std::uint32_t serialNumberFromText(const std::string& text);

}  // namespace kelvane
