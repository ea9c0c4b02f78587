#include "device/identity_rules.h"

#include "device/register_map.h"
#include "link/registers.h"

namespace kelvane {

std::optional<AcceptedIdentity> acceptIdentity(std::uint8_t modelByte, std::uint8_t versionByte) {
    if (wordFrom(modelByte, versionByte) == regmap::kEarlyIdentityWord) {
        return AcceptedIdentity{modelByte, 0};
    }
    switch (modelByte) {
        case regmap::kModelQtrD:
        case regmap::kModelQtrH:
        case regmap::kModelUnnamed:
        case regmap::kModelQtnH:
            return AcceptedIdentity{modelByte, versionByte};
        default:
            return std::nullopt;
    }
}

}  // namespace kelvane
