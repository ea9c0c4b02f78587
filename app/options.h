// The kelvane program's command line. Without options the program runs exactly as
// designed; --port and --simulate add a USB-to-serial adapter to the scan, and
// --report-windows lets scripts and tests follow the windows on standard output;
// --service shows service staff the calibration page and the serial number loader.
#pragma once

#include <QStringList>
#include <optional>
#include <string>
#include <vector>

namespace kelvane {

struct ProgramOptions {
    std::vector<std::string> ports;  // --port DEVICE, in the order given
    bool simulate = false;           // --simulate
    std::string simulateModel;       // --simulate-model MODEL (implies --simulate)
    bool reportWindows = false;      // --report-windows
    bool autoStart = false;          // --auto-start
    bool service = false;            // --service
    std::string logPath;             // --log FILE, or - for standard error
    bool help = false;
    bool version = false;  // --version
    std::string helpText;
    std::optional<std::string> error;  // an unknown option or a missing value
};

ProgramOptions parseOptions(const QStringList& arguments);

// True when the arguments ask for the help text, which is printed before any window
// system is needed.
bool asksForHelp(int argc, char** argv);

}  // namespace kelvane
