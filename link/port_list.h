// The ports the scan reads, as the platform names them: every Plug-and-Play device
// name (the scan's rules pick the USB-to-serial adapter and its COM number), and the
// device that a port-name table entry opens. Linux builds the names from sysfs under
// COM aliases; Windows reads them from WMI and opens "COM5" or "\\.\COM12" as it is.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kelvane {

// What one scan found: the names in the system's order (UTF-8 on Linux, the system's
// ANSI code page on Windows), or the message that ends the program when the system's
// device list cannot be read.
struct PortNameListing {
    std::vector<std::string> names;
    std::optional<std::string> error;
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
