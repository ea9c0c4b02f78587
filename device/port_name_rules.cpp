#include "device/port_name_rules.h"

#include <algorithm>
#include <limits>

#include "device/number_text.h"

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

}  // namespace

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

std::int16_t portNumberFromText(const std::string& numberText) {
    const int value = textToInt(numberText);
    return static_cast<std::int16_t>(std::clamp<int>(
        value, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
}

std::optional<std::string> openFailureMessage(OpenFailure failure, const std::string& device) {
    switch (failure) {
        case OpenFailure::PermissionDenied:
            return "Cannot open " + device + ": permission denied.\n" + kDialoutFix;
        case OpenFailure::Busy:
            return "Cannot open " + device +
                   ": another program is using it.\nClose that program, then press Start again.";
        case OpenFailure::None:
        case OpenFailure::Absent:
            break;
    }
    return std::nullopt;
}

}  // namespace kelvane
