// The whole exchange on a link, as a sequence test checks it: every request sent
// ("> 5 7 1500": function, first field, second field) and every collection, drains
// included ("< 8": the bytes it received), in order, each with its virtual time.
#pragma once

#include <string>
#include <vector>

#include "link/link.h"
#include "link/registers.h"

namespace kelvane::testing {

inline std::string sent(int function, int field1, int field2) {
    return "> " + std::to_string(function) + " " + std::to_string(field1) + " " +
           std::to_string(field2);
}
inline std::string collected(int bytes) {
    return "< " + std::to_string(bytes);
}

class ExchangeLog final : public LinkObserver {
  public:
    void requestSent(const std::array<std::uint8_t, 8>& frame, const LineSettings&,
                     Micros at) override {
        // Fields as the device reads them: unsigned 16-bit words.
        steps.push_back(sent(frame[1], wordFrom(frame[2], frame[3]), wordFrom(frame[4], frame[5])));
        times.push_back(at);
    }
    void replyCollected(const std::vector<std::uint8_t>& bytes, const LineSettings&,
                        Micros at) override {
        steps.push_back(collected(static_cast<int>(bytes.size())));
        times.push_back(at);
    }
    void clear() {
        steps.clear();
        times.clear();
    }

    std::vector<std::string> steps;
    std::vector<Micros> times;
};

// A confirmed write the device echoes: the request and its 8-byte echo.
inline std::vector<std::string> echoed(int function, int reg, int value) {
    return {sent(function, reg, value), collected(8)};
}

// Joins pieces of an expected exchange.
inline std::vector<std::string> exchange(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

}  // namespace kelvane::testing
