#include "device/port_name_rules.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "device/number_text.h"
#include "i18n/scan_texts.h"
#include "link/port_names.h"

namespace kelvane {

namespace {

// 1-based position of the first occurrence of `what`, 0 when absent.
int positionOf(const std::string& name, const char* what) {
    const auto at = name.find(what);
    return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

// `length` characters from the 1-based `start`; empty when they do not fit the name.
std::string cut(const std::string& name, int start, int length) {
    if (start < 1 || length <= 0 || start > static_cast<int>(name.size())) {
        return {};
    }
    return name.substr(static_cast<size_t>(start - 1), static_cast<size_t>(length));
}

bool startsWithIgnoringCase(const std::string& text, const std::string& start) {
    return text.size() >= start.size() && std::equal(start.begin(), start.end(), text.begin(),
                                                     [](unsigned char a, unsigned char b) {
                                                         return std::toupper(a) == std::toupper(b);
                                                     });
}

}  // namespace

bool isUsbSerialPort(const std::string& classGuid, const std::string& pnpDeviceId) {
    const std::string ports = kPortsClassGuid;
    return classGuid.size() == ports.size() && startsWithIgnoringCase(classGuid, ports) &&
           (startsWithIgnoringCase(pnpDeviceId, "USB\\") ||
            startsWithIgnoringCase(pnpDeviceId, "FTDIBUS\\"));
}

PortNameVerdict readPortName(const std::string& name) {
    PortNameVerdict verdict;
    const int com = positionOf(name, "COM");
    verdict.listed = com != 0;
    if (!verdict.listed) {
        return verdict;
    }
    verdict.adapter = name.find("USB-to-Serial") != std::string::npos ||
                      name.find("USB to Serial") != std::string::npos;
    if (!verdict.adapter) {
        return verdict;
    }
    const int start = com + 3;  // the first character after "COM"
    const int length = positionOf(name, ")") - start;
    verdict.start = static_cast<std::int16_t>(start);
    verdict.length =
        static_cast<std::int16_t>(std::clamp<int>(length, std::numeric_limits<std::int16_t>::min(),
                                                  std::numeric_limits<std::int16_t>::max()));
    verdict.numberText = cut(name, start, length);
    return verdict;
}

PortNameVerdict readPortEntry(const PortEntry& entry) {
    PortNameVerdict verdict = readPortName(entry.name);
    if (!verdict.listed || verdict.adapter || !entry.usbSerialPort) {
        return verdict;
    }
    // The number the driver put in parentheses at the end of the name.
    const std::string& name = entry.name;
    for (auto open = name.rfind("(COM"); open != std::string::npos;
         open = open == 0 ? std::string::npos : name.rfind("(COM", open - 1)) {
        const std::size_t digits = open + 4;
        const std::size_t close = name.find(')', digits);
        if (close == std::string::npos || close == digits ||
            !std::all_of(name.begin() + static_cast<std::ptrdiff_t>(digits),
                         name.begin() + static_cast<std::ptrdiff_t>(close),
                         [](unsigned char c) { return c >= '0' && c <= '9'; })) {
            continue;
        }
        verdict.adapter = true;
        verdict.start = static_cast<std::int16_t>(std::min<std::size_t>(digits + 1, 32767));
        verdict.length = static_cast<std::int16_t>(std::min<std::size_t>(close - digits, 32767));
        verdict.numberText = name.substr(digits, close - digits);
        return verdict;
    }
    return verdict;
}

AdapterScan scanPortEntries(const std::vector<PortEntry>& entries) {
    AdapterScan scan;
    for (const PortEntry& entry : entries) {
        const PortNameVerdict verdict = readPortEntry(entry);
        if (!verdict.listed) {
            continue;
        }
        scan.lines.push_back(entry.name);
        if (verdict.adapter && entry.driverProblem != 0) {
            scan.driverProblem = entry.driverProblem;
        } else if (verdict.adapter) {
            scan.start = verdict.start;
            scan.length = verdict.length;
            try {
                scan.portNumber = portNumberFromText(verdict.numberText);
            } catch (const ConversionError&) {
                scan.numberError = verdict.numberText;
                return scan;
            }
            scan.selectedLine = static_cast<int>(scan.lines.size()) - 1;
        }
    }
    return scan;
}

std::vector<PortReport> reportPortEntries(const std::vector<PortEntry>& entries) {
    const AdapterScan scan = scanPortEntries(entries);
    std::vector<PortReport> reports;
    for (const PortEntry& entry : entries) {
        const PortNameVerdict verdict = readPortEntry(entry);
        if (!verdict.listed) {
            continue;
        }
        PortReport report;
        report.name = entry.name;
        report.usbIds = entry.usbIds;
        report.adapter = verdict.adapter;
        report.chosen = !scan.numberError && static_cast<int>(reports.size()) == scan.selectedLine;
        // A port the rules pass over still has the number its last "(COMn)" gives.
        const PortNameVerdict numbered =
            verdict.adapter ? verdict : readPortEntry(PortEntry(entry.name, true));
        if (numbered.adapter) {
            try {
                report.portNumber = textToInt(numbered.numberText);
            } catch (const ConversionError&) {
            }
        }
        if (!verdict.adapter) {
            report.why = "not a USB-to-serial adapter by its name or its bus; name it with --port";
        } else if (entry.driverProblem != 0) {
            report.why = "its driver is not working (Windows device problem code " +
                         std::to_string(entry.driverProblem) + "): reinstall the adapter's driver";
        } else if (!report.portNumber) {
            report.why = "its port number \"" + verdict.numberText + "\" is not a number";
        } else if (*report.portNumber < 1 || *report.portNumber > kHighestPortNumber) {
            report.why = "its port number is not from 1 to " + std::to_string(kHighestPortNumber);
        } else if (readPortName(entry.name).adapter) {
            report.why = "its name says USB-to-Serial";
        } else {
            report.why = "a serial port on USB";
        }
        reports.push_back(std::move(report));
    }
    return reports;
}

std::string usbIdsOfDeviceId(const std::string& pnpDeviceId) {
    std::string upper = pnpDeviceId;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const auto hexAfter = [&upper](const char* key) -> std::string {
        const std::size_t at = upper.find(key);
        if (at == std::string::npos || upper.size() < at + 8 ||
            !std::all_of(upper.begin() + static_cast<std::ptrdiff_t>(at + 4),
                         upper.begin() + static_cast<std::ptrdiff_t>(at + 8),
                         [](unsigned char c) { return std::isxdigit(c) != 0; })) {
            return {};
        }
        std::string digits = upper.substr(at + 4, 4);
        std::transform(digits.begin(), digits.end(), digits.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return digits;
    };
    const std::string vendor = hexAfter("VID_");
    const std::string product = hexAfter("PID_");
    return vendor.empty() || product.empty() ? std::string() : vendor + ":" + product;
}

std::int16_t portNumberFromText(const std::string& numberText) {
    const int value = textToInt(numberText);
    return static_cast<std::int16_t>(std::clamp<int>(
        value, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
}

std::optional<std::string> openFailureMessage(OpenFailure failure, const std::string& device,
                                              std::int16_t languageId) {
    switch (failure) {
        case OpenFailure::PermissionDenied:
            return fillText(chooseText(languageId, scan_texts::kCannotOpenPermission), {device});
        case OpenFailure::Busy:
            return fillText(chooseText(languageId, scan_texts::kCannotOpenBusy), {device});
        case OpenFailure::None:
        case OpenFailure::Absent:
            break;
    }
    return std::nullopt;
}

}  // namespace kelvane
