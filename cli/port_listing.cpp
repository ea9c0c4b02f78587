#include "cli/port_listing.h"

#include <nlohmann/json.hpp>

#include "cli/transmitter_session.h"
#include "device/port_name_rules.h"
#include "link/port_names.h"

namespace kelvane::cli {
namespace {

struct ListedPort {
    PortReport report;
    std::string device;  // empty when the name gives no port from 1 to 255
    std::string openProblem;
};

std::string openProblemOf(OpenFailure failure) {
    switch (failure) {
        case OpenFailure::PermissionDenied:
            return std::string("it cannot be opened: permission denied. ") + kDialoutFix;
        case OpenFailure::Busy:
            return std::string("it cannot be opened: another program is using it") + kBusyAdvice;
        case OpenFailure::Absent:
            return "it cannot be opened: the device is gone";
        case OpenFailure::None:
            break;
    }
    return {};
}

std::string verdictOf(const ListedPort& listed) {
    const PortReport& report = listed.report;
    std::string verdict = report.chosen    ? "the adapter: "
                          : report.adapter ? "an adapter, not chosen (the scan takes the last): "
                                           : "not the adapter: ";
    verdict += report.why;
    if (!listed.openProblem.empty()) {
        verdict += "; " + listed.openProblem;
    }
    return verdict;
}

}  // namespace

int listPorts(PortNameSource& source, SerialPort& port, bool json, std::ostream& out,
              std::ostream& err) {
    const PortNameListing listing = source.listNames();
    if (listing.error) {
        err << "kelvane-cli: " << *listing.error << "\n";
        return kBadInput;
    }
    std::vector<ListedPort> ports;
    for (PortReport& report : reportPortEntries(listing.names)) {
        ListedPort listed{std::move(report), {}, {}};
        if (listed.report.portNumber) {
            if (const auto name = portDeviceName(*listed.report.portNumber - 1)) {
                listed.device = source.resolve(*name);
            }
        }
        if (!listed.device.empty()) {
            if (port.open(listed.device)) {
                port.close();
            } else {
                listed.openProblem = openProblemOf(port.lastOpenFailure());
            }
        }
        ports.push_back(std::move(listed));
    }
    if (json) {
        // An empty text is null: the system does not say it.
        const auto textOrNull = [](const std::string& text) {
            return text.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(text);
        };
        nlohmann::ordered_json array = nlohmann::ordered_json::array();
        for (const ListedPort& listed : ports) {
            nlohmann::ordered_json entry;
            entry["name"] = listed.report.name;
            entry["device"] = textOrNull(listed.device);
            entry["usb"] = textOrNull(listed.report.usbIds);
            entry["adapter"] = listed.report.adapter;
            entry["chosen"] = listed.report.chosen;
            entry["why"] = listed.report.why;
            entry["open"] = textOrNull(listed.openProblem);
            array.push_back(std::move(entry));
        }
        out << array.dump(2) << "\n";
        return kSuccess;
    }
    if (ports.empty()) {
        out << "no serial ports\n";
    }
    for (const ListedPort& listed : ports) {
        out << '"' << listed.report.name << "\"  " << (listed.device.empty() ? "-" : listed.device)
            << "  " << (listed.report.usbIds.empty() ? "-" : listed.report.usbIds) << "  "
            << verdictOf(listed) << "\n";
    }
    return kSuccess;
}

}  // namespace kelvane::cli
