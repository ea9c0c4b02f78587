#include "link/link.h"

#include <algorithm>
#include <cmath>

#include "link/crc.h"
#include "link/port_names.h"
#include "link/registers.h"

namespace kelvane {

void Link::OpenPort(std::int16_t portIndex, std::int16_t lineSettingsIndex) {
    const auto name = portDeviceName(portIndex);
    if (!name) {
        // No table entry: behaves as a port that cannot be opened.
        port_.close();
        return;
    }
    OpenDevice(resolveDevice_ ? resolveDevice_(*name) : *name, lineSettingsIndex);
}

void Link::OpenDevice(const std::string& devicePath, std::int16_t lineSettingsIndex) {
    lineStreams_ = false;
    if (!port_.open(devicePath)) {
        return;
    }
    auto settings = port_.currentSettings();
    if (!settings) {
        dialogs_.showMessage("Error in GetCommState");
        settings = LineSettings{};
    }
    const bool indexKnown =
        lineSettingsIndex >= 0 && lineSettingsIndex < static_cast<int>(kLineSettingsTable.size());
    const auto parsed =
        indexKnown ? port_.buildSettings(kLineSettingsTable[lineSettingsIndex]) : std::nullopt;
    if (parsed) {
        settings = parsed;
    } else {
        dialogs_.showMessage("Error in BuildCommDCB");
    }
    if (port_.applySettings(*settings)) {
        line_ = *settings;
    } else {
        dialogs_.showMessage("Error in SetCommState");
    }
}

std::optional<int> expectedReplyLength(const std::array<std::uint8_t, 8>& request) {
    if (request[0] == kBroadcastAddress) {
        return std::nullopt;
    }
    switch (static_cast<FunctionCode>(request[1])) {
        case FunctionCode::ReadHolding:
        case FunctionCode::ReadInput:
            return 5 + 2 * wordFrom(request[4], request[5]);
        case FunctionCode::WriteAnyValue:
        case FunctionCode::WriteRegister:
            return 8;
    }
    return std::nullopt;
}

namespace {

bool frameCrcOk(const std::vector<std::uint8_t>& bytes) {
    const std::size_t n = bytes.size() - 2;
    const std::uint16_t crc = crc16Modbus(bytes.data(), n);
    return bytes[n] == lowByte(crc) && bytes[n + 1] == highByte(crc);
}

// A whole reply to `request` on the line pace: its expected length with a right CRC,
// or an exception reply (function | 0x80, code, CRC).
bool replyComplete(const std::vector<std::uint8_t>& received,
                   const std::array<std::uint8_t, 8>& request) {
    const auto expected = expectedReplyLength(request);
    if (!expected) {
        return false;
    }
    constexpr std::size_t kExceptionLength = 5;
    if (received.size() == kExceptionLength && received[1] == (request[1] | 0x80)) {
        return frameCrcOk(received);
    }
    return received.size() == static_cast<std::size_t>(*expected) && frameCrcOk(received);
}

}  // namespace

Micros interFrameGap(const LineSettings& line) {
    // 3.5 characters, rounded up; Modbus keeps 1.75 ms above 19200 baud.
    const Micros gap{static_cast<long long>(
        std::ceil(3.5 * bitsPerCharacter(line) * 1'000'000.0 / std::max(line.baud, 1)))};
    return line.baud > 19200 ? std::max(gap, Micros(1750)) : gap;
}

void Link::Drain() {
    draining_ = true;
    CollectResponse();
    draining_ = false;
}

void Link::CollectResponse() {
    std::vector<std::uint8_t> received;
    // The reply ends with the first read that times out: 100 ms of silence (the gap
    // for a drain on the line pace); bytes that keep coming past kLongestCollection are
    // left to the next collection. On the line pace a whole reply ends it at once.
    const Micros started = port_.now();
    const Micros limit = lineStreams_ ? kCollectionOnAStreamingLine : kLongestCollection;
    const bool linePace = pace_ == Pace::Line;
    const Micros silence = linePace && draining_ ? interFrameGap(line_) : kReadTimeout;
    bool capped = false;
    Micros firstByteAt{0};
    Micros lastByteAt{0};
    while (const auto byte = port_.readByteWithin(silence)) {
        receiveCell_ = *byte;
        lastByteAt = port_.now();
        if (received.empty()) {
            firstByteAt = lastByteAt;
        }
        received.push_back(*byte);
        if (linePace && !draining_ && replyComplete(received, request_)) {
            break;
        }
        if (port_.now() - started >= limit) {
            capped = true;
            ++cappedCollections_;
            break;
        }
    }
    // Noise in bursts ends in silence now and then: bytes that came for longer than any
    // reply takes mark the line as streaming too.
    const bool longerThanAReply =
        received.size() > 1 && lastByteAt - firstByteAt > kCollectionOnAStreamingLine;
    lineStreams_ = capped || longerThanAReply;
    // Each read, the final empty one included, stores the receive cell; so byte n
    // repeats byte n − 1, and an empty collection rewrites byte 0. Bytes past the
    // buffer are read off the line and dropped.
    for (size_t k = 0; k <= received.size() && k < response_.size(); ++k) {
        response_[k] = static_cast<std::uint8_t>(receiveCell_ & 0xFF);
        if (k < received.size()) {
            response_[k] = received[k];
        }
    }
    receivedCount_ = static_cast<int>(received.size());
    if (!received.empty()) {
        lastLineByteAt_ = lastByteAt;
    }
    if (observer_ != nullptr) {
        observer_->replyCollected(received, line_, port_.now());
    }
}

void Link::WaitForGap() {
    if (!lastLineByteAt_ || !port_.isOpen()) {
        return;
    }
    const Micros gap = interFrameGap(line_);
    std::vector<std::uint8_t> stray;
    for (Micros now = port_.now(); now < *lastLineByteAt_ + gap; now = port_.now()) {
        const auto byte = port_.readByteWithin(*lastLineByteAt_ + gap - now);
        if (!byte) {
            break;  // silent through the gap
        }
        stray.push_back(*byte);
        lastLineByteAt_ = port_.now();
    }
    if (!stray.empty() && observer_ != nullptr) {
        observer_->replyCollected(stray, line_, port_.now());
    }
}

std::array<std::uint8_t, 8> requestFrame(std::int16_t address, std::int16_t function,
                                         std::int16_t field1, std::int16_t field2) {
    const auto f1 = static_cast<std::uint16_t>(field1);
    const auto f2 = static_cast<std::uint16_t>(field2);
    std::array<std::uint8_t, 8> frame{lowByte(static_cast<std::uint16_t>(address)),
                                      lowByte(static_cast<std::uint16_t>(function)),
                                      highByte(f1),
                                      lowByte(f1),
                                      highByte(f2),
                                      lowByte(f2)};
    const std::uint16_t crc = crc16Modbus(frame.data(), 6);
    frame[6] = lowByte(crc);
    frame[7] = highByte(crc);
    return frame;
}

bool Link::SendRequest(std::int16_t address, std::int16_t function, std::int16_t field1,
                       std::int16_t field2) {
    request_ = requestFrame(address, function, field1, field2);
    if (pace_ == Pace::Line) {
        WaitForGap();
    }
    const Micros started = port_.now();
    const bool written = port_.write(request_.data(), request_.size());
    // A real port returns once the frame is queued; it leaves the line a frame's time
    // after it was handed over (the in-memory port's clock has already run through it).
    lastLineByteAt_ = std::max(
        port_.now(),
        started + Micros(characterTimeMicros(line_) * static_cast<long long>(request_.size())));
    if (observer_ != nullptr) {
        observer_->requestSent(request_, line_, port_.now());
    }
    return written;
}

void Link::AppendRequestCrc(int n) {
    const std::uint16_t crc = crc16Modbus(request_.data(), static_cast<size_t>(n));
    request_.at(static_cast<size_t>(n)) = lowByte(crc);
    request_.at(static_cast<size_t>(n) + 1) = highByte(crc);
}

bool Link::ResponseCrcOk(int n) const {
    if (n < 0 || n + 2 > kResponseSize || receivedCount_ < n + 2) {
        return false;
    }
    const std::uint16_t crc = crc16Modbus(response_.data(), static_cast<size_t>(n));
    return response_[n] == lowByte(crc) && response_[n + 1] == highByte(crc);
}

bool Link::EchoOk() const {
    return receivedCount_ >= 8 && response_[6] == request_[6] && response_[7] == request_[7];
}

bool Link::ConfirmedWrite(std::int16_t function, std::int16_t reg, std::int16_t value,
                          std::int16_t address) {
    SendRequest(address, function, reg, value);
    CollectResponse();
    if (EchoOk()) {
        return true;
    }
    SendRequest(address, function, reg, value);
    CollectResponse();
    return EchoOk();
}

std::uint16_t Link::RegisterValue(int i) const {
    return wordFrom(response(3 + 2 * i), response(4 + 2 * i));
}

std::int16_t Link::SignedRegister(int i) const {
    return toSigned16(RegisterValue(i));
}

std::uint32_t Link::RegisterPair(int i) const {
    return combine32(RegisterValue(i), RegisterValue(i + 1));
}

}  // namespace kelvane
