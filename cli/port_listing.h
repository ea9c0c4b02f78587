// kelvane-cli ports: every serial port the scan lists, with its device, its USB ids
// where the system says them, and whether the scan takes it as the USB-to-serial
// adapter and why; a port that cannot be opened says why too (permission, in use).
#pragma once

#include <ostream>

#include "link/port_list.h"
#include "link/serial_port.h"

namespace kelvane::cli {

// One line a port, or a JSON array with --json; an exit status (2 when the system's
// list cannot be read). `port` tries each device once and closes it again.
int listPorts(PortNameSource& source, SerialPort& port, bool json, std::ostream& out,
              std::ostream& err);

}  // namespace kelvane::cli
