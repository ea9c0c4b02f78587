// The simulated transmitter on the link's in-memory port: attach it to an InMemoryPort
// under a device name and the link talks to the Transmitter core on the virtual clock
// (waits cost no real time). Used by unit tests of whole sequences.
#pragma once

#include "link/in_memory_port.h"
#include "sim/transmitter.h"

namespace kelvane::sim {

class InMemoryDevice final : public LinePeer {
  public:
    explicit InMemoryDevice(Transmitter& device) : device_(device) {}

    PeerAnswer receive(const std::vector<std::uint8_t>& bytes, const LineSettings& line,
                       Micros now) override;

    Transmitter& device() { return device_; }

  private:
    Transmitter& device_;
};

}  // namespace kelvane::sim
