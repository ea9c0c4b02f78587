// Configuration files of kelvane-cli: JSON with the screen's own words as values,
//   {"model": "QTR-H", "firmware": "V05", "serial": 200001, "input": "Thermocouple K",
//    "unit": "deg C", "lower": -50, "upper": 400, "offset": 1.5, "output": "4mA ~ 20mA",
//    "break": "UpScale(>20mA)", "trim4mA": 1234, "trim20mA": 30000}
// numbers as the screen shows them. Reading a file names the first bad field.
#pragma once

#include <stdexcept>
#include <string>

#include "cli/transmitter_session.h"

namespace kelvane::cli {

// A file that cannot be used: the message names the field and what it allows.
class BadFile : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

std::string configurationJson(const ConfigurationFile& file);
// Throws BadFile. Identity fields and trim counts are checked but not needed.
ConfigurationFile parseConfigurationJson(const std::string& text);
ConfigurationFile readConfigurationFile(const std::string& path);

}  // namespace kelvane::cli
