#include "sim/faults.h"

namespace kelvane::sim {

const char* faultName(Fault fault) {
    for (const FaultName& entry : kFaultNames) {
        if (entry.fault == fault) {
            return entry.name;
        }
    }
    return "unknown";
}

std::optional<Fault> parseFault(const std::string& name) {
    for (const FaultName& entry : kFaultNames) {
        if (name == entry.name) {
            return entry.fault;
        }
    }
    return std::nullopt;
}

}  // namespace kelvane::sim
