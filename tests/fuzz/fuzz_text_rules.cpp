// Fuzz target: arbitrary text through everything that reads what a user types or a
// platform reports: number conversions and patterns, the field checks, the write,
// calibration and serial-number rules, line-settings strings and port names. Text
// that is not a number must raise ConversionError, never anything worse.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "device/calibration_rules.h"
#include "device/input_rules.h"
#include "device/number_text.h"
#include "device/port_name_rules.h"
#include "device/write_rules.h"
#include "link/line_settings.h"

namespace {

template <class Check>
void tolerant(Check check) {
    try {
        check();
    } catch (const kelvane::ConversionError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    using namespace kelvane;

    tolerant([&] {
        const double value = textToFloat(text);
        for (int decimals : {0, 1, 2, 3}) {
            // A pattern's text reads back as a number.
            textToFloat(formatFixed(value, decimals));
        }
    });
    tolerant([&] { textToInt(text); });
    for (int type : {-1, 1, 9, 10, 11, 12}) {
        tolerant([&] { checkedLowerLimit(text, "-50", "1370", type); });
        tolerant([&] { checkedUpperLimit(text, "-60.00", "60.00", type); });
        tolerant([&] { checkedOffset(text, "-71.0", "+71.0", type); });
        const auto limits = validationLimits(type, 1);
        if (limits) {
            tolerant([&] { rangeFieldPasses(text, *limits); });
            tolerant([&] { offsetFieldPasses(text, *limits); });
        }
    }
    for (int scale : {1, 10, 100, 1000}) {
        tolerant([&] { scaledRegisterValue(text, scale); });
    }
    tolerant([&] { serialNumberFromText(text); });
    tolerant([&] { referenceValue(text, ReferenceKind::WholeDegrees); });
    tolerant([&] { referenceValue(text, ReferenceKind::Thousandths); });
    tolerant([&] { checkedReference(text, kVoltageLoRule); });
    tolerant([&] { checkedReference(text, kRtdHiRule); });

    if (const auto settings = parseLineSettings(text)) {
        if (parseLineSettings(toString(*settings)) != settings) {
            std::abort();  // what the parser accepts it reads back the same
        }
    }
    const PortNameVerdict verdict = readPortName(text);
    if (verdict.adapter && !verdict.listed) {
        std::abort();
    }
    tolerant([&] { portNumberFromText(verdict.numberText); });
    return 0;
}
