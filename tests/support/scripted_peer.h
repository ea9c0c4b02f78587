// A device for tests that answers from a script: each request is recorded with the
// line settings it was sent at, and answered by the next scripted reply (or by the
// responder function, when set). An empty reply is silence. With it, the frame
// builders and the identity reply of the transmitter the scan tests find.
#pragma once

#include <deque>
#include <functional>
#include <vector>

#include "link/crc.h"
#include "link/in_memory_port.h"

namespace kelvane::testing {

struct SentFrame {
    std::vector<std::uint8_t> bytes;
    LineSettings line;
};

class ScriptedPeer final : public LinePeer {
  public:
    using Responder =
        std::function<PeerAnswer(const std::vector<std::uint8_t>&, const LineSettings&)>;

    // Queues a reply sent byte after byte at the line's pace, starting 2 ms after the request.
    void queueReply(std::vector<std::uint8_t> bytes) { replies_.push_back(std::move(bytes)); }
    void queueSilence() { replies_.emplace_back(); }
    void setResponder(Responder responder) { responder_ = std::move(responder); }

    PeerAnswer receive(const std::vector<std::uint8_t>& bytes, const LineSettings& line,
                       Micros) override {
        sent.push_back({bytes, line});
        if (responder_) {
            return responder_(bytes, line);
        }
        if (replies_.empty()) {
            return {};
        }
        auto reply = std::move(replies_.front());
        replies_.pop_front();
        return paced(reply, line);
    }

    // Bytes at the line's pace, the first 2 ms after the request ends.
    static PeerAnswer paced(const std::vector<std::uint8_t>& reply, const LineSettings& line) {
        PeerAnswer answer;
        Micros at{2000};
        for (std::uint8_t byte : reply) {
            at += Micros(characterTimeMicros(line));
            answer.bytes.push_back({byte, at});
        }
        return answer;
    }

    std::vector<SentFrame> sent;

  private:
    std::deque<std::vector<std::uint8_t>> replies_;
    Responder responder_;
};

// The identity reply of a QTR-H (model 2), firmware V05, serial number 200001: the
// transmitter the probe, the Scan screen and the window flow find.
inline const std::vector<std::uint8_t> kQtrHIdentity = {0x01, 0x04, 0x08, 0x02, 0x05, 0x00, 0x00,
                                                        0x00, 0x03, 0x0D, 0x41, 0xC4, 0x74};

// Appends the Modbus CRC (low byte first) to a frame body.
inline std::vector<std::uint8_t> withCrc(std::vector<std::uint8_t> body) {
    const std::uint16_t crc = crc16Modbus(body.data(), body.size());
    body.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    body.push_back(static_cast<std::uint8_t>(crc >> 8));
    return body;
}

// An 8-byte request frame: address, function, two fields high byte first, CRC.
inline std::vector<std::uint8_t> requestFrame(std::uint8_t address, std::uint8_t function,
                                              std::uint16_t field1, std::uint16_t field2) {
    return withCrc({address, function, static_cast<std::uint8_t>(field1 >> 8),
                    static_cast<std::uint8_t>(field1 & 0xFF),
                    static_cast<std::uint8_t>(field2 >> 8),
                    static_cast<std::uint8_t>(field2 & 0xFF)});
}

}  // namespace kelvane::testing
