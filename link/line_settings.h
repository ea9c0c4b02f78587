// Line settings of the serial link: the four settings strings the program uses
// ("4800,N,8,1" … "38400,N,8,1", indexed like the device's baud-rate code) and the
// parser that turns a settings string into baud rate, parity, data and stop bits.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace kelvane {

enum class Parity { None, Even, Odd, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };

struct LineSettings {
    int baud = 4800;
    Parity parity = Parity::None;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;

    friend bool operator==(const LineSettings& a, const LineSettings& b) {
        return a.baud == b.baud && a.parity == b.parity && a.dataBits == b.dataBits &&
               a.stopBits == b.stopBits;
    }
    friend bool operator!=(const LineSettings& a, const LineSettings& b) { return !(a == b); }
};

// The line-settings table; index 0 … 3 is also the device's baud-rate code.
inline constexpr std::array<const char*, 4> kLineSettingsTable = {"4800,N,8,1", "9600,N,8,1",
                                                                  "19200,N,8,1", "38400,N,8,1"};

// Parses "baud,parity,data,stop" (parity N/E/O/M/S, data bits 5–8, stop bits 1, 1.5
// or 2). Anything else is rejected, as the platform's own parser would reject it.
std::optional<LineSettings> parseLineSettings(std::string_view text);

// "4800,N,8,1" style text for logs.
std::string toString(const LineSettings& settings);

// Bits one character occupies on the line: start bit, data, parity, stop bits.
double bitsPerCharacter(const LineSettings& settings);

// Time one character takes on the line, in microseconds.
long long characterTimeMicros(const LineSettings& settings);

}  // namespace kelvane
