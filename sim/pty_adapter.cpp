#include "sim/pty_adapter.h"

#include "sim/model_names.h"
#include "sim/pty_device.h"
#include "sim/transmitter.h"

namespace kelvane {

SimulatedAdapter::SimulatedAdapter() = default;

SimulatedAdapter::~SimulatedAdapter() {
    if (pty_) {
        pty_->stop();
    }
}

bool SimulatedAdapter::start(const std::string& model, std::string& error) {
    const auto modelCode = sim::parseModel(model.empty() ? "QTR-H" : model);
    if (!modelCode) {
        error = "Unknown model for --simulate-model: " + model;
        return false;
    }
    sim::DeviceSettings settings;
    settings.modelCode = *modelCode;
    device_ = std::make_unique<sim::Transmitter>(settings);
    pty_ = std::make_unique<sim::PtyDevice>(*device_);
    if (!pty_->start(error)) {
        pty_.reset();
        return false;
    }
    return true;
}

std::string SimulatedAdapter::devicePath() const {
    return pty_ ? pty_->slavePath() : std::string();
}

std::optional<double> SimulatedAdapter::outputMilliamps() {
    return pty_ ? std::optional(pty_->outputMilliamps()) : std::nullopt;
}

}  // namespace kelvane
