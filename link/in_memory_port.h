// An in-memory serial port on a virtual clock, with no OS device behind it. Attach a
// LinePeer (a simulated device) under a device name; open that name like a port.
// Each write reaches the peer when its last byte has crossed the line; the peer
// answers with bytes timed from that moment, and may hang up (adapter pulled out).
// Reads wait on the virtual clock exactly as a real 100 ms read timeout would.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "link/serial_port.h"
#include "link/virtual_clock.h"

namespace kelvane {

struct TimedByte {
    std::uint8_t value = 0;
    Micros after{0};  // arrival time, counted from the end of the request
};

struct PeerAnswer {
    std::vector<TimedByte> bytes;
    std::optional<Micros> hangUpAfter;  // the line goes dead at this time, if set
};

class LinePeer {
  public:
    virtual ~LinePeer() = default;
    // The master has written `bytes` on a line set to `line`; they finished at `now`.
    virtual PeerAnswer receive(const std::vector<std::uint8_t>& bytes, const LineSettings& line,
                               Micros now) = 0;
};

class InMemoryPort final : public SerialPort {
  public:
    explicit InMemoryPort(VirtualClock& clock) : clock_(clock) {}

    void attach(const std::string& deviceName, LinePeer& peer) { peers_[deviceName] = &peer; }
    // Pulls the adapter out now: every later read and write fails at once.
    void hangUp();
    // Makes the next open of deviceName fail as if another program held it.
    void setBusy(const std::string& deviceName, bool busy);
    // Makes opens of deviceName fail as a device without permission for this user.
    void setRefused(const std::string& deviceName, bool refused) { refused_[deviceName] = refused; }
    // A byte arrives unasked at `at` on the open port: noise, or the tail of an earlier
    // reply, waiting on the line before the next request.
    void inject(std::uint8_t value, Micros at);
    // Plugs a pulled-out adapter back in, so that its name opens again.
    void plugIn(const std::string& deviceName) { unplugged_[deviceName] = false; }

    bool open(const std::string& deviceName) override;
    void close() override;
    bool isOpen() const override { return peer_ != nullptr; }
    OpenFailure lastOpenFailure() const override { return openFailure_; }
    std::optional<LineSettings> currentSettings() override;
    bool applySettings(const LineSettings& settings) override;
    std::optional<std::uint8_t> readByteWithin(Micros wait) override;
    bool write(const std::uint8_t* bytes, std::size_t count) override;
    Micros now() const override { return clock_.now(); }

    // Test view: every byte written since the port was made, and the settings in force.
    const std::vector<std::uint8_t>& written() const { return written_; }
    const LineSettings& settings() const { return settings_; }
    std::size_t pendingBytes() const { return incoming_.size(); }

  private:
    struct Arrival {
        std::uint8_t value;
        Micros at;
    };
    bool hungUp() const { return hangUpAt_ && clock_.now() >= *hangUpAt_; }

    VirtualClock& clock_;
    std::map<std::string, LinePeer*> peers_;
    std::map<std::string, bool> busy_;
    std::map<std::string, bool> unplugged_;
    std::map<std::string, bool> refused_;
    OpenFailure openFailure_ = OpenFailure::None;
    LinePeer* peer_ = nullptr;
    std::string openName_;
    LineSettings settings_{};
    std::deque<Arrival> incoming_;
    std::optional<Micros> hangUpAt_;
    std::vector<std::uint8_t> written_;
};

}  // namespace kelvane
