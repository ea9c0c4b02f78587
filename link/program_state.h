// The values several screens share for the whole run: language, device address,
// family and model code, port number, probed line setting, listed ports, firmware
// version index, serial number and current input type. 16-bit like the device words.
#pragma once

#include <cstdint>

namespace kelvane {

inline constexpr std::int16_t kLanguageEnglish = 50;
inline constexpr std::int16_t kLanguageTraditionalChinese = 1028;
inline constexpr std::int16_t kLanguageSimplifiedChinese = 2052;

struct ProgramState {
    std::int16_t languageId = 0;  // the Scan screen's creation sets English (50)
    std::int16_t deviceAddress = 0;
    std::int16_t familyCode = 0;
    std::int16_t portNumber = 0;
    std::int16_t lineSettingsIndex = 0;  // the line setting being probed
    std::int16_t listedPortCount = 0;
    std::int16_t portNumberStart = 0;   // where the port number starts in the adapter's name
    std::int16_t portNumberLength = 0;  // and how many characters it has
    std::int16_t firmwareVersionIndex = 0;
    std::int16_t modelCode = 0;
    std::uint32_t serialNumber = 0;
    std::int16_t currentInputType = 0;
};

}  // namespace kelvane
