// The configuration registers 0 … 8 as the page shows them, as plain data: the four
// choices (a code past a group's last item takes the last), the range and offset
// texts in the input type's format, and the trim counts held to 0 … 32767. The
// transmitter screen's read and the command-line tool decode a reply through it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace kelvane {

struct Configuration {
    int inputType = 0;        // Item1
    int unit = 0;             // Item3
    std::string lower;        // Edi3
    std::string upper;        // Edi4
    std::string offset;       // Edi61
    int outputDirection = 0;  // Item4
    int breakSignal = 0;      // Item5
    int trim4mA = 0;
    int trim20mA = 0;
};

Configuration decodeConfiguration(const std::array<std::uint16_t, 9>& registers);

}  // namespace kelvane
