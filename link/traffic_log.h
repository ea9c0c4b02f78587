// The traffic log of an exchange on the line: every request and reply, in hex, with the
// line setting and the time, plus one-line notes. The link logs what it sends and
// collects (link_traffic_log.h, --log of kelvane and kelvane-cli); the simulator logs
// what it hears and answers and what it did with a frame (kelvane-sim --log).
#pragma once

#include <cstdint>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "link/line_settings.h"
#include "link/serial_port.h"

namespace kelvane {

struct TrafficEntry {
    enum class Kind { Request, Reply, Note };
    Kind kind = Kind::Note;
    std::vector<std::uint8_t> bytes;
    LineSettings line;
    Micros at{0};  // the logger's clock: virtual time, or time since the log or program began
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

}  // namespace kelvane
