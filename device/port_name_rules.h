// The rules by which the scan reads Plug-and-Play device names: which names are
// ports ("COM" anywhere), which port is the USB-to-serial adapter, and where its
// port number sits (between the first "COM" and the first ")"). Pure functions;
// TForm3::Button1Click applies them to each name the platform layer reports.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "link/serial_port.h"

namespace kelvane {

struct PortNameVerdict {
    bool listed = false;   // the name contains "COM": it goes into the port list
    bool adapter = false;  // a listed name that also says "USB-to-Serial" or "USB to Serial"
    // For an adapter: 1-based start and length of the port number in the name, and the
    // text found there (empty when start or length does not fit the name).
    std::int16_t start = 0;
    std::int16_t length = 0;
    std::string numberText;
};

// Reads one device name; every test is case-sensitive.
PortNameVerdict readPortName(const std::string& name);

// The port number an adapter's number text stands for. Text that is not a decimal
// integer (also empty text) raises ConversionError "'<text>' is not a valid integer
// value". Integers beyond the 16-bit port number are held at its limits, so that they
// stay outside the port-name table instead of wrapping round onto a real port.
std::int16_t portNumberFromText(const std::string& numberText);

#ifdef _WIN32
// Windows has no device groups: a port is refused when a program holds it.
inline constexpr const char* kDialoutFix =
    "Ask your administrator whether your account may use the adapter's COM port.";
inline constexpr const char* kBusyAdvice =
    "; close the program that holds it (a terminal or another configuration tool), then try "
    "again";
#else
// What a user outside the dialout group does to reach USB adapters.
inline constexpr const char* kDialoutFix =
    "Add your user to the dialout group: sudo usermod -aG dialout $USER, then log in again.";
inline constexpr const char* kBusyAdvice = "";
#endif

// What a technician is told when the adapter's device exists but cannot be opened:
// the device, the cause and, for permissions, the fix. Nothing for an absent device.
std::optional<std::string> openFailureMessage(OpenFailure failure, const std::string& device);

}  // namespace kelvane
