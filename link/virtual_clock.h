// A clock that moves only when told: the in-memory port advances it by the time a
// real line would take (byte times, read timeouts), so tests never wait for real.
#pragma once

#include <algorithm>

#include "link/serial_port.h"

namespace kelvane {

class VirtualClock {
  public:
    Micros now() const { return now_; }
    void advance(Micros by) { now_ += by; }
    void advanceTo(Micros when) { now_ = std::max(now_, when); }

  private:
    Micros now_{0};
};

}  // namespace kelvane
