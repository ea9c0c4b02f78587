// The transmitter's register map as the transmitter screen uses it: register
// addresses, function codes, command codes, input type codes with their captions,
// maximal ranges and scaling, model codes and the firmware version captions, and the
// identity read the probe and the screen's read share. Every sequence of the screen
// (read, write, measurement, trim, calibration) takes them here.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "link/link.h"

namespace kelvane::regmap {

inline constexpr std::int16_t kDeviceAddress = 1;

// Holding registers 0–8 (read together) and the command register.
enum class Register : std::int16_t {
    InputType = 0,
    Unit = 1,
    LowerLimit = 2,
    UpperLimit = 3,
    Offset = 4,
    OutputDirection = 5,
    BreakSignal = 6,
    Trim4mA = 7,
    Trim20mA = 8,
    Command = 9,
    CalibrationReference = 10,
    DeviceAddress = 19,  // written only by the probe's recovery broadcast
    BaudRateCode = 20,   // likewise; numbered like the line-settings table
    ProcessValue = 0x1000,
    CoefficientA0 = 0x1003,
    CoefficientA1 = 0x1004,
    CoefficientA2 = 0x1005,
    StoreStatus = 0x1006,
    Identity = 0x1F00,
    SerialHigh = 0x1F02,
    SerialLow = 0x1F03,
};

constexpr std::int16_t address(Register r) {
    return static_cast<std::int16_t>(r);
}

// The configuration block: registers 0 … 8 with function 3. The reply holds 21 bytes
// before its CRC (address, function, byte count, 18 data bytes).
inline constexpr std::int16_t kConfigurationCount = 9;
inline constexpr int kConfigurationCrcOffset = 21;
// The identity block: 0x1F00 … 0x1F03 with function 4, 11 bytes before its CRC.
inline constexpr std::int16_t kIdentityCount = 4;
inline constexpr int kIdentityDataEnd = 11;

inline constexpr std::int16_t fn(FunctionCode code) {
    return static_cast<std::int16_t>(code);
}

// What a collected read reply (function 3 or 4, `count` registers) turned out to be.
enum class ReplyCheck {
    Good,      // address, function, byte count and CRC all right
    NoReply,   // nothing came
    BadCrc,    // bytes came, but no frame of the expected length with a right CRC
    Mismatch,  // a frame with a right CRC, but another address, function or length
};

inline ReplyCheck checkReadReply(const Link& link, std::int16_t deviceAddress,
                                 FunctionCode function, int count) {
    if (link.receivedCount() == 0) {
        return ReplyCheck::NoReply;
    }
    const int crcOffset = 3 + 2 * count;
    if (!link.ResponseCrcOk(crcOffset)) {
        return ReplyCheck::BadCrc;
    }
    if (link.response(0) != deviceAddress || link.response(1) != static_cast<int>(function) ||
        link.response(2) != 2 * count) {
        return ReplyCheck::Mismatch;
    }
    return ReplyCheck::Good;
}

// Empties the line, asks `deviceAddress` for the identity block and collects the
// reply. Only a whole reply of this collection with a right CRC, address, function
// and byte count identifies anything: a silent device leaves the buffer holding an
// earlier reply, and noise on the line shifts the bytes into another model, firmware
// and serial number.
inline ReplyCheck readIdentityBlock(Link& link, std::int16_t deviceAddress) {
    link.Drain();
    link.SendRequest(deviceAddress, fn(FunctionCode::ReadInput), address(Register::Identity),
                     kIdentityCount);
    link.CollectResponse();
    return checkReadReply(link, deviceAddress, FunctionCode::ReadInput, kIdentityCount);
}

// The configuration request (function 3, registers 0 … 8); its reply is collected
// later by the screen's tick, at once by the command-line tool.
inline void requestConfiguration(Link& link, std::int16_t deviceAddress) {
    link.SendRequest(deviceAddress, fn(FunctionCode::ReadHolding), address(Register::InputType),
                     kConfigurationCount);
}

// Registers 0 … 8 of a collected configuration reply.
inline std::array<std::uint16_t, kConfigurationCount> configurationRegisters(const Link& link) {
    std::array<std::uint16_t, kConfigurationCount> registers{};
    for (int i = 0; i < kConfigurationCount; ++i) {
        registers[static_cast<size_t>(i)] = link.RegisterValue(i);
    }
    return registers;
}

// The process value reply: address, function, byte count, two data bytes, CRC.
inline constexpr int kProcessValueCrcOffset = 5;

// Empties the line and asks for the process value; the reply is collected later.
// False when the request could not be written (the port failed or hung up).
inline bool requestProcessValue(Link& link, std::int16_t deviceAddress) {
    link.Drain();
    return link.SendRequest(deviceAddress, fn(FunctionCode::ReadInput),
                            address(Register::ProcessValue), 1);
}

// Firmware above this index reports in 0x1006 whether it stored the configuration.
inline constexpr int kLastFirmwareWithoutStoreCheck = 4;

// What the store check found.
enum class StoreCheck {
    Stored,
    ReportedFailure,  // the device answered that it did not store the configuration
    NoReply,          // the device stopped answering
    Unreadable,       // an answer came, but not a store-status reply with a right CRC
};

// The store check: empties the line, reads the store status and says whether the
// device stored the configuration. Only a whole store-status reply of this collection
// with a right CRC decides: a silent device would otherwise be judged on the previous
// exchange's bytes, and noise before the reply on whatever byte it shifts into place.
inline StoreCheck checkConfigurationStored(Link& link, std::int16_t deviceAddress) {
    constexpr int kStoreStatusLowByte = 4;  // address, function, byte count, high, low
    link.Drain();
    link.SendRequest(deviceAddress, fn(FunctionCode::ReadInput), address(Register::StoreStatus), 1);
    link.CollectResponse();
    switch (checkReadReply(link, deviceAddress, FunctionCode::ReadInput, 1)) {
        case ReplyCheck::Good:
            break;
        case ReplyCheck::NoReply:
            return StoreCheck::NoReply;
        case ReplyCheck::BadCrc:
        case ReplyCheck::Mismatch:
            return StoreCheck::Unreadable;
    }
    return link.response(kStoreStatusLowByte) == 0 ? StoreCheck::Stored
                                                   : StoreCheck::ReportedFailure;
}

// Command codes written to the command register.
enum class Command : std::int16_t {
    StoreZero = 1,
    StoreRtdLo = 2,
    StoreRtdHi = 3,
    StoreTcLo = 8,
    StoreTcHi = 9,
    StoreVoltageLo = 14,
    StoreVoltageHi = 15,
    StoreCurrentLo = 20,
    StoreCurrentHi = 21,
    Trim4mA = 27,
    Trim20mA = 28,
    NormalOutput = 31,
    EndSerialLoad = 34,
    BeginThermocouple = 36,
    BeginRtd = 37,
    BeginVoltage = 38,
    BeginCurrent = 39,
    Measure = 40,
};

constexpr std::int16_t code(Command c) {
    return static_cast<std::int16_t>(c);
}

// What kind of signal an input type measures; decides scaling and formats.
enum class InputFamily { Temperature, Millivolt, Voltage, Current };

struct InputType {
    const char* caption;
    InputFamily family;
    int lower;  // maximal range, degrees Celsius for temperatures
    int upper;
};

// Input type codes 0 … 12 in the order of the Item1 choices.
inline constexpr std::array<InputType, 13> kInputTypes{{
    {"Thermocouple J", InputFamily::Temperature, -50, 1000},
    {"Thermocouple K", InputFamily::Temperature, -50, 1370},
    {"Thermocouple T", InputFamily::Temperature, -270, 400},
    {"Thermocouple E", InputFamily::Temperature, -50, 700},
    {"Thermocouple B", InputFamily::Temperature, 0, 1750},
    {"Thermocouple R", InputFamily::Temperature, -50, 1750},
    {"Thermocouple S", InputFamily::Temperature, -50, 1750},
    {"Thermocouple N", InputFamily::Temperature, -50, 1300},
    {"Thermocouple C", InputFamily::Temperature, -50, 1800},
    {"mV (-60~60mV)", InputFamily::Millivolt, -60, 60},
    {"PT-100", InputFamily::Temperature, -200, 600},
    {"Voltage (-10 - 10V)", InputFamily::Voltage, -10, 10},
    {"Current (0 - 24mA)", InputFamily::Current, 0, 24},
}};

inline constexpr int kMillivoltType = 9;
inline constexpr int kPt100Type = 10;
inline constexpr int kVoltageType = 11;
inline constexpr int kCurrentType = 12;

constexpr bool isInputType(int type) {
    return type >= 0 && type < int(kInputTypes.size());
}

// Codes outside the table are treated as temperatures, as the field checks do.
constexpr InputFamily familyOf(int type) {
    return isInputType(type) ? kInputTypes[static_cast<size_t>(type)].family
                             : InputFamily::Temperature;
}

// Scaling of one family: register value × step = shown value, with `decimals`
// decimals (0 = plain integer). Register = shown value × scale, truncated.
struct Scaling {
    int rangeScale;
    int rangeDecimals;
    int offsetScale;
    int offsetDecimals;
    const char* unitLabel;  // nullptr: "deg C" or "deg F" by the unit code
};

constexpr Scaling scalingOf(InputFamily family) {
    switch (family) {
        case InputFamily::Millivolt:
            return {100, 2, 100, 2, "mV"};
        case InputFamily::Voltage:
            return {1000, 3, 1000, 3, "V"};
        case InputFamily::Current:
            return {1000, 3, 1000, 3, "mA"};
        case InputFamily::Temperature:
            break;
    }
    return {1, 0, 10, 1, nullptr};
}

inline constexpr int kUnitCelsius = 0;
inline constexpr int kUnitFahrenheit = 1;
inline constexpr const char* kCelsiusLabel = "deg C";
inline constexpr const char* kFahrenheitLabel = "deg F";

// Output direction, break signal and unit choices, in item order.
inline constexpr std::array<const char*, 2> kUnits{"deg C", "deg F"};
inline constexpr std::array<const char*, 2> kOutputDirections{"4mA ~ 20mA", "20mA ~ 4mA"};
inline constexpr std::array<const char*, 3> kBreakSignals{"DownScale(< 4mA)", "UpScale(>20mA)",
                                                          "Cut"};
inline constexpr int kCutItem = 2;
// "Cut" is offered from this firmware version index on.
inline constexpr int kFirstFirmwareWithCut = 4;

// Model codes of the identity block.
inline constexpr std::uint8_t kModelQtrD = 1;
inline constexpr std::uint8_t kModelQtrH = 2;
inline constexpr std::uint8_t kModelUnnamed = 16;
inline constexpr std::uint8_t kModelQtnH = 17;
// A first identity word of 3110 marks an early device: firmware version index 0.
inline constexpr std::uint16_t kEarlyIdentityWord = 3110;

// The model name for a model code, or nullptr when the code names none.
constexpr const char* modelName(int modelCode) {
    switch (modelCode) {
        case kModelQtrH:
            return "QTR-H";
        case kModelQtrD:
            return "QTR-D";
        case kModelQtnH:
            return "QTN-H";
        default:
            return nullptr;
    }
}

// "QTN-H" offers no voltage and current inputs.
constexpr bool masksVoltageAndCurrent(int modelCode) {
    return modelCode == kModelQtnH;
}

// Firmware version captions "V00" … "V20"; an index outside the table has none.
inline constexpr int kLastFirmwareIndex = 20;
inline std::string firmwareCaption(int index) {
    if (index < 0 || index > kLastFirmwareIndex) {
        return {};
    }
    const char digits[] = {'V', char('0' + index / 10), char('0' + index % 10), '\0'};
    return digits;
}

}  // namespace kelvane::regmap
