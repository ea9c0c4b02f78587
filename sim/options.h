// The kelvane-sim command line: which transmitter to simulate (model, firmware,
// serial number, address, speed), the faults it shows, the symbolic link to its
// serial device and where the traffic log goes. Parsed without side effects.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "sim/faults.h"
#include "sim/transmitter.h"

namespace kelvane::sim {

struct FaultRequest {
    Fault fault;
    unsigned fromRequest = 0;  // 0: from the start; n: from the n-th request heard
};

struct SimOptions {
    DeviceSettings device;
    std::vector<FaultRequest> faults;
    std::string linkPath;   // empty: no symbolic link
    std::string logPath;    // empty: no log; "-": standard error
    bool lineTime = false;  // --line-time: each byte takes its line time before it is seen
    std::string meterPath;  // --meter: where the output current goes; "-": standard output
    bool help = false;
    bool version = false;  // --version
};

// The parsed options, or the message that explains what is wrong.
struct ParsedOptions {
    std::optional<SimOptions> options;
    std::string error;
};

ParsedOptions parseOptions(const std::vector<std::string>& arguments);

std::string usageText();

}  // namespace kelvane::sim
