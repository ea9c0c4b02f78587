#include "app/system_ports.h"

#ifdef _WIN32
#include "link/extra_adapters.h"
#include "link/port_names.h"
#include "platform/windows/win_serial_port.h"
#include "platform/windows/wmi_port_names.h"
#include "sim/in_process_adapter.h"
#else
#include "platform/linux/linux_ports.h"
#include "platform/linux/posix_serial_port.h"
#include "sim/pty_adapter.h"
#endif

namespace kelvane {

namespace {
constexpr const char* kSimulatorLabel = "Kelvane Simulator";
}  // namespace

#ifdef _WIN32

struct SystemPorts::Platform {
    sim::InProcessAdapter simulated;
    WmiPortNames wmi;
};

bool SystemPorts::startPlatform(const ProgramOptions& options, std::string& error) {
    std::vector<ExtraAdapter> extras;
    for (const std::string& port : options.ports) {
        const auto index = portIndexOfName(port);
        if (!index) {
            error = "--port takes a COM port from COM1 to COM" +
                    std::to_string(kHighestPortNumber) + ", not " + port;
            return false;
        }
        extras.push_back({"", index, ""});
    }
    if (options.simulate) {
        extras.push_back({kSimulatorLabel, std::nullopt, sim::InProcessAdapter::kDeviceName});
        port_ = platform_->simulated.makePortBeside(std::make_unique<WinSerialPort>());
    } else {
        port_ = std::make_unique<WinSerialPort>();
    }
    names_ = std::make_unique<WithExtraAdapters>(platform_->wmi, std::move(extras));
    return true;
}

#else

struct SystemPorts::Platform {
    SimulatedAdapter simulated;
    SysfsDeviceSource devices;
};

bool SystemPorts::startPlatform(const ProgramOptions& options, std::string&) {
    std::vector<SerialDevice> extras;
    for (const std::string& device : options.ports) {
        extras.push_back({device, true, {}});
    }
    if (options.simulate) {
        extras.push_back({platform_->simulated.devicePath(), true, kSimulatorLabel});
    }
    port_ = std::make_unique<PosixSerialPort>();
    names_ = std::make_unique<LinuxPortNames>(platform_->devices, std::move(extras));
    return true;
}

#endif

SystemPorts::SystemPorts() : platform_(std::make_unique<Platform>()) {}
SystemPorts::~SystemPorts() = default;

bool SystemPorts::start(const ProgramOptions& options, std::string& error) {
    if (options.simulate && !platform_->simulated.start(options.simulateModel, error)) {
        error = "cannot start the simulated transmitter: " + error;
        return false;
    }
    return startPlatform(options, error);
}

std::string SystemPorts::simulatedDevice() const {
    return platform_->simulated.devicePath();
}

std::optional<double> SystemPorts::simulatedMeter() {
    return platform_->simulated.outputMilliamps();
}

}  // namespace kelvane
