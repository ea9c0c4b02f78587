#include "link/port_names.h"

#include <algorithm>
#include <cctype>

namespace kelvane {

std::optional<std::string> portDeviceName(int portIndex) {
    if (portIndex < 0 || portIndex >= kHighestPortNumber) {
        return std::nullopt;
    }
    if (portIndex < static_cast<int>(kPortNameTable.size())) {
        return std::string(kPortNameTable[portIndex]);
    }
    return "\\\\.\\COM" + std::to_string(portIndex + 1);
}

std::string comAlias(const std::string& deviceName) {
    static const std::string kDevicePrefix = "\\\\.\\";
    if (deviceName.rfind(kDevicePrefix, 0) == 0) {
        return deviceName.substr(kDevicePrefix.size());
    }
    return deviceName;
}

std::optional<int> portIndexOfName(const std::string& name) {
    std::string upper = name;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const std::string alias = comAlias(upper);
    const std::string digits = alias.rfind("COM", 0) == 0 ? alias.substr(3) : std::string();
    // One to three digits without a leading zero: "COM1" … "COM255".
    if (digits.empty() || digits.size() > 3 || digits[0] == '0' ||
        !std::all_of(digits.begin(), digits.end(),
                     [](unsigned char c) { return std::isdigit(c); })) {
        return std::nullopt;
    }
    const int number = std::stoi(digits);
    if (number > kHighestPortNumber) {
        return std::nullopt;
    }
    return number - 1;
}

}  // namespace kelvane
