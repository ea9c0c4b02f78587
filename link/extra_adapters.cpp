#include "link/extra_adapters.h"

#include <algorithm>

#include "link/port_names.h"

namespace kelvane {

namespace {

bool shown(const std::vector<PortEntry>& names, const std::string& alias) {
    const std::string inName = "(" + alias + ")";
    return std::any_of(names.begin(), names.end(), [&](const PortEntry& entry) {
        return entry.name.find(inName) != std::string::npos;
    });
}

}  // namespace

PortNameListing WithExtraAdapters::listNames() {
    PortNameListing listing = system_.listNames();
    devices_.clear();
    if (listing.error) {
        if (extras_.empty()) {
            return listing;
        }
        // A system whose device list cannot be read (WMI locked down or broken) still
        // has the ports the command line names: the scan says why the system's own are
        // missing and goes on with those.
        listing.notice = std::move(listing.error);
        listing.error.reset();
        listing.names.clear();
    }
    for (const ExtraAdapter& extra : extras_) {
        int index = static_cast<int>(kPortNameTable.size()) - 1;
        if (extra.portIndex) {
            index = *extra.portIndex;
        } else {
            while (index > 0 && shown(listing.names, comAlias(kPortNameTable[index]))) {
                --index;
            }
        }
        const std::string entry = portDeviceName(index).value_or(kPortNameTable[0]);
        listing.names.push_back((extra.label.empty() ? "" : extra.label + " ") +
                                "USB-to-Serial Comm Port (" + comAlias(entry) + ")");
        if (!extra.device.empty()) {
            devices_[entry] = extra.device;
        } else {
            devices_.erase(entry);
        }
    }
    return listing;
}

std::string WithExtraAdapters::resolve(const std::string& portName) const {
    const auto extra = devices_.find(portName);
    return extra != devices_.end() ? extra->second : system_.resolve(portName);
}

}  // namespace kelvane
