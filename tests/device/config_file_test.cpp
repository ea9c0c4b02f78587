// Configuration files: each kind of bad file is refused with a message naming the
// field; numbers keep the text they were written with.
#include "device/config_file.h"

#include <gtest/gtest.h>

#include <fstream>

namespace kelvane {
namespace {

const char* kGood = R"j({"model": "QTR-H", "firmware": "V05", "serial": 200001,
    "input": "PT-100", "unit": "deg F", "lower": -100, "upper": 900, "offset": 0.29,
    "output": "20mA ~ 4mA", "break": "Cut", "trim4mA": 1234, "trim20mA": 30000})j";

TEST(ConfigurationFile, AGoodFileGivesTheChoicesAndTheNumbersAsWritten) {
    const Configuration c = parseConfigurationJson(kGood).configuration;
    EXPECT_EQ(c.inputType, 10);
    EXPECT_EQ(c.unit, 1);
    EXPECT_EQ(c.lower, "-100");
    EXPECT_EQ(c.upper, "900");
    EXPECT_EQ(c.offset, "0.29");
    EXPECT_EQ(c.outputDirection, 1);
    EXPECT_EQ(c.breakSignal, 2);
    EXPECT_EQ(c.trim4mA, 1234);
}

TEST(ConfigurationFile, BadFilesNameTheFieldAndWhatItAllows) {
    const auto with = [](const std::string& from, const std::string& to) {
        std::string text = kGood;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const std::pair<std::string, std::string> cases[] = {
        {"{", "not JSON"},
        {with("\"lower\": -100", "\"lower\": 1e999"), "number overflow"},
        {"[1, 2]", "a JSON object"},
        {with("\"model\"", "\"colour\""), "unknown field \"colour\""},
        {with("\"PT-100\"", "\"Thermocouple Q\""), "input: \"Thermocouple Q\" is not one of"},
        {with("\"PT-100\"", "5"), "input: a text is wanted"},
        {with("\"deg F\"", "\"K\""), "unit: \"K\" is not one of \"deg C\", \"deg F\""},
        {with("\"lower\": -100", "\"lower\": \"-100\""), "lower: a number is wanted"},
        {with("\"offset\": 0.29,", ""), "missing field \"offset\""},
        {with("\"Cut\"", "\"cut\""), "break: \"cut\" is not one of"},
        {with("1234", "40000"), "trim4mA: a whole number from 0 to 32767"},
        {with("200001", "-1"), "serial: a whole number from 0 to 4294967295"},
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

}  // namespace
}  // namespace kelvane
