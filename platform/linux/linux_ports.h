// Finding serial ports on Linux, in place of the Plug-and-Play names the scan reads:
// the kernel's serial devices (USB adapters, built-in UARTs with real hardware) in
// device-name order, plus devices named on the command line, each under a COM alias
// (COM1, COM2 … in that order) and a Plug-and-Play-style name the scan rules read.
// The alias table resolves "COMn" to its device when the link opens the port.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "link/port_list.h"

namespace kelvane {

struct SerialDevice {
    std::string path;  // "/dev/ttyUSB0"
    bool usbAdapter = false;
    std::string product;      // a USB adapter's product text; empty when unknown
    std::string usbIds = {};  // its vendor and product ids, "0403:6001"; empty when unknown
};

// What the platform reports: the serial devices, or an error text when the
// system's device list cannot be read.
struct DeviceListing {
    std::vector<SerialDevice> devices;
    std::optional<std::string> error;
};

class SerialDeviceSource {
  public:
    virtual ~SerialDeviceSource() = default;
    virtual DeviceListing listDevices() = 0;
};

// The kernel's serial devices from sysfs (/sys/class/tty): ttyUSB* and ttyACM* as
// USB adapters, product text from the USB device; other ttys only with a hardware
// device behind them, and ttyS* only when the kernel found a UART there.
class SysfsDeviceSource final : public SerialDeviceSource {
  public:
    explicit SysfsDeviceSource(std::string ttyClassDir = "/sys/class/tty",
                               std::string devDir = "/dev")
        : ttyClassDir_(std::move(ttyClassDir)), devDir_(std::move(devDir)) {}
    DeviceListing listDevices() override;

  private:
    std::string ttyClassDir_;
    std::string devDir_;
};

// "ttyUSB2" before "ttyUSB10": letters compared as text, trailing numbers as numbers.
bool deviceNameLess(const std::string& a, const std::string& b);

// The ports of one scan under their COM aliases.
class PortAliases {
  public:
    struct Entry {
        std::string alias;  // "COM3"
        std::string path;
        std::string plugAndPlayName;
        std::string usbIds = {};
    };

    // System devices in device-name order, then the extra adapters in the order given
    // (an extra that is already a system device is marked as an adapter in place).
    void assign(std::vector<SerialDevice> systemDevices,
                const std::vector<SerialDevice>& extraAdapters);

    const std::vector<Entry>& entries() const { return entries_; }
    // The device behind a port-name table entry ("COM3", "\\.\COM12"); empty when the
    // alias names no device, so that opening it fails.
    std::string resolve(const std::string& portName) const;

  private:
    std::vector<Entry> entries_;
};

// The scan's names on Linux: the system's serial devices, then the extra adapters
// (--port, --simulate), under their COM aliases; the aliases open their devices.
class LinuxPortNames final : public PortNameSource {
  public:
    explicit LinuxPortNames(SerialDeviceSource& devices,
                            std::vector<SerialDevice> extraAdapters = {})
        : devices_(devices), extraAdapters_(std::move(extraAdapters)) {}
    PortNameListing listNames() override;
    std::string resolve(const std::string& portName) const override {
        return aliases_.resolve(portName);
    }

  private:
    SerialDeviceSource& devices_;
    std::vector<SerialDevice> extraAdapters_;
    PortAliases aliases_;
};

// "<product> USB-to-Serial Comm Port (COMn) <device>" for a USB adapter (named after
// its device without a product text), "Communications Port (COMn) <device>" for any
// other port. The device path follows the first ")", where the scan rules do not look;
// product text cannot disturb them: parentheses and upper-case "COM" are taken out.
std::string plugAndPlayName(const SerialDevice& device, int comNumber);

}  // namespace kelvane
