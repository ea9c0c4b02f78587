// Fuzz target: arbitrary frames heard by the simulated transmitter. It never answers
// a broadcast, a frame with a bad CRC or a frame for another address, and every
// answer it gives is a frame with a valid CRC for its own address.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "link/crc.h"
#include "sim/transmitter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static kelvane::sim::Transmitter device;
    const std::vector<std::uint8_t> frame(data, data + size);
    const std::uint8_t addressBefore = device.address();
    const std::vector<std::uint8_t> reply = device.respond(frame, kelvane::Micros(0));
    if (reply.empty()) {
        return 0;
    }
    const bool crcOk = size >= 4 && kelvane::crc16Modbus(data, size - 2) ==
                                        (data[size - 2] | (data[size - 1] << 8));
    if (!crcOk || frame[0] == 0 || frame[0] != addressBefore) {
        std::abort();
    }
    if (reply.size() < 4 || reply[0] != addressBefore ||
        kelvane::crc16Modbus(reply.data(), reply.size() - 2) !=
            (reply[reply.size() - 2] | (reply[reply.size() - 1] << 8))) {
        std::abort();
    }
    return 0;
}
