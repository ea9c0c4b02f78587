// The serial port as the link sees it: open a device by name, read its line
// settings, apply new ones, read one byte waiting at most 100 ms, write bytes, close.
// Implementations: PosixSerialPort (termios) and InMemoryPort (tests, simulator).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "link/line_settings.h"

namespace kelvane {

using Micros = std::chrono::microseconds;

// How long a one-byte read waits for a byte; also the silence that ends a reply.
inline constexpr Micros kReadTimeout{100'000};

// Why the last open failed, for the hint a technician needs; nothing is shown for a
// device that is simply not there.
enum class OpenFailure { None, Absent, PermissionDenied, Busy };

class SerialPort {
  public:
    virtual ~SerialPort() = default;

    // Opens the device for exclusive use; false when it is absent, busy or refused.
    virtual bool open(const std::string& deviceName) = 0;
    virtual void close() = 0;
    virtual OpenFailure lastOpenFailure() const { return OpenFailure::None; }
    virtual bool isOpen() const = 0;

    // The port's current line settings; nothing when they cannot be read.
    virtual std::optional<LineSettings> currentSettings() = 0;
    // Reads a line-settings text ("4800,N,8,1") with the platform's own parser into the
    // settings applySettings takes next; nothing when the platform rejects the text.
    virtual std::optional<LineSettings> buildSettings(const std::string& text) {
        return parseLineSettings(text);
    }
    // Applies line settings; false when the port refuses them.
    virtual bool applySettings(const LineSettings& settings) = 0;

    // One byte: at once when one is waiting, otherwise after at most `wait`.
    // Nothing on timeout, on a closed port and after a hang-up (at once then).
    virtual std::optional<std::uint8_t> readByteWithin(Micros wait) = 0;
    // The same with the line's read timeout, kReadTimeout.
    std::optional<std::uint8_t> readByte() { return readByteWithin(kReadTimeout); }
    // Writes all bytes; false when the port is closed, hung up or the write fails.
    virtual bool write(const std::uint8_t* bytes, std::size_t count) = 0;

    // The port's clock, for traffic logs: real time or the in-memory virtual clock.
    virtual Micros now() const = 0;
};

}  // namespace kelvane
