// kelvane-sim: one simulated transmitter on a pseudo-terminal, for service staff who
// train or try the program out without hardware, and for the end-to-end tests. It
// prints the serial device to open, serves until SIGINT or SIGTERM, and exits cleanly.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>

#include "kelvane_version.h"
#include "link/traffic_log.h"
#include "sim/model_names.h"
#include "sim/options.h"
#include "sim/pty_device.h"
#include "sim/transmitter.h"

namespace {

using namespace kelvane::sim;

// Makes `path` a symbolic link to `target`. A stale symbolic link left by an earlier
// run is replaced; any other file at that path is left alone and refused.
bool makeLink(const std::string& path, const std::string& target, std::string& error) {
    struct stat existing {};
    if (lstat(path.c_str(), &existing) == 0) {
        if (!S_ISLNK(existing.st_mode)) {
            error = path + " exists and is not a symbolic link";
            return false;
        }
        unlink(path.c_str());
    }
    if (symlink(target.c_str(), path.c_str()) != 0) {
        error = "cannot make the link " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

std::string describe(const SimOptions& options, const std::string& device) {
    const DeviceSettings& d = options.device;
    const auto name = modelName(d.modelCode);
    std::string text = "kelvane-sim: " + (name ? *name + " (model code " : "model code ") +
                       std::to_string(d.modelCode) + (name ? ")" : "") + ", firmware index " +
                       std::to_string(d.firmwareIndex) + ", serial number " +
                       std::to_string(d.serialNumber) + ", address " + std::to_string(d.address) +
                       ", " + kelvane::toString(lineForBaudCode(d.baudCode)) + " on " + device;
    for (const FaultRequest& fault : options.faults) {
        text += "; fault " + std::string(faultName(fault.fault));
        if (fault.fromRequest > 0) {
            text += " from request " + std::to_string(fault.fromRequest);
        }
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    const ParsedOptions parsed = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.options) {
        std::cerr << "kelvane-sim: " << parsed.error << "\n"
                  << "Try 'kelvane-sim --help' for more information.\n";
        return 2;
    }
    const SimOptions& options = *parsed.options;
    if (options.version) {
        std::cout << "kelvane-sim " << KELVANE_VERSION_TEXT << "\n";
        return 0;
    }
    if (options.help) {
        std::cout << usageText();
        return 0;
    }

    std::unique_ptr<std::ofstream> logFile;
    std::unique_ptr<kelvane::StreamTrafficLog> log;
    if (options.logPath == "-") {
        log = std::make_unique<kelvane::StreamTrafficLog>(std::cerr);
    } else if (!options.logPath.empty()) {
        logFile = std::make_unique<std::ofstream>(options.logPath, std::ios::app);
        if (!*logFile) {
            std::cerr << "kelvane-sim: cannot write the log " << options.logPath << "\n";
            return 1;
        }
        log = std::make_unique<kelvane::StreamTrafficLog>(*logFile);
    }

    Transmitter device(options.device);
    for (const FaultRequest& fault : options.faults) {
        if (fault.fromRequest == 0) {
            device.setFault(fault.fault);
        } else {
            device.setFaultFromRequest(fault.fault, fault.fromRequest);
        }
    }
    device.setTrafficListener(log.get());

    // SIGINT and SIGTERM (and SIGHUP, when the terminal goes away) are taken with
    // sigwait below; block them before the serving thread starts so that it inherits
    // the mask and they reach this thread only. Each ends the simulator cleanly.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    PtyDevice pty(device);
    pty.setLineTime(options.lineTime);
    std::ofstream meterFile;
    if (options.meterPath == "-") {
        pty.setMeter(&std::cout);
    } else if (!options.meterPath.empty()) {
        meterFile.open(options.meterPath, std::ios::app);
        if (!meterFile) {
            std::cerr << "kelvane-sim: cannot write the meter's file " << options.meterPath << "\n";
            return 1;
        }
        pty.setMeter(&meterFile);
    }
    std::string error;
    if (!pty.start(error)) {
        std::cerr << "kelvane-sim: " << error << "\n";
        return 1;
    }
    if (!options.linkPath.empty() && !makeLink(options.linkPath, pty.slavePath(), error)) {
        std::cerr << "kelvane-sim: " << error << "\n";
        pty.stop();
        return 1;
    }
    std::cout << pty.slavePath() << std::endl;  // the first line: the device to open
    std::cerr << describe(options, pty.slavePath()) << std::endl;

    int received = 0;
    while (sigwait(&stopSignals, &received) != 0) {
    }
    pty.stop();
    if (!options.linkPath.empty()) {
        unlink(options.linkPath.c_str());
    }
    std::cerr << "kelvane-sim: stopped by "
              << (received == SIGINT    ? "SIGINT"
                  : received == SIGTERM ? "SIGTERM"
                                        : "SIGHUP")
              << std::endl;
    return 0;
}
