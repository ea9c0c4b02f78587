#include "app/options.h"

#include <gtest/gtest.h>

namespace kelvane {
namespace {

TEST(ProgramOptions, WithoutOptionsNothingIsAdded) {
    const ProgramOptions options = parseOptions({"kelvane"});
    EXPECT_FALSE(options.error);
    EXPECT_TRUE(options.ports.empty());
    EXPECT_FALSE(options.simulate);
    EXPECT_FALSE(options.autoStart);
    EXPECT_FALSE(options.reportWindows);
    EXPECT_FALSE(options.service);
    EXPECT_TRUE(parseOptions({"kelvane", "--service"}).service);
    EXPECT_TRUE(options.logPath.empty());
    EXPECT_EQ(parseOptions({"kelvane", "--log", "-"}).logPath, "-");
}

TEST(ProgramOptions, PortsAndSimulationAreTakenInOrder) {
    const ProgramOptions options = parseOptions(
        {"kelvane", "--port", "/dev/ttyS1", "--port=/dev/pts/4", "--simulate-model", "QTN-H"});
    EXPECT_FALSE(options.error);
    EXPECT_EQ(options.ports, (std::vector<std::string>{"/dev/ttyS1", "/dev/pts/4"}));
    EXPECT_TRUE(options.simulate);
    EXPECT_EQ(options.simulateModel, "QTN-H");
}

TEST(ProgramOptions, MistakesAreReportedWithTheHelp) {
    for (const QStringList& arguments :
         {QStringList{"kelvane", "--bogus"}, QStringList{"kelvane", "--port"},
          QStringList{"kelvane", "stray"}}) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const ProgramOptions options = parseOptions(arguments);
        EXPECT_TRUE(options.error);
    }
    const std::string help = parseOptions({"kelvane"}).helpText;
    for (const char* option : {"--port", "--simulate", "--simulate-model", "--auto-start",
                               "--report-windows", "--service", "--log"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
}

}  // namespace
}  // namespace kelvane
