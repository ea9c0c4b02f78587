#include "device/config_file.h"

#include <charconv>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "device/extended.h"
#include "device/file_paths.h"
#include "device/input_rules.h"
#include "device/number_text.h"
#include "device/register_map.h"
#include "device/write_rules.h"
#include "i18n/file_texts.h"

namespace kelvane {

namespace texts = file_texts;

namespace {

using nlohmann::json;

[[noreturn]] void refuse(const Texts& message, std::string field = {}, std::string value = {},
                         std::string allowed = {}) {
    throw BadFile(FileProblem{&message, std::move(field), std::move(value), std::move(allowed)});
}

std::string quoted(const std::string& text) {
    return json(text).dump();
}

// A choice's name in files of format 2 and its caption in files of format 1, in item
// order. The captions are those files' own, kept as they were when a caption on the
// screen is mended.
struct ChoiceName {
    const char* name;
    const char* formatOneCaption;
};

constexpr std::array<ChoiceName, 13> kInputNames{{
    {"thermocouple-J", "Thermocouple J"},
    {"thermocouple-K", "Thermocouple K"},
    {"thermocouple-T", "Thermocouple T"},
    {"thermocouple-E", "Thermocouple E"},
    {"thermocouple-B", "Thermocouple B"},
    {"thermocouple-R", "Thermocouple R"},
    {"thermocouple-S", "Thermocouple S"},
    {"thermocouple-N", "Thermocouple N"},
    {"thermocouple-C", "Thermocouple C"},
    {"millivolt", "mV (-60~60mV)"},
    {"pt100", "PT-100"},
    {"voltage", "Voltage (-10 - 10V)"},
    {"current", "Current (0 - 24mA)"},
}};
constexpr std::array<ChoiceName, 2> kUnitNames{{{"celsius", "deg C"}, {"fahrenheit", "deg F"}}};
constexpr std::array<ChoiceName, 2> kOutputNames{
    {{"4-20mA", "4mA ~ 20mA"}, {"20-4mA", "20mA ~ 4mA"}}};
constexpr std::array<ChoiceName, 3> kBreakNames{
    {{"downscale", "DownScale(< 4mA)"}, {"upscale", "UpScale(>20mA)"}, {"cut", "Cut"}}};
static_assert(kInputNames.size() == regmap::kInputTypes.size() &&
              kUnitNames.size() == regmap::kUnits.size() &&
              kOutputNames.size() == regmap::kOutputDirections.size() &&
              kBreakNames.size() == regmap::kBreakSignals.size());

template <std::size_t N>
std::string nameOf(const std::array<ChoiceName, N>& names, int code) {
    return quoted(names[static_cast<std::size_t>(code)].name);
}

const json& field(const json& document, const char* name) {
    const auto found = document.find(name);
    if (found == document.end()) {
        refuse(texts::kMissingField, name);
    }
    return *found;
}

template <std::size_t N>
int choice(const json& document, const char* name, const std::array<ChoiceName, N>& names,
           int format) {
    const auto spelling = [format](const ChoiceName& entry) {
        return format == 1 ? entry.formatOneCaption : entry.name;
    };
    std::string allowed;
    for (const ChoiceName& entry : names) {
        allowed += (allowed.empty() ? "" : ", ") + quoted(spelling(entry));
    }
    const json& value = field(document, name);
    if (!value.is_string()) {
        refuse(texts::kTextWantedOneOf, name, {}, allowed);
    }
    for (std::size_t i = 0; i < N; ++i) {
        if (value.get<std::string>() == spelling(names[i])) {
            return static_cast<int>(i);
        }
    }
    refuse(texts::kNotOneOf, name, quoted(value.get<std::string>()), allowed);
}

// A number as the text it was written with, so 0.29 stays 0.29.
std::string numberText(const json& document, const char* name) {
    const json& value = field(document, name);
    if (value.is_number_integer()) {
        return value.dump();
    }
    if (value.is_number_float()) {
        char text[64];
        const auto end = std::to_chars(text, text + sizeof text, value.get<double>());
        return std::string(text, end.ptr);
    }
    refuse(texts::kNumberWanted, name);
}

int wholeNumber(const json& document, const char* name, long long lowest, long long highest) {
    const json& value = field(document, name);
    if (!value.is_number_integer() || value.get<long long>() < lowest ||
        value.get<long long>() > highest) {
        refuse(texts::kWholeNumberWanted, name, std::to_string(lowest), std::to_string(highest));
    }
    return static_cast<int>(value.get<long long>());
}

// "model" (a name or null), "firmware" ("V00" … "V20") and "serial".
Identity identityOf(const json& document) {
    Identity identity;
    const json& model = document["model"];
    if (!model.is_null()) {
        for (const int code : {regmap::kModelQtrH, regmap::kModelQtrD, regmap::kModelQtnH}) {
            if (model.is_string() && model.get<std::string>() == regmap::modelName(code)) {
                identity.modelCode = code;
            }
        }
        if (identity.modelCode == 0) {
            refuse(texts::kNotOneOf, "model", model.dump(),
                   "\"QTR-H\", \"QTR-D\", \"QTN-H\", null");
        }
    }
    const json& firmware = field(document, "firmware");
    for (int index = 0; index <= regmap::kLastFirmwareIndex; ++index) {
        if (firmware.is_string() && firmware.get<std::string>() == regmap::firmwareCaption(index)) {
            identity.firmwareIndex = index;
            identity.serialNumber =
                static_cast<std::uint32_t>(wholeNumber(document, "serial", 0, 4294967295LL));
            return identity;
        }
    }
    refuse(texts::kNotOneOf, "firmware", firmware.dump(), "\"V00\" … \"V20\"");
}

}  // namespace

std::string describe(const FileProblem& problem, std::int16_t languageId) {
    const std::string text = problem.message == nullptr
                                 ? std::string()
                                 : fillText(chooseText(languageId, *problem.message),
                                            {problem.field, problem.value, problem.allowed});
    return problem.path.empty() ? text : problem.path + ": " + text;
}

BadFile::BadFile(FileProblem problem)
    : std::runtime_error(describe(problem)), problem_(std::move(problem)) {}

std::string configurationJson(const ConfigurationFile& file) {
    const Configuration& c = file.configuration;
    std::ostringstream out;
    out << "{\n  \"format\": " << kFileFormat << ",\n";
    if (file.port) {
        out << "  \"port\": " << quoted(*file.port) << ",\n";
    }
    if (file.identity) {
        const char* model = regmap::modelName(file.identity->modelCode);
        out << "  \"model\": " << (model != nullptr ? quoted(model) : "null") << ",\n"
            << "  \"firmware\": " << quoted(regmap::firmwareCaption(file.identity->firmwareIndex))
            << ",\n"
            << "  \"serial\": " << file.identity->serialNumber << ",\n";
    }
    // The range and offset texts are the screen's, valid JSON numbers as they stand.
    out << "  \"input\": " << nameOf(kInputNames, c.inputType) << ",\n"
        << "  \"unit\": " << nameOf(kUnitNames, c.unit) << ",\n"
        << "  \"lower\": " << c.lower << ",\n"
        << "  \"upper\": " << c.upper << ",\n"
        << "  \"offset\": " << c.offset << ",\n"
        << "  \"output\": " << nameOf(kOutputNames, c.outputDirection) << ",\n"
        << "  \"break\": " << nameOf(kBreakNames, c.breakSignal) << ",\n"
        << "  \"trim4mA\": " << c.trim4mA << ",\n"
        << "  \"trim20mA\": " << c.trim20mA << "\n"
        << "}\n";
    return out.str();
}

std::string failedReadJson(const std::string& port, const std::string& error) {
    return "{\n  \"format\": " + std::to_string(kFileFormat) + ",\n  \"port\": " + quoted(port) +
           ",\n  \"error\": " + quoted(error) + "\n}\n";
}

ConfigurationFile parseConfigurationJson(const std::string& text) {
    json document;
    try {
        document = json::parse(text);
    } catch (const json::exception& error) {
        // Malformed text, and also numbers past what JSON reading can hold (1e999).
        refuse(texts::kNotJson, {}, {}, error.what());
    }
    if (!document.is_object()) {
        refuse(texts::kNotAnObject);
    }
    // The format first: a newer file may hold fields this Kelvane does not know.
    int format = 1;
    if (document.contains("format")) {
        const json& value = document["format"];
        if (!value.is_number_integer() || value.get<long long>() < 1) {
            refuse(texts::kFormatWanted, "format");
        }
        if (value.get<long long>() > kFileFormat) {
            refuse(texts::kNewerFormat, "format", value.dump(), std::to_string(kFileFormat));
        }
        format = static_cast<int>(value.get<long long>());
    }
    if (document.contains("error")) {
        const json& port = document.value("port", json("?"));
        refuse(texts::kFailedRead, {}, port.is_string() ? port.get<std::string>() : port.dump(),
               document["error"].is_string() ? document["error"].get<std::string>()
                                             : document["error"].dump());
    }
    // A misspelt field is refused, never passed over.
    static const std::set<std::string> known{"format", "port",  "model",   "firmware", "serial",
                                             "input",  "unit",  "lower",   "upper",    "offset",
                                             "output", "break", "trim4mA", "trim20mA"};
    for (const auto& [name, value] : document.items()) {
        if (known.count(name) == 0) {
            refuse(texts::kUnknownField, name);
        }
    }
    ConfigurationFile file;
    Configuration& c = file.configuration;
    c.inputType = choice(document, "input", kInputNames, format);
    c.unit = choice(document, "unit", kUnitNames, format);
    c.lower = numberText(document, "lower");
    c.upper = numberText(document, "upper");
    c.offset = numberText(document, "offset");
    c.outputDirection = choice(document, "output", kOutputNames, format);
    c.breakSignal = choice(document, "break", kBreakNames, format);
    if (document.contains("trim4mA")) {
        c.trim4mA = wholeNumber(document, "trim4mA", 0, 32767);
    }
    if (document.contains("trim20mA")) {
        c.trim20mA = wholeNumber(document, "trim20mA", 0, 32767);
    }
    if (document.contains("port")) {
        if (!document["port"].is_string()) {
            refuse(texts::kTextWanted, "port");
        }
        file.port = document["port"].get<std::string>();
    }
    if (document.contains("model")) {
        file.identity = identityOf(document);
    } else if (document.contains("firmware") || document.contains("serial")) {
        refuse(texts::kMissingField, "model");
    }
    return file;
}

std::string unitLabelOf(const Configuration& c) {
    const regmap::Scaling scaling = regmap::scalingOf(regmap::familyOf(c.inputType));
    return scaling.unitLabel != nullptr ? scaling.unitLabel
                                        : regmap::kUnits[static_cast<size_t>(c.unit)];
}

std::optional<FileProblem> validationProblem(const Configuration& wanted) {
    const auto limits = validationLimits(wanted.inputType, wanted.unit);
    if (!limits) {
        return FileProblem{&texts::kNotAnInputType, "input"};
    }
    const std::string unit = unitLabelOf(wanted);
    // The limits in the page's range format: "-60.00 … 60.00" for millivolts.
    const int rangeDecimals = regmap::scalingOf(regmap::familyOf(wanted.inputType)).rangeDecimals;
    const auto limitText = [rangeDecimals](int limit) {
        return rangeDecimals == 0 ? std::to_string(limit) : formatFixed(limit, rangeDecimals);
    };
    const auto range = limitText(limits->lowest) + " … " + limitText(limits->highest);
    const int decimals = offsetDecimals(wanted.inputType);
    const std::string offsetLimit =
        formatFixed(static_cast<double>(limits->offsetLimit) / limits->offsetScale, decimals);
    const auto check = [&](const char* field, const std::string& text,
                           bool (*passes)(const std::string&, const ValidationLimits&),
                           const std::string& allowed) -> std::optional<FileProblem> {
        try {
            if (passes(text, *limits)) {
                return std::nullopt;
            }
        } catch (const ConversionError&) {
            return FileProblem{&texts::kNotANumber, field, text};
        }
        return FileProblem{&texts::kOutside, field, text, allowed + " " + unit};
    };
    if (auto failed = check("lower", wanted.lower, rangeFieldPasses, range)) {
        return failed;
    }
    if (auto failed = check("upper", wanted.upper, rangeFieldPasses, range)) {
        return failed;
    }
    return check("offset", wanted.offset, offsetFieldPasses,
                 "-" + offsetLimit + " … +" + offsetLimit);
}

std::vector<FileProblem> configurationDifferences(const Configuration& have,
                                                  const Configuration& wanted) {
    std::vector<FileProblem> differences;
    const auto compare = [&](const char* field, const std::string& device,
                             const std::string& file) {
        if (device != file) {
            differences.push_back(FileProblem{&texts::kDiffers, field, device, file});
        }
    };
    const auto caption = [](const auto& captions, int code) {
        return std::string(captions[static_cast<size_t>(code)]);
    };
    compare("input", regmap::kInputTypes[static_cast<size_t>(have.inputType)].caption,
            regmap::kInputTypes[static_cast<size_t>(wanted.inputType)].caption);
    compare("unit", caption(regmap::kUnits, have.unit), caption(regmap::kUnits, wanted.unit));
    Configuration file = wanted;
    if (Extended::fromText(file.upper) < Extended::fromText(file.lower)) {
        std::swap(file.lower, file.upper);
    }
    const WriteScales fileScales = writeScales(file.inputType);
    const WriteScales deviceScales = writeScales(have.inputType);
    const auto compareNumber = [&](const char* field, const std::string& device,
                                   const std::string& inFile, int deviceScale, int fileScale) {
        if (scaledRegisterValue(device, deviceScale) != scaledRegisterValue(inFile, fileScale)) {
            differences.push_back(FileProblem{&texts::kDiffers, field, device, inFile});
        }
    };
    compareNumber("lower", have.lower, file.lower, deviceScales.range, fileScales.range);
    compareNumber("upper", have.upper, file.upper, deviceScales.range, fileScales.range);
    compareNumber("offset", have.offset, file.offset, deviceScales.offset, fileScales.offset);
    compare("output", caption(regmap::kOutputDirections, have.outputDirection),
            caption(regmap::kOutputDirections, wanted.outputDirection));
    compare("break", caption(regmap::kBreakSignals, have.breakSignal),
            caption(regmap::kBreakSignals, wanted.breakSignal));
    return differences;
}

std::optional<FileProblem> modelMismatch(const std::optional<Identity>& file, int deviceModelCode) {
    const int fileModelCode = file ? file->modelCode : 0;
    const char* fileModel = regmap::modelName(fileModelCode);
    const char* deviceModel = regmap::modelName(deviceModelCode);
    if (fileModel == nullptr || deviceModel == nullptr || fileModelCode == deviceModelCode) {
        return std::nullopt;
    }
    return FileProblem{&texts::kAnotherModel, "model", fileModel, deviceModel};
}

std::optional<FileProblem> choiceNotOffered(const Configuration& wanted, int modelCode,
                                            int firmwareIndex) {
    if (wanted.breakSignal == regmap::kCutItem && firmwareIndex < regmap::kFirstFirmwareWithCut) {
        return FileProblem{&texts::kCutNeedsV04, "break", regmap::firmwareCaption(firmwareIndex)};
    }
    if (regmap::masksVoltageAndCurrent(modelCode) &&
        (wanted.inputType == regmap::kVoltageType || wanted.inputType == regmap::kCurrentType)) {
        return FileProblem{&texts::kNoVoltageOrCurrent, "input"};
    }
    return std::nullopt;
}

ConfigurationFile readConfigurationFile(const std::string& path) {
    std::ifstream in(pathFromUtf8(path));
    if (!in) {
        refuse(texts::kCannotRead, {}, path);
    }
    std::stringstream text;
    text << in.rdbuf();
    try {
        return parseConfigurationJson(text.str());
    } catch (const BadFile& error) {
        FileProblem problem = error.problem();
        problem.path = path;
        throw BadFile(problem);
    }
}

}  // namespace kelvane
