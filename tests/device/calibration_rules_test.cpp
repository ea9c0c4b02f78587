// The calibration page's numbers without its screen, so that the Windows build runs
// them too: references in thousandths or whole degrees, and serial numbers as words.
#include "device/calibration_rules.h"

#include <gtest/gtest.h>

#include "device/number_text.h"

namespace kelvane {
namespace {

TEST(CalibrationRules, ReferencesAndSerialNumbersBecomeTheirRegisterValues) {
    const struct {
        const char* text;
        ReferenceKind kind;
        int value;  // 99999: refused
    } references[] = {
        {"1.234", ReferenceKind::Thousandths, 1234},   {"4.1", ReferenceKind::Thousandths, 4100},
        {"-9.999", ReferenceKind::Thousandths, -9999}, {"0.0009", ReferenceKind::Thousandths, 0},
        {"32.768", ReferenceKind::Thousandths, 99999}, {"-200", ReferenceKind::WholeDegrees, -200},
        {"1370", ReferenceKind::WholeDegrees, 1370},   {"1.5", ReferenceKind::WholeDegrees, 99999}};
    for (const auto& c : references) {
        if (c.value == 99999) {
            EXPECT_THROW(referenceValue(c.text, c.kind), ConversionError) << c.text;
        } else {
            EXPECT_EQ(referenceValue(c.text, c.kind), c.value) << c.text;
        }
    }
    const struct {
        const char* text;
        std::uint32_t serial;
    } serials[] = {{"12345678", 12345678u},
                   {"123.9", 123u},
                   {"-1", 4294967295u},
                   {"4294967296", 0u},
                   {"1e30", 0u}};
    for (const auto& c : serials) {
        EXPECT_EQ(serialNumberFromText(c.text), c.serial) << c.text;
    }
}

}  // namespace
}  // namespace kelvane
