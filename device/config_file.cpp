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

namespace kelvane {

namespace {

using nlohmann::json;

std::string quoted(const std::string& text) {
    return json(text).dump();
}

template <std::size_t N>
std::string oneOf(const std::array<const char*, N>& captions) {
    std::string list;
    for (const char* caption : captions) {
        list += (list.empty() ? "" : ", ") + quoted(caption);
    }
    return list;
}

std::string inputCaptions() {
    std::string list;
    for (const regmap::InputType& input : regmap::kInputTypes) {
        list += (list.empty() ? "" : ", ") + quoted(input.caption);
    }
    return list;
}

const json& field(const json& document, const char* name) {
    const auto found = document.find(name);
    if (found == document.end()) {
        throw BadFile(std::string("missing field \"") + name + "\"");
    }
    return *found;
}

int choice(const json& document, const char* name, std::optional<int> (*codeOf)(const std::string&),
           const std::string& allowed) {
    const json& value = field(document, name);
    if (!value.is_string()) {
        throw BadFile(std::string(name) + ": a text is wanted, one of " + allowed);
    }
    const auto code = codeOf(value.get<std::string>());
    if (!code) {
        throw BadFile(std::string(name) + ": " + quoted(value.get<std::string>()) +
                      " is not one of " + allowed);
    }
    return *code;
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
    throw BadFile(std::string(name) + ": a number is wanted");
}

int wholeNumber(const json& document, const char* name, long long lowest, long long highest) {
    const json& value = field(document, name);
    if (!value.is_number_integer() || value.get<long long>() < lowest ||
        value.get<long long>() > highest) {
        throw BadFile(std::string(name) + ": a whole number from " + std::to_string(lowest) +
                      " to " + std::to_string(highest) + " is wanted");
    }
    return static_cast<int>(value.get<long long>());
}

}  // namespace

std::string configurationJson(const ConfigurationFile& file) {
    const Configuration& c = file.configuration;
    std::ostringstream out;
    out << "{\n";
    if (file.identity) {
        const char* model = regmap::modelName(file.identity->modelCode);
        out << "  \"model\": " << (model != nullptr ? quoted(model) : "null") << ",\n"
            << "  \"firmware\": " << quoted(regmap::firmwareCaption(file.identity->firmwareIndex))
            << ",\n"
            << "  \"serial\": " << file.identity->serialNumber << ",\n";
    }
    // The range and offset texts are the screen's, valid JSON numbers as they stand.
    out << "  \"input\": " << quoted(regmap::kInputTypes[static_cast<size_t>(c.inputType)].caption)
        << ",\n"
        << "  \"unit\": " << quoted(regmap::kUnits[static_cast<size_t>(c.unit)]) << ",\n"
        << "  \"lower\": " << c.lower << ",\n"
        << "  \"upper\": " << c.upper << ",\n"
        << "  \"offset\": " << c.offset << ",\n"
        << "  \"output\": "
        << quoted(regmap::kOutputDirections[static_cast<size_t>(c.outputDirection)]) << ",\n"
        << "  \"break\": " << quoted(regmap::kBreakSignals[static_cast<size_t>(c.breakSignal)])
        << ",\n"
        << "  \"trim4mA\": " << c.trim4mA << ",\n"
        << "  \"trim20mA\": " << c.trim20mA << "\n"
        << "}\n";
    return out.str();
}

ConfigurationFile parseConfigurationJson(const std::string& text) {
    json document;
    try {
        document = json::parse(text);
    } catch (const json::exception& error) {
        // Malformed text, and also numbers past what JSON reading can hold (1e999).
        throw BadFile(std::string("not JSON: ") + error.what());
    }
    if (!document.is_object()) {
        throw BadFile("a JSON object with the configuration's fields is wanted");
    }
    static const std::set<std::string> known{"model",  "firmware", "serial",  "input",
                                             "unit",   "lower",    "upper",   "offset",
                                             "output", "break",    "trim4mA", "trim20mA"};
    for (const auto& [name, value] : document.items()) {
        if (known.count(name) == 0) {
            throw BadFile("unknown field " + quoted(name));
        }
    }
    ConfigurationFile file;
    Configuration& c = file.configuration;
    c.inputType = choice(document, "input", inputTypeCode, inputCaptions());
    c.unit = choice(document, "unit", unitCode, oneOf(regmap::kUnits));
    c.lower = numberText(document, "lower");
    c.upper = numberText(document, "upper");
    c.offset = numberText(document, "offset");
    c.outputDirection =
        choice(document, "output", outputDirectionCode, oneOf(regmap::kOutputDirections));
    c.breakSignal = choice(document, "break", breakSignalCode, oneOf(regmap::kBreakSignals));
    if (document.contains("trim4mA")) {
        c.trim4mA = wholeNumber(document, "trim4mA", 0, 32767);
    }
    if (document.contains("trim20mA")) {
        c.trim20mA = wholeNumber(document, "trim20mA", 0, 32767);
    }
    if (document.contains("serial")) {
        wholeNumber(document, "serial", 0, 4294967295LL);
    }
    return file;
}

std::string unitLabelOf(const Configuration& c) {
    const regmap::Scaling scaling = regmap::scalingOf(regmap::familyOf(c.inputType));
    return scaling.unitLabel != nullptr ? scaling.unitLabel
                                        : regmap::kUnits[static_cast<size_t>(c.unit)];
}

std::optional<std::string> validationProblem(const Configuration& wanted) {
    const auto limits = validationLimits(wanted.inputType, wanted.unit);
    if (!limits) {
        return "input: not an input type";
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
                           const std::string& allowed) -> std::optional<std::string> {
        try {
            if (passes(text, *limits)) {
                return std::nullopt;
            }
        } catch (const ConversionError&) {
            return std::string(field) + ": '" + text + "' is not a number";
        }
        return std::string(field) + ": " + text + " is outside " + allowed + " " + unit;
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

std::vector<std::string> configurationDifferences(const Configuration& have,
                                                  const Configuration& wanted) {
    std::vector<std::string> differences;
    const auto compare = [&](const char* field, const std::string& device,
                             const std::string& file) {
        if (device != file) {
            differences.push_back(std::string(field) + ": device " + device + ", file " + file);
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
            differences.push_back(std::string(field) + ": device " + device + ", file " + inFile);
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

std::optional<std::string> choiceNotOffered(const Configuration& wanted, int modelCode,
                                            int firmwareIndex) {
    if (wanted.breakSignal == regmap::kCutItem && firmwareIndex < regmap::kFirstFirmwareWithCut) {
        return "break: \"Cut\" needs firmware V04 or later; the device has " +
               regmap::firmwareCaption(firmwareIndex);
    }
    if (regmap::masksVoltageAndCurrent(modelCode) &&
        (wanted.inputType == regmap::kVoltageType || wanted.inputType == regmap::kCurrentType)) {
        return "input: a QTN-H has no voltage or current input";
    }
    return std::nullopt;
}

ConfigurationFile readConfigurationFile(const std::string& path) {
    std::ifstream in(pathFromUtf8(path));
    if (!in) {
        throw BadFile("cannot read " + path);
    }
    std::stringstream text;
    text << in.rdbuf();
    try {
        return parseConfigurationJson(text.str());
    } catch (const BadFile& error) {
        throw BadFile(path + ": " + error.what());
    }
}

}  // namespace kelvane
