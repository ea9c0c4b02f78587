#include "link/traffic_log.h"

#include <cstdio>

namespace kelvane {

std::string hexBytes(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    char cell[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(cell, sizeof cell, "%02X", static_cast<unsigned>(bytes[i]));
        if (i > 0) {
            text += ' ';
        }
        text += cell;
    }
    return text;
}

std::string formatTraffic(const TrafficEntry& entry) {
    const long long micros = entry.at.count();
    char time[32];
    std::snprintf(time, sizeof time, "%lld.%06lld s", micros / 1'000'000, micros % 1'000'000);
    std::string line = std::string(time) + "  " + toString(entry.line) + "  ";
    switch (entry.kind) {
        case TrafficEntry::Kind::Request:
            line += "request  " + hexBytes(entry.bytes);
            break;
        case TrafficEntry::Kind::Reply:
            line += "reply    " + hexBytes(entry.bytes);
            break;
        case TrafficEntry::Kind::Note:
            line += "note     ";
            break;
    }
    if (!entry.note.empty()) {
        line += (entry.kind == TrafficEntry::Kind::Note ? "" : "  (") + entry.note +
                (entry.kind == TrafficEntry::Kind::Note ? "" : ")");
    }
    return line;
}

void StreamTrafficLog::traffic(const TrafficEntry& entry) {
    const std::lock_guard<std::mutex> lock(mutex_);
    out_ << formatTraffic(entry) << std::endl;
}

}  // namespace kelvane
