#include "platform/linux/linux_ports.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "link/port_names.h"

namespace fs = std::filesystem;

namespace kelvane {

namespace {

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

std::string firstLineOf(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) {
        line.pop_back();
    }
    return line;
}

// The USB device above the tty's device (ttyUSB sits two levels below it, ttyACM
// one): its product text, the first "product" file on the way up, and its vendor and
// product ids ("0403:6001") from the first folder with "idVendor", where the search
// ends: a hub above it is not the adapter.
struct UsbDevice {
    std::string product;
    std::string ids;
};

UsbDevice usbDevice(const fs::path& deviceLink) {
    std::error_code error;
    fs::path dir = fs::canonical(deviceLink, error);
    UsbDevice usb;
    if (error) {
        return usb;
    }
    for (int level = 0; level < 5 && !dir.empty() && dir != dir.root_path(); ++level) {
        if (usb.product.empty() && fs::is_regular_file(dir / "product", error)) {
            usb.product = firstLineOf(dir / "product");
        }
        if (fs::exists(dir / "idVendor", error)) {
            const std::string vendor = firstLineOf(dir / "idVendor");
            const std::string product = firstLineOf(dir / "idProduct");
            if (!vendor.empty() && !product.empty()) {
                usb.ids = vendor + ":" + product;
            }
            return usb;
        }
        dir = dir.parent_path();
    }
    return usb;
}

// The kernel lists ttyS0 … ttyS31 whether or not a UART answers there; only a port
// whose type is not 0 (PORT_UNKNOWN) is real hardware.
bool realUart(const fs::path& ttyDir) {
    const std::string type = firstLineOf(ttyDir / "type");
    return !type.empty() && type != "0";
}

std::pair<std::string, long> splitTrailingNumber(const std::string& name) {
    size_t digits = name.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1]))) {
        --digits;
    }
    if (digits == name.size() || name.size() - digits > 9) {
        return {name, -1};
    }
    return {name.substr(0, digits), std::stol(name.substr(digits))};
}

}  // namespace

bool deviceNameLess(const std::string& a, const std::string& b) {
    const auto [stemA, numberA] = splitTrailingNumber(a);
    const auto [stemB, numberB] = splitTrailingNumber(b);
    if (stemA != stemB) {
        return stemA < stemB;
    }
    if (numberA != numberB) {
        return numberA < numberB;
    }
    return a < b;
}

DeviceListing SysfsDeviceSource::listDevices() {
    DeviceListing listing;
    std::error_code error;
    fs::directory_iterator entries(ttyClassDir_, error);
    if (error) {
        listing.error =
            "Cannot read the list of serial devices (" + ttyClassDir_ + "): " + error.message();
        return listing;
    }
    std::vector<std::string> names;
    // An I/O error part-way through is the same failure as an unreadable list.
    for (; entries != fs::directory_iterator(); entries.increment(error)) {
        if (error) {
            break;
        }
        names.push_back(entries->path().filename().string());
    }
    if (error) {
        listing.error =
            "Cannot read the list of serial devices (" + ttyClassDir_ + "): " + error.message();
        return listing;
    }
    std::sort(names.begin(), names.end(), deviceNameLess);
    for (const std::string& name : names) {
        const fs::path ttyDir = fs::path(ttyClassDir_) / name;
        const fs::path deviceLink = ttyDir / "device";
        if (!fs::exists(deviceLink, error)) {
            continue;  // virtual terminals, pseudo-terminals, the console
        }
        SerialDevice device;
        device.path = (fs::path(devDir_) / name).string();
        device.usbAdapter = startsWith(name, "ttyUSB") || startsWith(name, "ttyACM");
        if (device.usbAdapter) {
            const UsbDevice usb = usbDevice(deviceLink);
            device.product = usb.product;
            device.usbIds = usb.ids;
        } else if (startsWith(name, "ttyS") && !realUart(ttyDir)) {
            continue;
        }
        listing.devices.push_back(std::move(device));
    }
    return listing;
}

namespace {

// Text that cannot move the port number the scan rules cut: no parentheses, no
// control characters, no upper-case "COM", no blanks at either end.
std::string harmless(const std::string& text) {
    std::string clean;
    for (char c : text) {
        if (c == '(' || c == ')' || std::iscntrl(static_cast<unsigned char>(c))) {
            c = ' ';
        }
        clean += c;
    }
    for (size_t at = clean.find("COM"); at != std::string::npos; at = clean.find("COM", at)) {
        clean.replace(at, 3, "Com");
    }
    const size_t first = clean.find_first_not_of(' ');
    clean = first == std::string::npos ? std::string() : clean.substr(first);
    while (!clean.empty() && clean.back() == ' ') {
        clean.pop_back();
    }
    return clean;
}

}  // namespace

std::string plugAndPlayName(const SerialDevice& device, int comNumber) {
    // The device path goes after the first ")", where the scan rules never look, so
    // that a technician sees what each port leads to.
    const std::string port = "(COM" + std::to_string(comNumber) + ") " + device.path;
    if (!device.usbAdapter) {
        return "Communications Port " + port;
    }
    std::string product = harmless(device.product);
    if (product.empty()) {
        // Named after its device ("ttyUSB0", "pts/3") rather than a bare "USB".
        const std::string dev = "/dev/";
        product =
            harmless(device.path.rfind(dev, 0) == 0 ? device.path.substr(dev.size())
                                                    : fs::path(device.path).filename().string());
    }
    if (product.empty()) {
        product = "USB";
    }
    return product + " USB-to-Serial Comm Port " + port;
}

void PortAliases::assign(std::vector<SerialDevice> systemDevices,
                         const std::vector<SerialDevice>& extraAdapters) {
    std::sort(systemDevices.begin(), systemDevices.end(),
              [](const SerialDevice& a, const SerialDevice& b) {
                  return deviceNameLess(fs::path(a.path).filename().string(),
                                        fs::path(b.path).filename().string());
              });
    for (SerialDevice extra : extraAdapters) {
        extra.usbAdapter = true;
        auto known = std::find_if(systemDevices.begin(), systemDevices.end(),
                                  [&](const SerialDevice& d) { return d.path == extra.path; });
        if (known != systemDevices.end()) {
            known->usbAdapter = true;
        } else {
            systemDevices.push_back(std::move(extra));
        }
    }
    entries_.clear();
    int comNumber = 1;
    for (const SerialDevice& device : systemDevices) {
        entries_.push_back({"COM" + std::to_string(comNumber), device.path,
                            plugAndPlayName(device, comNumber), device.usbIds});
        ++comNumber;
    }
}

PortNameListing LinuxPortNames::listNames() {
    const DeviceListing listing = devices_.listDevices();
    if (listing.error) {
        return {{}, listing.error, std::nullopt};
    }
    aliases_.assign(listing.devices, extraAdapters_);
    PortNameListing names;
    for (const PortAliases::Entry& entry : aliases_.entries()) {
        names.names.push_back(PortEntry(entry.plugAndPlayName, false, 0, entry.usbIds));
    }
    return names;
}

std::string PortAliases::resolve(const std::string& portName) const {
    const std::string alias = comAlias(portName);
    for (const Entry& entry : entries_) {
        if (entry.alias == alias) {
            return entry.path;
        }
    }
    return {};
}

}  // namespace kelvane
