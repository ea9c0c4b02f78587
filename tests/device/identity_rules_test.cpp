// The read sequence's identity test: accepted model codes, the early word 3110 and
// the firmware version index each carries.
#include <gtest/gtest.h>

#include "device/identity_rules.h"

namespace kelvane {
namespace {

TEST(IdentityRules, AcceptsModelCodesOneTwoSixteenSeventeenAndTheEarlyWord) {
    struct Case {
        std::uint8_t model;
        std::uint8_t version;
        bool accepted;
        int firmware;
    };
    const Case cases[] = {
        {12, 38, true, 0},  // 3110: an early device, firmware index 0
        {1, 3, true, 3},    {2, 5, true, 5},   {16, 5, true, 5},
        {17, 21, true, 21}, {18, 5, false, 0}, {0, 0, false, 0},
        {12, 37, false, 0}, {33, 1, false, 0}, {255, 255, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.model) + "/" + std::to_string(c.version));
        const auto identity = acceptIdentity(c.model, c.version);
        ASSERT_EQ(identity.has_value(), c.accepted);
        if (identity) {
            EXPECT_EQ(identity->firmwareIndex, c.firmware);
            EXPECT_EQ(identity->modelCode, c.model);
        }
    }
}

}  // namespace
}  // namespace kelvane
