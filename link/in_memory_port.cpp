#include "link/in_memory_port.h"

namespace kelvane {

void InMemoryPort::hangUp() {
    hangUpAt_ = clock_.now();
    unplugged_[openName_] = true;
}

void InMemoryPort::setBusy(const std::string& deviceName, bool busy) {
    busy_[deviceName] = busy;
}

void InMemoryPort::inject(std::uint8_t value, Micros at) {
    auto later = incoming_.begin();
    while (later != incoming_.end() && later->at <= at) {
        ++later;
    }
    incoming_.insert(later, {value, at});
}

bool InMemoryPort::open(const std::string& deviceName) {
    close();
    const auto found = peers_.find(deviceName);
    if (found == peers_.end() || unplugged_[deviceName]) {
        openFailure_ = OpenFailure::Absent;
        return false;
    }
    if (refused_[deviceName] || busy_[deviceName]) {
        openFailure_ = refused_[deviceName] ? OpenFailure::PermissionDenied : OpenFailure::Busy;
        return false;
    }
    openFailure_ = OpenFailure::None;
    peer_ = found->second;
    openName_ = deviceName;
    incoming_.clear();
    hangUpAt_.reset();
    return true;
}

void InMemoryPort::close() {
    peer_ = nullptr;
    incoming_.clear();
}

std::optional<LineSettings> InMemoryPort::currentSettings() {
    if (!isOpen() || hungUp()) {
        return std::nullopt;
    }
    return settings_;
}

bool InMemoryPort::applySettings(const LineSettings& settings) {
    if (!isOpen() || hungUp()) {
        return false;
    }
    settings_ = settings;
    return true;
}

std::optional<std::uint8_t> InMemoryPort::readByteWithin(Micros wait) {
    if (!isOpen() || hungUp()) {
        return std::nullopt;
    }
    const Micros deadline = clock_.now() + wait;
    if (!incoming_.empty() && incoming_.front().at <= deadline &&
        !(hangUpAt_ && *hangUpAt_ < incoming_.front().at)) {
        const Arrival next = incoming_.front();
        incoming_.pop_front();
        clock_.advanceTo(next.at);
        return next.value;
    }
    if (hangUpAt_ && *hangUpAt_ <= deadline) {
        clock_.advanceTo(*hangUpAt_);
        incoming_.clear();
        return std::nullopt;
    }
    clock_.advanceTo(deadline);
    return std::nullopt;
}

bool InMemoryPort::write(const std::uint8_t* bytes, std::size_t count) {
    if (!isOpen() || hungUp()) {
        return false;
    }
    std::vector<std::uint8_t> frame(bytes, bytes + count);
    written_.insert(written_.end(), frame.begin(), frame.end());
    clock_.advance(Micros(characterTimeMicros(settings_) * static_cast<long long>(count)));
    const Micros sentAt = clock_.now();
    PeerAnswer answer = peer_->receive(frame, settings_, sentAt);
    for (const TimedByte& byte : answer.bytes) {
        incoming_.push_back({byte.value, sentAt + byte.after});
    }
    if (answer.hangUpAfter) {
        hangUpAt_ = sentAt + *answer.hangUpAfter;
        unplugged_[openName_] = true;
    }
    return true;
}

}  // namespace kelvane
