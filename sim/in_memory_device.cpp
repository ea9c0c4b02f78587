#include "sim/in_memory_device.h"

namespace kelvane::sim {

PeerAnswer InMemoryDevice::receive(const std::vector<std::uint8_t>& bytes, const LineSettings& line,
                                   Micros now) {
    DeviceAnswer answer = device_.receive(bytes, line, now);
    PeerAnswer peer;
    peer.bytes = std::move(answer.bytes);
    if (answer.hangUp) {
        peer.hangUpAfter = Micros{0};
    }
    return peer;
}

}  // namespace kelvane::sim
