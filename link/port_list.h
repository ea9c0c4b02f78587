// The ports the scan reads, as the platform names them: every Plug-and-Play device
// name (the scan's rules pick the USB-to-serial adapter and its COM number), and the
// device that a port-name table entry opens. Linux builds the names from sysfs under
// COM aliases; Windows reads them from WMI and opens "COM5" or "\\.\COM12" as it is.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelvane {

// One Plug-and-Play device as the scan reads it: its name (UTF-8 on Linux, the
// system's ANSI code page on Windows) and what the system says of it besides.
struct PortEntry {
    PortEntry(std::string deviceName = {}) : name(std::move(deviceName)) {}  // NOLINT
    PortEntry(std::string deviceName, bool usbSerial, std::uint32_t problem = 0,
              std::string usb = {})
        : name(std::move(deviceName)),
          usbSerialPort(usbSerial),
          driverProblem(problem),
          usbIds(std::move(usb)) {}

    std::string name;
    // A serial port on USB or FTDI's bus (Windows: a Ports-class device whose
    // PNPDeviceID begins USB\ or FTDIBUS\): an adapter whatever its driver calls it.
    bool usbSerialPort = false;
    // Windows' device problem code (ConfigManagerErrorCode); 0 when the driver works.
    std::uint32_t driverProblem = 0;
    // The USB vendor and product ids, "0403:6001", where the system says them.
    std::string usbIds;

    bool operator==(const PortEntry& other) const {
        return name == other.name && usbSerialPort == other.usbSerialPort &&
               driverProblem == other.driverProblem && usbIds == other.usbIds;
    }
};

// What one scan found: the devices in the system's order, or the message that ends
// the program when the system's device list cannot be read. A notice is a failure
// the scan reports and then goes on from, with the ports the command line gave.
struct PortNameListing {
    std::vector<PortEntry> names;
    std::optional<std::string> error;
    std::optional<std::string> notice;
};

class PortNameSource {
  public:
    virtual ~PortNameSource() = default;
    virtual PortNameListing listNames() = 0;
    // The device the link opens for a port-name table entry; empty when the entry
    // names no device of the last listing, so that opening it fails.
    virtual std::string resolve(const std::string& portName) const = 0;
};

}  // namespace kelvane
