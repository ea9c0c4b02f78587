// kelvane-cli: the transmitter from scripts and production lines. It finds the
// USB-to-serial adapter as the Scan screen does (or takes --port, or --simulate), and
// identifies, reads, writes, compares, measures and trims one transmitter, or several
// at once, one per --port.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <thread>

#include "cli/many_ports.h"
#include "cli/port_listing.h"
#include "cli/transmitter_session.h"
#include "device/config_file.h"
#include "device/file_paths.h"
#include "device/number_text.h"
#include "device/port_name_rules.h"
#include "device/probe.h"
#include "device/register_map.h"
#include "kelvane_version.h"
#include "link/link.h"
#include "link/link_traffic_log.h"
#include "link/port_names.h"
#ifdef _WIN32
#include "platform/windows/running_instance.h"
#include "platform/windows/utf8_arguments.h"
#include "platform/windows/win_serial_port.h"
#include "platform/windows/wmi_port_names.h"
#include "sim/in_process_adapter.h"
#else
#include "platform/linux/linux_ports.h"
#include "platform/linux/posix_serial_port.h"
#include "sim/pty_adapter.h"
#endif

namespace {

using namespace kelvane;
using cli::portFileName;
using cli::PortResult;
using cli::SharedLines;
using cli::SharedLineStream;

std::atomic<bool> stopRequested{false};

void requestStop(int) {
    stopRequested = true;
}

#ifdef _WIN32
using SystemSerialPort = WinSerialPort;
using SimulatedAdapter = sim::InProcessAdapter;
#else
using SystemSerialPort = PosixSerialPort;
#endif

// The system's ports, listed as the Scan screen lists them.
struct SystemPortNames {
#ifdef _WIN32
    WmiPortNames source;
#else
    SysfsDeviceSource devices;
    LinuxPortNames source{devices};
#endif
};

// The USB-to-serial adapter the Scan screen would choose: the last one listed, opened
// by its COM number.
std::optional<std::string> findAdapter(std::string& problem) {
    SystemPortNames system;
    PortNameSource& source = system.source;
    const PortNameListing listing = source.listNames();
    if (listing.error) {
        problem = *listing.error;
        return std::nullopt;
    }
    // The adapter the Scan screen chooses, by the same reading of the same list.
    const AdapterScan scan = scanPortEntries(listing.names);
    if (scan.numberError) {
        problem = "the adapter \"" + scan.lines.back() + "\" has no port number";
        return std::nullopt;
    }
    if (scan.selectedLine < 0 && scan.driverProblem) {
        problem =
            "the USB-to-serial adapter's driver is not working (Windows device problem code " +
            std::to_string(*scan.driverProblem) +
            "); reinstall the adapter's driver, or try another adapter";
        return std::nullopt;
    }
    if (scan.selectedLine < 0) {
        problem = "no USB-to-serial adapter found; name the device with --port DEVICE";
        return std::nullopt;
    }
    const std::optional<std::string> device = portDeviceName(scan.portNumber - 1);
    if (!device) {
        problem = "the adapter \"" + scan.lines[static_cast<std::size_t>(scan.selectedLine)] +
                  "\" has no port number from 1 to " + std::to_string(kHighestPortNumber);
        return std::nullopt;
    }
    return source.resolve(*device);
}

// The device a --port names. On Windows "COM10" … "COM255" (any case) open by their
// device-namespace names, "\\.\COM10" …, as the port-name table gives them: only
// COM1 … COM9 open by their plain names.
std::string portDevice(const std::string& port) {
#ifdef _WIN32
    if (const auto index = portIndexOfName(port)) {
        return *portDeviceName(*index);
    }
#endif
    return port;
}

// The port the command talks through: the system's, or the simulated adapter's own.
std::unique_ptr<SerialPort> makePort(SimulatedAdapter* simulated) {
#ifdef _WIN32
    if (simulated != nullptr) {
        return simulated->makePort();
    }
#else
    (void)simulated;
#endif
    return std::make_unique<SystemSerialPort>();
}

// Waits in short slices, so that Ctrl+C ends a long --interval or store wait at once;
// false when it did (or had already been pressed).
bool sleepUnlessStopped(Micros wait) {
    const auto until = std::chrono::steady_clock::now() + wait;
    while (!stopRequested && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            std::chrono::milliseconds(50), until - std::chrono::steady_clock::now()));
    }
    return !stopRequested;
}

// The command on every port at once (--port given more than once).
int runOnEveryPort(cli::ManyPortsRun run, const std::string& command, const std::string& logPath,
                   const std::string& outputFolder) {
    SharedLines sharedErr(std::cerr);
    std::vector<std::unique_ptr<std::ofstream>> logFiles;
    std::vector<std::unique_ptr<std::ostream>> logStreams;
    std::vector<std::unique_ptr<LinkTrafficLog>> logs;
    std::map<std::string, LinkTrafficLog*> logOf;
    for (const std::string& port : run.ports) {
        if (logPath.empty()) {
            break;
        }
        std::ostream* stream = nullptr;
        if (logPath == "-") {
            logStreams.push_back(std::make_unique<SharedLineStream>(sharedErr, port + ": "));
            stream = logStreams.back().get();
        } else {
            const std::string path = logPath + "." + portFileName(port);
            logFiles.push_back(std::make_unique<std::ofstream>(pathFromUtf8(path), std::ios::app));
            if (!*logFiles.back()) {
                std::cerr << "kelvane-cli: cannot write the log " << path << "\n";
                return cli::kBadInput;
            }
            stream = logFiles.back().get();
        }
        logs.push_back(std::make_unique<LinkTrafficLog>(*stream));
        logOf[port] = logs.back().get();
    }
    run.open = [&logOf](const std::string& port) {
        std::shared_ptr<SerialPort> serial = makePort(nullptr);
        const auto log = logOf.find(port);
        return cli::OpenedPort{serial, sleepUnlessStopped, [serial] { return serial->now(); },
                               log == logOf.end() ? nullptr : log->second};
    };
    run.sharedErr = &sharedErr;
    SharedLines sharedOut(std::cout);
    if (command == "measure") {
        std::cout << "port,time,raw,value,unit" << std::endl;
        run.sharedOut = &sharedOut;
    }
    if (command == "read" && !outputFolder.empty()) {
        std::error_code error;
        std::filesystem::create_directories(pathFromUtf8(outputFolder), error);
    }
    std::vector<cli::PortResult> results = cli::runOnManyPorts(run);
    if (command == "read" && outputFolder.empty()) {
        // Every port has its entry: a failed read one with the reason, so that none is
        // silently missing. The messages went to standard error as they happened.
        std::string array = "[";
        for (const cli::PortResult& result : results) {
            const std::string entry = result.status == cli::kSuccess
                                          ? result.out
                                          : failedReadJson(result.port, cli::problemOf(result));
            array += (array.size() > 1 ? ",\n" : "\n") +
                     entry.substr(0, entry.find_last_not_of('\n') + 1);
        }
        std::cout << array << "\n]\n";
    } else if (command != "measure") {
        for (cli::PortResult& result : results) {
            if (command == "read" && result.status == cli::kSuccess) {
                const std::string path = outputFolder + "/" + portFileName(result.port) + ".json";
                std::ofstream file(pathFromUtf8(path));
                file << result.out;
                file.close();
                result.out = file ? "written to " + path : "";
                if (!file) {
                    result.status = cli::kBadInput;
                    result.err = "cannot write " + path;
                }
            }
            if (result.status == cli::kSuccess && result.out.empty()) {
                result.out = "ok";
            }
            std::cout << cli::summaryLine(result) << "\n";
        }
    }
    return cli::overallStatus(results);
}

class PrintedDialogs final : public DialogService {
  public:
    void showMessage(const std::string& text) override {
        std::cerr << "kelvane-cli: " << text << "\n";
    }
    void showError(const std::string& text) override { showMessage(text); }
};

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    kelvane::holdRunningInstanceMutex();
#endif
    CLI::App app{
        "kelvane-cli: identify, read, write, compare, measure and trim a 4-20 mA temperature\n"
        "transmitter (QTR-H, QTR-D, QTN-H) over a USB-to-serial adapter.\n"
        "Exit status: 0 success, 1 the device failed or differs, 2 bad usage or a bad file,\n"
        "130 a write stopped by Ctrl+C before its store was checked.",
        "kelvane-cli"};
    // "/path/file.json" is a file on every system, never a Windows-style option.
    app.allow_windows_style_options(false);
    std::vector<std::string> ports;
    std::string logPath;
    std::string simulateModel;
    auto* portOption = app.add_option(
        "--port", ports,
        "The serial device of the adapter (default: the adapter found); given more than "
        "once, the command runs on every port at once");
    auto* simulate = app.add_option("--simulate", simulateModel,
                                    "Talk to a simulated transmitter of MODEL (QTR-H when none)")
                         ->expected(0, 1)
                         ->excludes(portOption);
    app.add_option("--log", logPath,
                   "Write every request and reply in hex to FILE, or - for stderr");
    std::string pace = "line";
    app.add_option("--pace", pace,
                   "line (default): take each reply as soon as it is whole and wait only the "
                   "Modbus gap before a request; screen: wait 100 ms of silence as the "
                   "program's screens do, for a device that needs it")
        ->check(CLI::IsMember({"line", "screen"}));
    bool version = false;
    app.add_flag("--version", version, "Print the version and exit");

    bool recover = false;
    auto* portsCommand = app.add_subcommand(
        "ports", "Every serial port: its device, USB ids, and whether it is the adapter and why");
    bool portsJson = false;
    portsCommand->add_flag("--json", portsJson, "As a JSON array");
    auto* identify = app.add_subcommand("identify", "Model, firmware and serial number");
    identify->add_flag("--recover", recover,
                       "Run the probe's recovery passes when no transmitter answers at 4800 baud");
    std::string outputPath;
    auto* read = app.add_subcommand(
        "read", "The configuration as JSON (with several --port, a JSON array of them)");
    read->add_option("-o,--output", outputPath,
                     "Write it to FILE instead of standard output (with several --port, one "
                     "file per port into the folder FILE)");
    std::string inputPath;
    bool dryRun = false;
    auto* write = app.add_subcommand("write", "Validate FILE, write it, check that it was stored");
    write->add_option("FILE", inputPath, "A configuration file, as read writes it")->required();
    write->add_flag("--dry-run", dryRun, "Validate and print the frames without sending them");
    auto* diff =
        app.add_subcommand("diff", "One line per field where the device differs from FILE");
    diff->add_option("FILE", inputPath, "A configuration file")->required();
    int count = 0;
    auto intervalMs = static_cast<int>(cli::kDefaultMeasureInterval.count() / 1000);
    auto* measure = app.add_subcommand("measure", "Process values as CSV: time,raw,value,unit");
    measure->add_option("--count", count, "Stop after N values (default: until Ctrl+C)")
        ->check(CLI::NonNegativeNumber);
    measure->add_option("--interval", intervalMs, "Milliseconds between values (default 500)")
        ->check(CLI::Range(100, 3600000));
    std::string point;
    std::optional<int> trimCount;
    auto* trim =
        app.add_subcommand("trim", "Drive the output at the 4 mA or 20 mA point, or normal");
    trim->add_option("POINT", point, "4mA, 20mA or normal")
        ->required()
        ->check(CLI::IsMember({"4mA", "20mA", "normal"}));
    auto* countOption =
        trim->add_option("--count", trimCount, "The trim count, 0-32767 (default: the device's)")
            ->check(CLI::Range(0, 32767));
    bool meter = false;
    double tolerance = kMeterTolerance;
    int maxReadings = kMaxMeterReadings;
    trim->add_flag("--meter", meter,
                   "Trim against a current meter: ask for its reading (mA, one a line on "
                   "standard input) until it is within the tolerance")
        ->excludes(countOption);
    trim->add_option("--tolerance", tolerance, "With --meter: the tolerance in mA (default 0.002)")
        ->check(CLI::PositiveNumber);
    trim->add_option("--max-readings", maxReadings,
                     "With --meter: the readings at most (default 8)")
        ->check(CLI::Range(1, 100));
    app.require_subcommand(0, 1);

#ifdef _WIN32
    // Paths and names in any script: the UTF-16 command line, not the ANSI argv.
    std::vector<std::string> utf8 = utf8Arguments();
    std::vector<char*> utf8Argv;
    for (std::string& argument : utf8) {
        utf8Argv.push_back(argument.data());
    }
    if (!utf8Argv.empty()) {
        argc = static_cast<int>(utf8Argv.size());
        argv = utf8Argv.data();
    }
#endif
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        return status == 0 ? cli::kSuccess : cli::kBadInput;
    }
    if (version) {
        std::cout << "kelvane-cli " << KELVANE_VERSION_TEXT << "\n";
        return cli::kSuccess;
    }
    if (app.get_subcommands().empty()) {
        std::cerr << app.help();
        return cli::kBadInput;
    }

    if (portsCommand->parsed()) {
        SystemPortNames system;
        SystemSerialPort port;
        return cli::listPorts(system.source, port, portsJson, std::cout, std::cerr);
    }

    // A file is read, and checked, before anything is sent.
    std::optional<ConfigurationFile> file;
    if (write->parsed() || diff->parsed()) {
        try {
            file = readConfigurationFile(inputPath);
        } catch (const BadFile& error) {
            std::cerr << "kelvane-cli: " << error.what() << "\n";
            return cli::kBadInput;
        }
        if (write->parsed()) {
            if (const auto problem = validationProblem(file->configuration)) {
                std::cerr << "kelvane-cli: " << inputPath << ": " << describe(*problem) << "\n";
                return cli::kBadInput;
            }
        }
    }

    if (ports.size() > 1) {
        std::transform(ports.begin(), ports.end(), ports.begin(), portDevice);
        for (std::size_t i = 0; i < ports.size(); ++i) {
            if (std::find(ports.begin(), ports.begin() + static_cast<std::ptrdiff_t>(i),
                          ports[i]) != ports.begin() + static_cast<std::ptrdiff_t>(i)) {
                std::cerr << "kelvane-cli: --port " << ports[i] << " is given twice\n";
                return cli::kBadInput;
            }
        }
        if (recover) {
            std::cerr << "kelvane-cli: --recover takes one --port\n";
            return cli::kBadInput;
        }
        if (write->parsed() && dryRun) {
            std::cerr << "kelvane-cli: --dry-run takes one --port\n";
            return cli::kBadInput;
        }
        if (meter) {
            std::cerr << "kelvane-cli: --meter takes one --port\n";
            return cli::kBadInput;
        }
        cli::ManyPortsRun run;
        run.ports = ports;
        run.pace = pace == "screen" ? Pace::Screen : Pace::Line;
        std::string command;
        if (identify->parsed()) {
            command = "identify";
            run.command = [](cli::TransmitterSession& session) {
                return session.identify() ? cli::kSuccess : cli::kDeviceFailed;
            };
        } else if (read->parsed()) {
            command = "read";
            run.command = [](cli::TransmitterSession& session) {
                auto configuration = session.read();
                if (!configuration) {
                    return cli::kDeviceFailed;
                }
                configuration->port = session.deviceName();
                session.output() << configurationJson(*configuration);
                return cli::kSuccess;
            };
        } else if (write->parsed() || diff->parsed()) {
            command = write->parsed() ? "write" : "diff";
            const ConfigurationFile wanted = *file;
            const bool writing = write->parsed();
            run.command = [wanted, writing](cli::TransmitterSession& session) {
                return writing ? session.write(wanted.configuration, false, wanted.identity)
                               : session.diff(wanted.configuration);
            };
        } else if (measure->parsed()) {
            command = "measure";
            run.command = [count, intervalMs](cli::TransmitterSession& session) {
                return session.measure(count, Micros(intervalMs * 1000LL), stopRequested);
            };
        } else {
            command = "trim";
            const std::optional<TrimPoint> trimPoint =
                point == "4mA"    ? std::optional<TrimPoint>(TrimPoint::FourMilliamp)
                : point == "20mA" ? std::optional<TrimPoint>(TrimPoint::TwentyMilliamp)
                                  : std::nullopt;
            run.command = [trimPoint, trimCount](cli::TransmitterSession& session) {
                return session.trim(trimPoint, trimCount);
            };
        }
        std::signal(SIGINT, requestStop);
        std::signal(SIGTERM, requestStop);
        return runOnEveryPort(std::move(run), command, logPath, outputPath);
    }

    SimulatedAdapter simulated;
    std::string device = ports.empty() ? std::string() : portDevice(ports.front());
    if (simulate->count() > 0) {
        std::string error;
        if (!simulated.start(simulateModel, error)) {
            std::cerr << "kelvane-cli: " << error << "\n";
            return cli::kBadInput;
        }
        device = simulated.devicePath();
    } else if (device.empty() && !(write->parsed() && dryRun)) {
        std::string problem;
        const auto found = findAdapter(problem);
        if (!found) {
            std::cerr << "kelvane-cli: " << problem << "\n";
            return cli::kDeviceFailed;
        }
        device = *found;
    }

    const std::unique_ptr<SerialPort> port = makePort(simulate->count() > 0 ? &simulated : nullptr);
    SerialPort& serialPort = *port;
    PrintedDialogs dialogs;
    Link link(serialPort, dialogs);
    link.setPace(pace == "screen" ? Pace::Screen : Pace::Line);
    std::ofstream logFile;
    std::unique_ptr<LinkTrafficLog> log;
    if (!logPath.empty()) {
        if (logPath != "-") {
            logFile.open(pathFromUtf8(logPath), std::ios::app);
            if (!logFile) {
                std::cerr << "kelvane-cli: cannot write the log " << logPath << "\n";
                return cli::kBadInput;
            }
        }
        log = std::make_unique<LinkTrafficLog>(logPath == "-" ? std::cerr : logFile);
        link.setObserver(log.get());
    }
    cli::TransmitterSession session(link, device, std::cout, std::cerr, sleepUnlessStopped,
                                    [&serialPort] { return serialPort.now(); });
    if (write->parsed() && dryRun) {
        return session.write(file->configuration, true);
    }

    link.OpenDevice(device, 0);
    if (!link.portOpen()) {
        std::cerr << "kelvane-cli: cannot open " << device << ": "
                  << cli::openProblem(link.lastOpenFailure()) << "\n";
        return cli::kDeviceFailed;
    }
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);

    if (identify->parsed()) {
        std::optional<Identity> identity = session.identify();
        if (!identity && recover) {
            ProgramState state;
            state.portNumber = 1;
            link.setDeviceResolver([device](const std::string&) { return device; });
            ProbeSteps steps;
            steps.getSerialN = [&](std::int16_t address) { readIdentity(link, state, address); };
            steps.selectBaudLine = [](int) {};
            runProbe(link, state, steps);
            // The passes end with an identity read at 19200 baud: a transmitter that
            // answered it was moved there, and is named with where it now listens.
            if (state.familyCode == static_cast<std::int16_t>(DeviceFamily::Transmitter)) {
                identity =
                    Identity{state.modelCode, state.firmwareVersionIndex, state.serialNumber};
                std::cerr << "kelvane-cli: found after recovery; the device now listens at "
                             "address 1, 19200,N,8,1\n";
            }
        }
        if (!identity) {
            return cli::kDeviceFailed;
        }
        const char* model = regmap::modelName(identity->modelCode);
        std::cout << "model " << (model != nullptr ? model : "unnamed") << " (model code "
                  << identity->modelCode << ")\nfirmware "
                  << (identity->firmwareIndex <= regmap::kLastFirmwareIndex
                          ? regmap::firmwareCaption(identity->firmwareIndex)
                          : std::string("without a caption"))
                  << " (index " << identity->firmwareIndex << ")\nserial " << identity->serialNumber
                  << "\n";
        return cli::kSuccess;
    }
    if (read->parsed()) {
        const auto configuration = session.read();
        if (!configuration) {
            return cli::kDeviceFailed;
        }
        const std::string json = configurationJson(*configuration);
        if (outputPath.empty()) {
            std::cout << json;
        } else {
            std::ofstream out(pathFromUtf8(outputPath));
            out << json;
            if (!out) {
                std::cerr << "kelvane-cli: cannot write " << outputPath << "\n";
                return cli::kBadInput;
            }
        }
        return cli::kSuccess;
    }
    if (write->parsed()) {
        return session.write(file->configuration, false, file->identity);
    }
    if (diff->parsed()) {
        return session.diff(file->configuration);
    }
    if (measure->parsed()) {
        return session.measure(count, Micros(intervalMs * 1000LL), stopRequested);
    }
    std::optional<TrimPoint> trimPoint;
    if (point == "4mA") {
        trimPoint = TrimPoint::FourMilliamp;
    } else if (point == "20mA") {
        trimPoint = TrimPoint::TwentyMilliamp;
    }
    if (meter) {
        if (!trimPoint) {
            std::cerr << "kelvane-cli: --meter trims 4mA or 20mA\n";
            return cli::kBadInput;
        }
        return session.trimWithMeter(*trimPoint, tolerance, maxReadings, std::cin);
    }
    return session.trim(trimPoint, trimCount);
}
