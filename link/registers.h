// Reading register values out of a read reply: unsigned words, 16-bit two's
// complement for signed quantities, and 32-bit values held in two registers
// (high half first), such as the serial number.
#pragma once

#include <cstdint>

namespace kelvane {

constexpr std::uint16_t wordFrom(std::uint8_t high, std::uint8_t low) {
    return static_cast<std::uint16_t>(high * 256U + low);
}

// A raw value of 32768 or more stands for raw − 65536.
constexpr std::int16_t toSigned16(std::uint16_t raw) {
    return static_cast<std::int16_t>(raw >= 32768U ? static_cast<int>(raw) - 65536
                                                   : static_cast<int>(raw));
}

constexpr std::uint32_t combine32(std::uint16_t high, std::uint16_t low) {
    return static_cast<std::uint32_t>(high) * 65536U + low;
}

constexpr std::uint8_t highByte(std::uint16_t value) {
    return static_cast<std::uint8_t>(value >> 8);
}
constexpr std::uint8_t lowByte(std::uint16_t value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

}  // namespace kelvane
