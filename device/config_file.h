// Configuration files: JSON with the screen's own words as values,
//   {"model": "QTR-H", "firmware": "V05", "serial": 200001, "input": "Thermocouple K",
//    "unit": "deg C", "lower": -50, "upper": 400, "offset": 1.5, "output": "4mA ~ 20mA",
//    "break": "UpScale(>20mA)", "trim4mA": 1234, "trim20mA": 30000}
// numbers as the screen shows them. Reading a file names the first bad field, and the
// validation of Write To Device names the first field a device would refuse.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "device/configuration_rules.h"

namespace kelvane {

// The identity block of the device a file was read from.
struct Identity {
    int modelCode = 0;
    int firmwareIndex = 0;
    std::uint32_t serialNumber = 0;
};

// A configuration as a file holds it: choices by caption, numbers as text.
struct ConfigurationFile {
    Configuration configuration;
    std::optional<Identity> identity;  // present in a file that was read from a device
};

// A file that cannot be used: the message names the field and what it allows.
class BadFile : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

std::string configurationJson(const ConfigurationFile& file);
// Throws BadFile. Identity fields and trim counts are checked but not needed.
ConfigurationFile parseConfigurationJson(const std::string& text);
ConfigurationFile readConfigurationFile(const std::string& path);

// "deg C", "deg F", "mV", "V" or "mA": the unit the page shows the range in.
std::string unitLabelOf(const Configuration& c);

// The validation of Write To Device: a message naming the first failing field and its
// allowed range ("lower: 2000 is outside -50 … 1370 deg C"), or nothing when every
// field passes.
std::optional<std::string> validationProblem(const Configuration& wanted);

// One line per field where writing `file` would change what `device` holds:
// "upper: device 400, file 750". Numbers differ when writing the file would put another
// value in the register; reversed limits are compared as the write swaps them. The
// identity and the trim counts are not compared.
std::vector<std::string> configurationDifferences(const Configuration& device,
                                                  const Configuration& file);

// A choice the screen does not offer on this device, named as a file names it: "Cut"
// below V04, voltage or current on a QTN-H; nothing when the device offers every one.
std::optional<std::string> choiceNotOffered(const Configuration& wanted, int modelCode,
                                            int firmwareIndex);

}  // namespace kelvane
