#include "link/port_names.h"

#include <algorithm>
#include <cctype>

namespace kelvane {

std::optional<std::string> portDeviceName(int portIndex) {
    if (portIndex < 0 || portIndex >= static_cast<int>(kPortNameTable.size())) {
        return std::nullopt;
    }
    return std::string(kPortNameTable[portIndex]);
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
    for (std::size_t i = 0; i < kPortNameTable.size(); ++i) {
        if (alias == comAlias(kPortNameTable[i])) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

}  // namespace kelvane
