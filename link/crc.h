// CRC-16/MODBUS (reflected polynomial 0xA001, initial 0xFFFF, no final inversion),
// the checksum of every request and reply; it travels low byte first.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kelvane {

std::uint16_t crc16Modbus(const std::uint8_t* bytes, std::size_t count);

}  // namespace kelvane
