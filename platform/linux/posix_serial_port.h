// The real serial port on Linux and other POSIX systems: a termios device (a USB
// adapter, a built-in UART or a pseudo-terminal) opened for exclusive use, raw 8-bit
// with no flow control. Reads wait with poll(), so a pulled-out adapter (hang-up)
// fails at once instead of looking like a quiet line.
#pragma once

#include <poll.h>
#include <sys/types.h>
#include <unistd.h>

#include <functional>

#include "link/serial_port.h"

namespace kelvane {

// The system calls the port waits and moves bytes with, and its clock. The defaults
// are the real ones; tests replace them to interrupt a wait or refuse a byte.
struct PortSystemCalls {
    std::function<int(pollfd*, nfds_t, int)> poll = ::poll;
    std::function<ssize_t(int, void*, size_t)> read = ::read;
    std::function<ssize_t(int, const void*, size_t)> write = ::write;
    std::function<Micros()> now = [] {
        return std::chrono::duration_cast<Micros>(
            std::chrono::steady_clock::now().time_since_epoch());
    };
};

class PosixSerialPort final : public SerialPort {
  public:
    PosixSerialPort() = default;
    explicit PosixSerialPort(PortSystemCalls calls) : calls_(std::move(calls)) {}
    ~PosixSerialPort() override { close(); }
    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    bool open(const std::string& deviceName) override;
    void close() override;
    bool isOpen() const override { return fd_ >= 0; }
    OpenFailure lastOpenFailure() const override { return openFailure_; }
    std::optional<LineSettings> currentSettings() override;
    bool applySettings(const LineSettings& settings) override;
    std::optional<std::uint8_t> readByteWithin(Micros wait) override;
    bool write(const std::uint8_t* bytes, std::size_t count) override;
    Micros now() const override;

  private:
    // Milliseconds left until `deadline`, for poll(): never negative.
    int millisecondsUntil(Micros deadline) const;

    PortSystemCalls calls_;
    int fd_ = -1;
    bool hungUp_ = false;
    OpenFailure openFailure_ = OpenFailure::None;
};

}  // namespace kelvane
