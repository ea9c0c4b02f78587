// The serial port and the adapter list of the system the program runs on, with the
// adapters the command line adds: the --port devices, then the simulated transmitter
// of --simulate. Linux lists them under COM aliases beside the kernel's serial
// devices and serves the simulator on a pseudo-terminal; Windows names them after
// WMI's Plug-and-Play devices and runs the simulator inside the process.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/options.h"
#include "link/port_list.h"
#include "link/serial_port.h"

namespace kelvane {

class SystemPorts {
  public:
    SystemPorts();
    ~SystemPorts();
    SystemPorts(const SystemPorts&) = delete;
    SystemPorts& operator=(const SystemPorts&) = delete;

    // Checks the --port names, starts the simulated transmitter when asked and makes
    // the port and the list; false with the reason for standard error.
    bool start(const ProgramOptions& options, std::string& error);
    SerialPort& port() { return *port_; }
    PortNameSource& names() { return *names_; }
    // Where the simulated transmitter answers; empty without --simulate.
    std::string simulatedDevice() const;
    // The simulated transmitter's output current; nothing without --simulate.
    std::optional<double> simulatedMeter();

  private:
    // The port and the list of this platform, once the simulator runs.
    bool startPlatform(const ProgramOptions& options, std::string& error);

    struct Platform;
    std::unique_ptr<Platform> platform_;
    std::unique_ptr<SerialPort> port_;
    std::unique_ptr<PortNameSource> names_;
};

}  // namespace kelvane
