// The rules by which the scan reads Plug-and-Play device names: which names are
// ports ("COM" anywhere), which port is the USB-to-serial adapter, and where its
// port number sits (between the first "COM" and the first ")"). Pure functions;
// TForm3::Button1Click applies them to each name the platform layer reports.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/port_list.h"
#include "link/program_state.h"
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

// Reads one device as the scan does: the name rule first, exactly as readPortName;
// a listed device the name rule passes over is still an adapter when the system
// calls it a USB serial port, and its number is the text of the last "(COMn)" of its
// name ("Prolific PL2303GT USB Serial COM Port (COM3)": 3). Without such a "(COMn)"
// it is no adapter.
PortNameVerdict readPortEntry(const PortEntry& entry);

// Windows' Ports class, the setup class of every COM port.
inline constexpr const char* kPortsClassGuid = "{4D36E978-E325-11CE-BFC1-08002BE10318}";

// Whether a Plug-and-Play device is a serial port on USB: in the Ports class, with a
// device id on the USB bus or FTDI's own ("USB\VID_1A86&PID_7523\…",
// "FTDIBUS\VID_0403+PID_6001+…"). Both compared without regard to case.
bool isUsbSerialPort(const std::string& classGuid, const std::string& pnpDeviceId);

// What one Start makes of a listing: the port list's lines, the adapter it selects and
// the port number it probes. The last working adapter listed wins. An adapter whose
// driver reports a problem is listed but never chosen; the last such problem is kept
// so that the screen can name it when no other adapter was found. A chosen adapter
// whose number is no integer ends the reading at its line (numberError holds the
// text), as the Start is abandoned there.
struct AdapterScan {
    std::vector<std::string> lines;
    int selectedLine = -1;
    std::int16_t portNumber = 0;
    std::int16_t start = 0;
    std::int16_t length = 0;
    std::optional<std::uint32_t> driverProblem;
    std::optional<std::string> numberError;
};
AdapterScan scanPortEntries(const std::vector<PortEntry>& entries);

// One line of `kelvane-cli ports`: a port the scan lists, and whether the scan counts
// it as the USB-to-serial adapter and why.
struct PortReport {
    std::string name;
    std::optional<int> portNumber;  // from the name: the adapter's, else its last "(COMn)"
    std::string usbIds;
    bool adapter = false;  // an adapter by the name rule or as a USB serial port
    bool chosen = false;   // the adapter the scan takes
    std::string why;
};
std::vector<PortReport> reportPortEntries(const std::vector<PortEntry>& entries);

// "067b:2303" from a Windows device id ("USB\VID_067B&PID_2303\…",
// "FTDIBUS\VID_0403+PID_6001+…"); empty when it names no vendor and product.
std::string usbIdsOfDeviceId(const std::string& pnpDeviceId);

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
std::optional<std::string> openFailureMessage(OpenFailure failure, const std::string& device,
                                              std::int16_t languageId = kLanguageEnglish);

}  // namespace kelvane
