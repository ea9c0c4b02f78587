// The real serial port on Linux and other POSIX systems: a termios device (a USB
// adapter, a built-in UART or a pseudo-terminal) opened for exclusive use, raw 8-bit
// with no flow control. Reads wait with poll(), so a pulled-out adapter (hang-up)
// fails at once instead of looking like a quiet line.
#pragma once

#include "link/serial_port.h"

namespace kelvane {

class PosixSerialPort final : public SerialPort {
  public:
    PosixSerialPort() = default;
    ~PosixSerialPort() override { close(); }
    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    bool open(const std::string& deviceName) override;
    void close() override;
    bool isOpen() const override { return fd_ >= 0; }
    std::optional<LineSettings> currentSettings() override;
    bool applySettings(const LineSettings& settings) override;
    std::optional<std::uint8_t> readByte() override;
    bool write(const std::uint8_t* bytes, std::size_t count) override;
    Micros now() const override;

  private:
    int fd_ = -1;
    bool hungUp_ = false;
};

}  // namespace kelvane
