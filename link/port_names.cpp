#include "link/port_names.h"

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

}  // namespace kelvane
