#include "link/crc.h"

namespace kelvane {

std::uint16_t crc16Modbus(const std::uint8_t* bytes, std::size_t count) {
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1U) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001U)
                             : static_cast<std::uint16_t>(crc >> 1);
        }
    }
    return crc;
}

}  // namespace kelvane
