// Fuzz target: arbitrary bytes from the device, arriving as the reply to a request
// (the first input byte decides where a silence splits them), read through the
// link's collection, the CRC and echo checks and the register decoding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "link/in_memory_port.h"
#include "link/link.h"

namespace {

class FuzzedDevice final : public kelvane::LinePeer {
  public:
    std::vector<std::uint8_t> reply;
    std::size_t gapAt = 0;
    kelvane::PeerAnswer receive(const std::vector<std::uint8_t>&, const kelvane::LineSettings&,
                                kelvane::Micros) override {
        kelvane::PeerAnswer answer;
        kelvane::Micros at{2000};
        for (std::size_t i = 0; i < reply.size(); ++i) {
            at += kelvane::Micros(i == gapAt ? 150'000 : 2'083);
            answer.bytes.push_back({reply[i], at});
        }
        return answer;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    kelvane::VirtualClock clock;
    kelvane::InMemoryPort port{clock};
    FuzzedDevice device;
    device.gapAt = data[0];
    device.reply.assign(data + 1, data + size);
    port.attach("COM1", device);
    kelvane::RecordingDialogs dialogs;
    kelvane::Link link{port, dialogs};
    link.OpenPort(0, 0);
    link.SendRequest(1, 4, 0x1000, 1);
    link.CollectResponse();
    // Checks never pass on bytes this collection did not bring.
    for (int n : {5, 9, 11, 21, 73, 74, 75, -1}) {
        if (link.ResponseCrcOk(n) && link.receivedCount() < n + 2) {
            std::abort();
        }
    }
    if (link.EchoOk() && link.receivedCount() < 8) {
        std::abort();
    }
    for (int i = 0; i < 36; ++i) {
        const std::uint16_t raw = link.RegisterValue(i);
        const std::int16_t value = link.SignedRegister(i);
        if (static_cast<std::uint16_t>(value) != raw) {
            std::abort();
        }
    }
    link.CollectResponse();  // whatever the silence left behind
    return 0;
}
