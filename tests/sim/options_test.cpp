// The kelvane-sim command line, model names and fault names.
#include <gtest/gtest.h>

#include "sim/faults.h"
#include "sim/model_names.h"
#include "sim/options.h"

namespace kelvane::sim {
namespace {

TEST(ModelNames, ParsesTheThreeModelsAndRawCodes) {
    const std::pair<const char*, std::optional<std::uint8_t>> cases[] = {{"QTR-H", 2},
                                                                         {"QTR-D", 1},
                                                                         {"QTN-H", 17},
                                                                         {"qtr-h", 2},
                                                                         {"0", 0},
                                                                         {"255", 255},
                                                                         {"18", 18},
                                                                         {"256", std::nullopt},
                                                                         {"-1", std::nullopt},
                                                                         {"", std::nullopt},
                                                                         {"QTR", std::nullopt},
                                                                         {"2x", std::nullopt},
                                                                         {" 2", std::nullopt}};
    for (const auto& [text, code] : cases) {
        EXPECT_EQ(parseModel(text), code) << text;
    }
    EXPECT_EQ(modelName(17), "QTN-H");
    EXPECT_EQ(modelName(12), std::nullopt);
}

TEST(FaultNames, EveryFaultHasANameThatParsesBack) {
    for (const FaultName& entry : kFaultNames) {
        EXPECT_EQ(parseFault(entry.name), entry.fault) << entry.name;
        EXPECT_STREQ(faultName(entry.fault), entry.name);
    }
    EXPECT_EQ(parseFault("no_reply"), std::nullopt);
}

TEST(SimOptions, ReadsEveryOption) {
    const auto parsed =
        parseOptions({"--model", "QTN-H", "--firmware=3", "--serial", "4294967295", "--baud",
                      "19200", "--address", "247", "--seed", "7", "--link", "/tmp/x", "--fault",
                      "bad-crc", "--fault", "adapter-pulled:3", "--log", "-"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    const SimOptions& o = *parsed.options;
    EXPECT_EQ(o.device.modelCode, 17);
    EXPECT_EQ(o.device.firmwareIndex, 3);
    EXPECT_EQ(o.device.serialNumber, 4294967295U);
    EXPECT_EQ(o.device.baudCode, 2);
    EXPECT_EQ(o.device.address, 247);
    EXPECT_EQ(o.device.seed, 7U);
    EXPECT_EQ(o.linkPath, "/tmp/x");
    EXPECT_EQ(o.logPath, "-");
    ASSERT_EQ(o.faults.size(), 2U);
    EXPECT_EQ(o.faults[0].fault, Fault::BadCrc);
    EXPECT_EQ(o.faults[0].fromRequest, 0U);
    EXPECT_EQ(o.faults[1].fault, Fault::AdapterPulled);
    EXPECT_EQ(o.faults[1].fromRequest, 3U);
    EXPECT_FALSE(o.help);
}

TEST(SimOptions, DefaultsAreAQtrHAt4800) {
    const auto parsed = parseOptions({});
    ASSERT_TRUE(parsed.options);
    EXPECT_EQ(parsed.options->device.modelCode, 2);
    EXPECT_EQ(parsed.options->device.firmwareIndex, 5);
    EXPECT_EQ(parsed.options->device.baudCode, 0);
    EXPECT_EQ(parsed.options->device.address, 1);
    EXPECT_TRUE(parsed.options->faults.empty());
}

TEST(SimOptions, RefusesBadOptionsWithAMessageNamingThem) {
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"--baud", "115200"}, "115200"},
        {{"--baud"}, "--baud"},
        {{"--model", "QTX"}, "QTX"},
        {{"--firmware", "256"}, "256"},
        {{"--serial", "4294967296"}, "4294967296"},
        {{"--serial", "-1"}, "-1"},
        {{"--address", "0"}, "0"},
        {{"--fault", "smoke"}, "smoke"},
        {{"--fault", "late-reply:0"}, "late-reply:0"},
        {{"--fault", "late-reply:x"}, "late-reply:x"},
        {{"--verbose"}, "--verbose"},
        {{"extra"}, "extra"},
        {{"--log="}, "--log"},
    };
    for (const auto& [arguments, named] : cases) {
        const auto parsed = parseOptions(arguments);
        EXPECT_FALSE(parsed.options) << named;
        EXPECT_NE(parsed.error.find(named), std::string::npos) << parsed.error;
    }
}

TEST(SimOptions, HelpDocumentsEveryOptionAndFault) {
    ASSERT_TRUE(parseOptions({"--help"}).options->help);
    const std::string usage = usageText();
    for (const char* option : {"--model", "--firmware", "--serial", "--baud", "--link", "--fault",
                               "--log", "--address", "--seed", "--line-time"}) {
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    }
    for (const FaultName& entry : kFaultNames) {
        EXPECT_NE(usage.find(entry.name), std::string::npos) << entry.name;
    }
}

}  // namespace
}  // namespace kelvane::sim
