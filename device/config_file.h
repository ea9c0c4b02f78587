// Configuration files: JSON with the choices by name and the numbers as the screen
// shows them,
//   {"format": 2, "model": "QTR-H", "firmware": "V05", "serial": 200001,
//    "input": "thermocouple-K", "unit": "celsius", "lower": -50, "upper": 400,
//    "offset": 1.5, "output": "4-20mA", "break": "upscale", "trim4mA": 1234,
//    "trim20mA": 30000}
// A file without "format" is of format 1, which held the choices as the English captions
// of their day ("Thermocouple K", "deg C", "4mA ~ 20mA", "UpScale(>20mA)"); the names of
// format 2 stay when a caption is mended. Reading a file names the first bad field, and
// the validation of Write To Device names the first field a device would refuse.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "device/configuration_rules.h"
#include "i18n/message_choice.h"

namespace kelvane {

// The identity block of the device a file was read from.
struct Identity {
    int modelCode = 0;
    int firmwareIndex = 0;
    std::uint32_t serialNumber = 0;
};

// A configuration as a file holds it: choices by caption, numbers as text.
// A file's identity names no model (null) with model code 0.
struct ConfigurationFile {
    Configuration configuration;
    std::optional<Identity> identity;  // present in a file that was read from a device
    std::optional<std::string> port;   // the port it was read on, in read's array
};

// The format this Kelvane writes; it reads every format up to this one.
inline constexpr int kFileFormat = 2;

// Why a file cannot be used or written to a device, as parts the message is made of:
// the field, the value the file has and what the field allows (file_texts.h). The
// screens say it in their language, kelvane-cli in English.
struct FileProblem {
    FileProblem() = default;
    FileProblem(const Texts* text, std::string fieldName, std::string fieldValue = {},
                std::string allows = {})
        : message(text),
          field(std::move(fieldName)),
          value(std::move(fieldValue)),
          allowed(std::move(allows)) {}

    const Texts* message = nullptr;
    std::string field;
    std::string value;
    std::string allowed;
    std::string path;  // the file, when it was read from one
};
std::string describe(const FileProblem& problem, std::int16_t languageId = kLanguageEnglish);

// A file that cannot be used; what() is the English message.
class BadFile : public std::runtime_error {
  public:
    explicit BadFile(FileProblem problem);
    const FileProblem& problem() const { return problem_; }

  private:
    FileProblem problem_;
};

std::string configurationJson(const ConfigurationFile& file);
// The entry of read's array for a port whose read failed: {"port": …, "error": …}.
// Reading it says that it holds no configuration.
std::string failedReadJson(const std::string& port, const std::string& error);
// Throws BadFile, also for a file of a newer format. Identity, port and trim counts are
// checked but not needed.
ConfigurationFile parseConfigurationJson(const std::string& text);
ConfigurationFile readConfigurationFile(const std::string& path);

// "deg C", "deg F", "mV", "V" or "mA": the unit the page shows the range in.
std::string unitLabelOf(const Configuration& c);

// The validation of Write To Device: a message naming the first failing field and its
// allowed range ("lower: 2000 is outside -50 … 1370 deg C"), or nothing when every
// field passes.
std::optional<FileProblem> validationProblem(const Configuration& wanted);

// One per field where writing `file` would change what `device` holds, described as
// "upper: device 400, file 750". Numbers differ when writing the file would put another
// value in the register; reversed limits are compared as the write swaps them. The
// identity and the trim counts are not compared.
std::vector<FileProblem> configurationDifferences(const Configuration& device,
                                                  const Configuration& file);

// A file read from one model, about to go to another: "model: the file was read from a
// QTR-D, the device is a QTR-H". Nothing when they agree or either names no model.
std::optional<FileProblem> modelMismatch(const std::optional<Identity>& file, int deviceModelCode);

// A choice the screen does not offer on this device, named as the screen names it:
// "Cut" below V04, voltage or current on a QTN-H; nothing when the device offers every one.
std::optional<FileProblem> choiceNotOffered(const Configuration& wanted, int modelCode,
                                            int firmwareIndex);

}  // namespace kelvane
