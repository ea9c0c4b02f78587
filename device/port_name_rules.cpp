#include "device/port_name_rules.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "device/number_text.h"
#include "i18n/scan_texts.h"

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
