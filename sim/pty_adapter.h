// --simulate: a simulated transmitter served on a pseudo-terminal inside the
// program, so that the scan finds an adapter and the probe a device on a machine
// with no hardware. The program lists slavePath() as a USB-to-serial adapter.
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace kelvane::sim {
class PtyDevice;
class Transmitter;
}  // namespace kelvane::sim

namespace kelvane {

class SimulatedAdapter {
  public:
    SimulatedAdapter();
    ~SimulatedAdapter();
    SimulatedAdapter(const SimulatedAdapter&) = delete;
    SimulatedAdapter& operator=(const SimulatedAdapter&) = delete;

    // Starts a transmitter of `model` ("QTR-H" when empty); false with a reason.
    bool start(const std::string& model, std::string& error);
    std::string devicePath() const;
    // The transmitter's output current now; nothing before start().
    std::optional<double> outputMilliamps();

  private:
    std::unique_ptr<sim::Transmitter> device_;
    std::unique_ptr<sim::PtyDevice> pty_;
};

}  // namespace kelvane
