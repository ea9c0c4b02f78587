// A simulated transmitter on the program's link, in memory, on a virtual clock: the
// line every test of a whole sequence against the simulator starts from. The link
// is open on COM1 at 4800 baud and its exchange log sees every request and reply.
#pragma once

#include "link/in_memory_port.h"
#include "link/link.h"
#include "sim/in_memory_device.h"
#include "sim/transmitter.h"
#include "tests/support/exchange_log.h"

namespace kelvane::testing {

struct SimulatedLine {
    explicit SimulatedLine(const sim::DeviceSettings& settings = {2, 5, 200001})
        : device(settings) {
        port.attach("COM1", peer);
        link.OpenPort(0, 0);
        link.setObserver(&log);
    }

    VirtualClock clock;
    InMemoryPort port{clock};
    sim::Transmitter device;
    sim::InMemoryDevice peer{device};
    RecordingDialogs dialogs;
    Link link{port, dialogs};
    ExchangeLog log;
};

}  // namespace kelvane::testing
