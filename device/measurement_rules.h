// How a process value read from register 0x1000 is shown: by the current input
// type on the Configuration page (PV1_Edit) and on the calibration page (PV1_Edit2),
// and "OPEN" for the sensor open code. TForm2 and the command-line tool show it so.
#pragma once

#include <cstdint>
#include <string>

namespace kelvane {

// The device reports a broken or disconnected sensor with this value.
inline constexpr std::int16_t kSensorOpenCode = 32767;

struct ProcessValueTexts {
    std::string configuration;  // PV1_Edit: thermocouples in whole degrees
    std::string calibration;    // PV1_Edit2: thermocouples with one decimal
};

// Codes outside 9 … 12 (-1 before any choice included) are shown as thermocouples.
ProcessValueTexts processValueTexts(int currentType, std::int16_t value);

}  // namespace kelvane
