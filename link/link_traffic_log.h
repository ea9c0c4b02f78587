// --log for the programs that talk to a device (kelvane, kelvane-cli): every request
// the link sends and every reply it collects, in hex with the line setting and the
// time since the log began, in the same format as kelvane-sim's log.
#pragma once

#include <mutex>
#include <ostream>

#include "link/link.h"
#include "link/traffic_log.h"

namespace kelvane {

class LinkTrafficLog final : public LinkObserver {
  public:
    explicit LinkTrafficLog(std::ostream& out) : out_(out) {}

    void requestSent(const std::array<std::uint8_t, 8>& frame, const LineSettings& line,
                     Micros at) override {
        write({TrafficEntry::Kind::Request, {frame.begin(), frame.end()}, line, at, {}});
    }
    void replyCollected(const std::vector<std::uint8_t>& bytes, const LineSettings& line,
                        Micros at) override {
        write({TrafficEntry::Kind::Reply, bytes, line, at, bytes.empty() ? "silence" : ""});
    }

  private:
    void write(TrafficEntry entry) {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (!started_) {
            start_ = entry.at;
            started_ = true;
        }
        entry.at -= start_;
        out_ << formatTraffic(entry) << std::endl;
    }

    std::ostream& out_;
    std::mutex mutex_;
    bool started_ = false;
    Micros start_{0};
};

}  // namespace kelvane
