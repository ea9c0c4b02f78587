// The names of a port listing, for tests that compare only what the scan shows.
#pragma once

#include <string>
#include <vector>

#include "link/port_list.h"

namespace kelvane {

inline std::vector<std::string> namesOf(const PortNameListing& listing) {
    std::vector<std::string> names;
    for (const PortEntry& entry : listing.names) {
        names.push_back(entry.name);
    }
    return names;
}

}  // namespace kelvane
