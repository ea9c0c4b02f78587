// Fuzz target: arbitrary text as a kelvane-cli configuration file. It is refused with
// BadFile or read into a configuration whose choices are all in range and whose
// numbers are texts the write rules read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "device/config_file.h"
#include "device/extended.h"
#include "device/number_text.h"
#include "device/register_map.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelvane;
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        const ConfigurationFile file = parseConfigurationJson(text);
        const Configuration& c = file.configuration;
        if (!regmap::isInputType(c.inputType) || c.unit < 0 || c.unit > 1 ||
            c.outputDirection < 0 || c.outputDirection > 1 || c.breakSignal < 0 ||
            c.breakSignal > 2) {
            std::abort();
        }
        for (const std::string& number : {c.lower, c.upper, c.offset}) {
            try {
                Extended::fromText(number);
            } catch (const ConversionError&) {
                // A JSON number too large for the type is refused later by validation.
            }
        }
        validationProblem(c);
    } catch (const BadFile&) {
    }
    return 0;
}
