// Configuration files: each kind of bad file is refused with a message naming the
// field; numbers keep the text they were written with; files of format 1 (captions, no
// "format") and of format 2 (names) give the same configuration.
#include "device/config_file.h"

#include <gtest/gtest.h>

#include <fstream>

namespace kelvane {
namespace {

// A file as Kelvane wrote it before files had a format.
const char* kFormatOne = R"j({"model": "QTR-H", "firmware": "V05", "serial": 200001,
    "input": "PT-100", "unit": "deg F", "lower": -100, "upper": 900, "offset": 0.29,
    "output": "20mA ~ 4mA", "break": "Cut", "trim4mA": 1234, "trim20mA": 30000})j";

std::string with(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

void expectPageOfFormatOne(const ConfigurationFile& file) {
    const Configuration& c = file.configuration;
    EXPECT_EQ(c.inputType, 10);
    EXPECT_EQ(c.unit, 1);
    EXPECT_EQ(c.lower, "-100");
    EXPECT_EQ(c.upper, "900");
    EXPECT_EQ(c.offset, "0.29");
    EXPECT_EQ(c.outputDirection, 1);
    EXPECT_EQ(c.breakSignal, 2);
    EXPECT_EQ(c.trim4mA, 1234);
    ASSERT_TRUE(file.identity);
    EXPECT_EQ(file.identity->modelCode, 2);
    EXPECT_EQ(file.identity->firmwareIndex, 5);
    EXPECT_EQ(file.identity->serialNumber, 200001u);
}

TEST(ConfigurationFile, EveryFormatGivesTheSameConfiguration) {
    const std::string formatTwo =
        R"j({"format": 2, "port": "/dev/ttyUSB1", "model": "QTR-H", "firmware": "V05",
        "serial": 200001, "input": "pt100", "unit": "fahrenheit", "lower": -100, "upper": 900,
        "offset": 0.29, "output": "20-4mA", "break": "cut", "trim4mA": 1234,
        "trim20mA": 30000})j";
    const struct {
        const char* name;
        std::string text;
    } rows[] = {
        {"format 1, no format field", kFormatOne},
        {"format 1 named", with(kFormatOne, "{", "{\"format\": 1, ")},
        {"format 2, an entry of read's array", formatTwo},
        {"format 2 as written", configurationJson(parseConfigurationJson(formatTwo))},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        expectPageOfFormatOne(parseConfigurationJson(row.text));
    }
    EXPECT_EQ(parseConfigurationJson(formatTwo).port, "/dev/ttyUSB1");
}

TEST(ConfigurationFile, BadFilesNameTheFieldAndWhatItAllows) {
    const std::pair<std::string, std::string> cases[] = {
        {"{", "not JSON"},
        {with(kFormatOne, "\"lower\": -100", "\"lower\": 1e999"), "number overflow"},
        {"[1, 2]", "a JSON object"},
        {with(kFormatOne, "\"model\"", "\"colour\""), "unknown field \"colour\""},
        {with(kFormatOne, "\"PT-100\"", "\"Thermocouple Q\""),
         "input: \"Thermocouple Q\" is not one of \"Thermocouple J\""},
        {with(kFormatOne, "\"PT-100\"", "5"), "input: a text is wanted"},
        {with(kFormatOne, "\"deg F\"", "\"K\""), "unit: \"K\" is not one of \"deg C\", \"deg F\""},
        {with(kFormatOne, "\"lower\": -100", "\"lower\": \"-100\""), "lower: a number is wanted"},
        {with(kFormatOne, "\"offset\": 0.29,", ""), "missing field \"offset\""},
        {with(kFormatOne, "\"Cut\"", "\"cut\""), "break: \"cut\" is not one of"},
        {with(kFormatOne, "1234", "40000"), "trim4mA: a whole number from 0 to 32767"},
        {with(kFormatOne, "200001", "-1"), "serial: a whole number from 0 to 4294967295"},
        {with(kFormatOne, "\"QTR-H\"", "\"QTR-X\""), "model: \"QTR-X\" is not one of"},
        {with(kFormatOne, "\"V05\"", "\"V21\""), "firmware: \"V21\" is not one of"},
        {with(kFormatOne, "\"model\": \"QTR-H\",", ""), "missing field \"model\""},
        {with(kFormatOne, "{", "{\"port\": 3, "), "port: a text is wanted"},
        // Format 2 names the choices, and a misspelt name is still refused.
        {with(kFormatOne, "{", "{\"format\": 2, "),
         "input: \"PT-100\" is not one of \"thermocouple-J\""},
        {with(kFormatOne, "{", "{\"format\": 2, \"inptu\": \"pt100\", "),
         "unknown field \"inptu\""},
        {with(kFormatOne, "{", "{\"format\": 3, \"sensor\": \"x\", "),
         "the file was made by a newer Kelvane (format 3; this Kelvane reads formats 1 to 2)"},
        {with(kFormatOne, "{", "{\"format\": 0, "), "format: a whole number from 1 is wanted"},
        {with(kFormatOne, "{", "{\"format\": \"2\", "), "format: a whole number from 1"},
    };
    for (const auto& [text, message] : cases) {
        SCOPED_TRACE(text);
        try {
            parseConfigurationJson(text);
            ADD_FAILURE() << "accepted";
        } catch (const BadFile& error) {
            EXPECT_NE(std::string(error.what()).find(message), std::string::npos) << error.what();
        }
    }
    EXPECT_THROW(readConfigurationFile("/nonexistent/kelvane.json"), BadFile);
}

// The screens say why in their language; names, numbers and the file's own words stay.
TEST(ConfigurationFile, ProblemsAreSaidInTheLanguageChosen) {
    const auto problemOf = [](const std::string& text) {
        try {
            parseConfigurationJson(text);
        } catch (const BadFile& error) {
            return error.problem();
        }
        ADD_FAILURE() << "accepted " << text;
        return FileProblem{};
    };
    Configuration tooHigh = parseConfigurationJson(kFormatOne).configuration;
    tooHigh.upper = "2000";
    Configuration device = tooHigh;
    device.upper = "400";
    const struct {
        FileProblem problem;
        std::int16_t language;
        const char* said;
    } rows[] = {
        {problemOf(with(kFormatOne, "\"model\"", "\"colour\"")), kLanguageTraditionalChinese,
         "未知欄位 \"colour\""},
        {problemOf(with(kFormatOne, "\"deg F\"", "\"K\"")), kLanguageSimplifiedChinese,
         "unit: \"K\" 不是 \"deg C\", \"deg F\" 之一"},
        {problemOf(with(kFormatOne, "{", "{\"format\": 3, ")), kLanguageTraditionalChinese,
         "此檔案由較新版的 Kelvane 建立 (格式 3;此版本可讀格式 1 至 2)"},
        {*validationProblem(tooHigh), kLanguageSimplifiedChinese,
         "upper: 2000 超出 -328 … 1112 deg F"},
        {*validationProblem(tooHigh), kLanguageEnglish, "upper: 2000 is outside -328 … 1112 deg F"},
        {*choiceNotOffered(tooHigh, 2, 3), kLanguageTraditionalChinese,
         "break: \"Cut\" 需要韌體 V04 或更新;此裝置為 V03"},
        {configurationDifferences(device, tooHigh).at(0), kLanguageTraditionalChinese,
         "upper: 裝置 400,設定檔 2000"},
        {*modelMismatch(Identity{1, 5, 7}, 17), kLanguageSimplifiedChinese,
         "model: 此设定档读自 QTR-D,装置为 QTN-H"},
        // A field whose name holds a mark is named as it is.
        {problemOf(with(kFormatOne, "\"model\"", "\"%2\"")), kLanguageEnglish,
         "unknown field \"%2\""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(describe(row.problem, row.language), row.said);
    }
}

TEST(ConfigurationFile, AFileReadFromAnotherModelIsNamedWithBoth) {
    const struct {
        std::optional<Identity> file;
        int device;
        std::optional<std::string> said;
    } rows[] = {
        {Identity{1, 5, 7}, 2, "model: the file was read from a QTR-D, the device is a QTR-H"},
        {Identity{17, 5, 7}, 1, "model: the file was read from a QTN-H, the device is a QTR-D"},
        {Identity{2, 3, 7}, 2, std::nullopt},
        {Identity{0, 5, 7}, 2, std::nullopt},   // the file names no model
        {std::nullopt, 17, std::nullopt},       // a file written by hand
        {Identity{2, 5, 7}, 16, std::nullopt},  // a device without a model name
    };
    for (const auto& row : rows) {
        const auto problem = modelMismatch(row.file, row.device);
        EXPECT_EQ(problem ? std::optional(describe(*problem)) : std::nullopt, row.said);
    }
}

}  // namespace
}  // namespace kelvane
