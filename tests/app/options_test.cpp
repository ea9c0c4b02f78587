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

// A port is any device on Linux, a COM port of the table on Windows.
#ifdef _WIN32
const char* const kFirstPort = "COM3";
const char* const kSecondPort = "\\\\.\\com255";
#else
const char* const kFirstPort = "/dev/ttyS1";
const char* const kSecondPort = "/dev/pts/4";
#endif

TEST(ProgramOptions, PortsAndSimulationAreTakenInOrder) {
    const ProgramOptions options =
        parseOptions({"kelvane", "--port", kFirstPort, QString("--port=") + kSecondPort,
                      "--simulate-model", "QTN-H"});
    EXPECT_FALSE(options.error);
    EXPECT_EQ(options.ports, (std::vector<std::string>{kFirstPort, kSecondPort}));
    EXPECT_TRUE(options.simulate);
    EXPECT_EQ(options.simulateModel, "QTN-H");
}

TEST(ProgramOptions, MistakesAreReportedWithTheHelp) {
    for (const QStringList& arguments :
         {QStringList{"kelvane", "--bogus"}, QStringList{"kelvane", "--port"},
          QStringList{"kelvane", "stray"},
#ifdef _WIN32
          QStringList{"kelvane", "--port", "COM256"}, QStringList{"kelvane", "--port", "COM0"},
          QStringList{"kelvane", "--port", "/dev/ttyS1"}
#endif
         }) {
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
