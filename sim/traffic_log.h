// The simulator's traffic log: every request heard and every reply sent, in hex, with
// the line setting and the time, plus one-line notes on what the device did with a
// frame (ignored, broadcast applied, fault shown). kelvane-sim writes it to a stream.
#pragma once

#include <cstdint>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "link/line_settings.h"
#include "link/serial_port.h"

namespace kelvane::sim {

struct TrafficEntry {
    enum class Kind { Request, Reply, Note };
    Kind kind = Kind::Note;
    std::vector<std::uint8_t> bytes;
    LineSettings line;
    Micros at{0};  // the device's clock: virtual time, or time since kelvane-sim started
    std::string note;
};

class TrafficListener {
  public:
    virtual ~TrafficListener() = default;
    virtual void traffic(const TrafficEntry& entry) = 0;
};

// "12.345678 s  4800,N,8,1  request  01 04 1F 00 00 04 F6 1D"
std::string formatTraffic(const TrafficEntry& entry);
std::string hexBytes(const std::vector<std::uint8_t>& bytes);

// Writes each entry as one line to a stream; safe to call from the transport's thread.
class StreamTrafficLog final : public TrafficListener {
  public:
    explicit StreamTrafficLog(std::ostream& out) : out_(out) {}
    void traffic(const TrafficEntry& entry) override;

  private:
    std::ostream& out_;
    std::mutex mutex_;
};

}  // namespace kelvane::sim
