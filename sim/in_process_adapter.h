// --simulate where the system has no pseudo-terminal (Windows): a simulated
// transmitter inside the process, reached through an in-memory port that keeps real
// time: its waits take as long as a real line's, and the caller's pauses (a store
// wait, a measurement interval) are time the transmitter sees pass.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "link/in_memory_port.h"
#include "sim/in_memory_device.h"
#include "sim/transmitter.h"

namespace kelvane::sim {

class InProcessAdapter {
  public:
    // The name the simulated adapter opens under.
    static constexpr const char* kDeviceName = "SIMULATED";

    InProcessAdapter();
    ~InProcessAdapter();
    InProcessAdapter(const InProcessAdapter&) = delete;
    InProcessAdapter& operator=(const InProcessAdapter&) = delete;

    // Starts a transmitter of `model` ("QTR-H" when empty); false with a reason.
    bool start(const std::string& model, std::string& error);
    std::string devicePath() const { return device_ ? kDeviceName : std::string(); }
    // The transmitter's output current now; nothing before start().
    std::optional<double> outputMilliamps() const {
        return device_ ? std::optional(device_->outputMilliamps(clock_.now())) : std::nullopt;
    }
    // A port that reaches the transmitter; valid while this adapter lives.
    std::unique_ptr<SerialPort> makePort();
    // A port that opens the transmitter by kDeviceName and every other device with
    // `system`, for a program whose scan lists both.
    std::unique_ptr<SerialPort> makePortBeside(std::unique_ptr<SerialPort> system);

  private:
    VirtualClock clock_;
    std::unique_ptr<Transmitter> device_;
    std::unique_ptr<InMemoryDevice> peer_;
};

}  // namespace kelvane::sim
