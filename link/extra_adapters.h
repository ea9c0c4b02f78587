// Adapters the command line adds to a scan of Plug-and-Play names (Windows): --port
// COMn and the simulated transmitter. Each is listed after the system's names as
// "<label> USB-to-Serial Comm Port (COMn)", which the scan's rules read as an adapter
// on COMn, and its COM port opens the extra's own device when it has one.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "link/port_list.h"

namespace kelvane {

struct ExtraAdapter {
    std::string label;             // what the name starts with; may be empty
    std::optional<int> portIndex;  // port-name table index; none: the highest free one
    std::string device;            // what the port opens; empty: the table's own name
};

class WithExtraAdapters final : public PortNameSource {
  public:
    WithExtraAdapters(PortNameSource& system, std::vector<ExtraAdapter> extras)
        : system_(system), extras_(std::move(extras)) {}

    // The system's names, then one name per extra in the order given. An extra without
    // a port takes the highest COM number that no name before it shows as "(COMn)".
    // A system listing that fails is returned as it is without extras; with extras,
    // its message becomes the listing's notice and the extras alone are listed.
    PortNameListing listNames() override;
    std::string resolve(const std::string& portName) const override;

  private:
    PortNameSource& system_;
    std::vector<ExtraAdapter> extras_;
    std::map<std::string, std::string> devices_;  // port-name table entry → device
};

}  // namespace kelvane
