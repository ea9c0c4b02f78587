#include "sim/in_process_adapter.h"

#include <thread>

#include "sim/model_names.h"

namespace kelvane::sim {

namespace {

// The in-memory port in real time: the line's waits (read time-outs, byte times) are
// slept for real, and time the caller spends elsewhere (its pauses) moves the clock.
class RealTimePort final : public SerialPort {
  public:
    explicit RealTimePort(VirtualClock& clock) : clock_(clock), port_(clock) {}

    InMemoryPort& port() { return port_; }

  private:
    // Time the caller spent elsewhere passes for the transmitter too.
    void catchUp() const {
        clock_.advanceTo(
            std::chrono::duration_cast<Micros>(std::chrono::steady_clock::now() - start_));
    }

    template <class Operation>
    auto inRealTime(Operation operation) {
        catchUp();
        const Micros before = clock_.now();
        auto result = operation(port_);
        std::this_thread::sleep_for(clock_.now() - before);
        return result;
    }

  public:
    bool open(const std::string& deviceName) override {
        return inRealTime([&](InMemoryPort& p) { return p.open(deviceName); });
    }
    void close() override {
        inRealTime([](InMemoryPort& p) { return (p.close(), true); });
    }
    OpenFailure lastOpenFailure() const override { return port_.lastOpenFailure(); }
    bool isOpen() const override { return port_.isOpen(); }
    std::optional<LineSettings> currentSettings() override {
        return inRealTime([](InMemoryPort& p) { return p.currentSettings(); });
    }
    bool applySettings(const LineSettings& settings) override {
        return inRealTime([&](InMemoryPort& p) { return p.applySettings(settings); });
    }
    std::optional<std::uint8_t> readByteWithin(Micros wait) override {
        return inRealTime([&](InMemoryPort& p) { return p.readByteWithin(wait); });
    }
    bool write(const std::uint8_t* bytes, std::size_t count) override {
        return inRealTime([&](InMemoryPort& p) { return p.write(bytes, count); });
    }
    // The time now, not at the last operation: a reply collected after a pause must
    // see the pause, or its time bound would count the pause against the reply.
    Micros now() const override {
        catchUp();
        return port_.now();
    }

  private:
    VirtualClock& clock_;
    InMemoryPort port_;
    const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// The simulated transmitter's port beside the system's: each open picks one of them
// by the device name, and everything up to the next open goes to that one.
class BesideSystemPort final : public SerialPort {
  public:
    BesideSystemPort(std::unique_ptr<SerialPort> simulated, std::unique_ptr<SerialPort> system)
        : simulated_(std::move(simulated)), system_(std::move(system)), active_(system_.get()) {}

    bool open(const std::string& deviceName) override {
        // An open port closes first, as a port opened anew does: a COM port left open
        // beside the simulator would be held from every other program.
        if (active_->isOpen()) {
            active_->close();
        }
        active_ = deviceName == InProcessAdapter::kDeviceName ? simulated_.get() : system_.get();
        return active_->open(deviceName);
    }
    void close() override { active_->close(); }
    OpenFailure lastOpenFailure() const override { return active_->lastOpenFailure(); }
    bool isOpen() const override { return active_->isOpen(); }
    std::optional<LineSettings> currentSettings() override { return active_->currentSettings(); }
    std::optional<LineSettings> buildSettings(const std::string& text) override {
        return active_->buildSettings(text);
    }
    bool applySettings(const LineSettings& settings) override {
        return active_->applySettings(settings);
    }
    std::optional<std::uint8_t> readByteWithin(Micros wait) override {
        return active_->readByteWithin(wait);
    }
    bool write(const std::uint8_t* bytes, std::size_t count) override {
        return active_->write(bytes, count);
    }
    Micros now() const override { return active_->now(); }

  private:
    std::unique_ptr<SerialPort> simulated_;
    std::unique_ptr<SerialPort> system_;
    SerialPort* active_;
};

}  // namespace

InProcessAdapter::InProcessAdapter() = default;
InProcessAdapter::~InProcessAdapter() = default;

bool InProcessAdapter::start(const std::string& model, std::string& error) {
    const auto modelCode = parseModel(model.empty() ? "QTR-H" : model);
    if (!modelCode) {
        error = "Unknown model for --simulate-model: " + model;
        return false;
    }
    DeviceSettings settings;
    settings.modelCode = *modelCode;
    device_ = std::make_unique<Transmitter>(settings);
    peer_ = std::make_unique<InMemoryDevice>(*device_);
    return true;
}

std::unique_ptr<SerialPort> InProcessAdapter::makePort() {
    auto port = std::make_unique<RealTimePort>(clock_);
    if (peer_) {
        port->port().attach(kDeviceName, *peer_);
    }
    return port;
}

std::unique_ptr<SerialPort> InProcessAdapter::makePortBeside(std::unique_ptr<SerialPort> system) {
    return std::make_unique<BesideSystemPort>(makePort(), std::move(system));
}

}  // namespace kelvane::sim
