// The serial link: the one open port, the request frame, the 75-byte response buffer
// and the receive cell. Every screen talks to the device through one Link, which
// takes its port (real or in-memory) and its dialog service through the constructor.
// An observer may watch every frame sent and every reply collected.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/dialog_service.h"
#include "link/line_settings.h"
#include "link/serial_port.h"

namespace kelvane {

// Sees the traffic without the link knowing what it does with it (logs, tests).
class LinkObserver {
  public:
    virtual ~LinkObserver() = default;
    virtual void requestSent(const std::array<std::uint8_t, 8>& frame, const LineSettings& line,
                             Micros at) = 0;
    // `bytes` holds every byte the collection received, also those past the buffer.
    virtual void replyCollected(const std::vector<std::uint8_t>& bytes, const LineSettings& line,
                                Micros at) = 0;
};

// Function codes as the device understands them; 5 takes any 16-bit value.
enum class FunctionCode : std::uint8_t {
    ReadHolding = 3,
    ReadInput = 4,
    WriteAnyValue = 5,
    WriteRegister = 6,
};

inline constexpr std::int16_t kBroadcastAddress = 0;

// The 8-byte request frame: address, function, two fields high byte first, CRC low
// byte first. Negative fields go out as two's complement. SendRequest sends it.
std::array<std::uint8_t, 8> requestFrame(std::int16_t address, std::int16_t function,
                                         std::int16_t field1, std::int16_t field2);

// How the link waits on the line. The screens wait as the program always has: a reply
// ends at 100 ms of silence, and every drain waits as long. On the line pace, for
// tools that talk to many devices, a reply ends as soon as its expected length has
// come with a right CRC, a drain waits only the Modbus gap of 3.5 characters, and
// every request follows at least that gap of silence after the line's last byte.
enum class Pace { Screen, Line };

// The length of a whole reply to `request` (functions 3 and 4: 5 + 2n bytes; 5 and 6:
// 8); nothing for a broadcast, which no device answers, or another function.
std::optional<int> expectedReplyLength(const std::array<std::uint8_t, 8>& request);

// The Modbus inter-frame gap at a line setting: 3.5 characters (1.75 ms above 19200).
Micros interFrameGap(const LineSettings& line);

class Link {
  public:
    static constexpr int kResponseSize = 75;
    // The longest a collection reads: a line that never falls silent (a device that
    // streams, noise) must not hold the program. Every real reply ends far sooner.
    static constexpr Micros kLongestCollection{1'000'000};
    // Once a collection has run to that bound, or has brought bytes for longer than this
    // (noise in bursts), the line is known to stream: until a collection ends in
    // silence again after a reply's worth of bytes (or the port is opened anew) each
    // collection
    // reads at most this long, so that a sequence of exchanges cannot hold the window
    // for a second each. The longest reply the program asks for (23 bytes) takes
    // 48 ms at 4800 baud, so no real reply is cut.
    static constexpr Micros kCollectionOnAStreamingLine{200'000};

    Link(SerialPort& port, DialogService& dialogs) : port_(port), dialogs_(dialogs) {}

    // Maps a port-name table entry ("COM5", "\\.\COM12") to the device to open. The
    // default opens the name as it is; on Linux the adapter finder resolves aliases.
    void setDeviceResolver(std::function<std::string(const std::string&)> resolver) {
        resolveDevice_ = std::move(resolver);
    }
    void setObserver(LinkObserver* observer) { observer_ = observer; }
    void setPace(Pace pace) { pace_ = pace; }
    Pace pace() const { return pace_; }

    // Opens the port at a port index (port number − 1) and a line-settings index. A
    // port that cannot be opened (or an index outside the tables) is reported by
    // nothing; set-up failures show "Error in GetCommState", "Error in BuildCommDCB"
    // or "Error in SetCommState" and the remaining steps still run.
    void OpenPort(std::int16_t portIndex, std::int16_t lineSettingsIndex);
    // Opens a device by path, for tools and tests that know the device.
    void OpenDevice(const std::string& devicePath, std::int16_t lineSettingsIndex);
    void ClosePort() { port_.close(); }
    bool portOpen() const { return port_.isOpen(); }
    // Why the last open of the port failed (OpenFailure::None after a success).
    OpenFailure lastOpenFailure() const { return port_.lastOpenFailure(); }

    // Reads the reply until 100 ms of silence, or kLongestCollection at most
    // (kCollectionOnAStreamingLine on a line known to stream). Byte n
    // of an n-byte reply gets a copy of byte n − 1; an empty collection rewrites byte 0
    // with the receive cell.
    void CollectResponse();
    // A collection whose bytes nobody uses: empties the line before a request. On the
    // line pace it ends at the Modbus inter-frame gap of silence instead of 100 ms.
    void Drain();
    // How many collections so far ran to their bound (kLongestCollection, or
    // kCollectionOnAStreamingLine on a line known to stream) with bytes still coming: a
    // line that streams is no transmitter's, and a sequence may give up on it at once.
    int cappedCollections() const { return cappedCollections_; }

    // Builds and writes one 8-byte frame. Negative fields go out as two's complement.
    // On the line pace it first waits out the Modbus gap (see WaitForGap).
    bool SendRequest(std::int16_t address, std::int16_t function, std::int16_t field1,
                     std::int16_t field2);
    // CRC of request bytes 0 … n − 1 into request bytes n (low) and n + 1 (high).
    void AppendRequestCrc(int n);
    // CRC of response bytes 0 … n − 1 against response bytes n and n + 1; fails when
    // the last collection received fewer than n + 2 bytes.
    bool ResponseCrcOk(int n) const;
    // The device echoed the request's CRC, in bytes that this collection received.
    bool EchoOk() const;
    // Send, collect, echo check; on failure the same request once more (no drain).
    bool ConfirmedWrite(std::int16_t function, std::int16_t reg, std::int16_t value,
                        std::int16_t address);

    // Register i of a read reply: unsigned, signed 16-bit, and the 32-bit pair i, i + 1.
    std::uint16_t RegisterValue(int i) const;
    std::int16_t SignedRegister(int i) const;
    std::uint32_t RegisterPair(int i) const;

    std::uint8_t response(int k) const { return response_.at(static_cast<size_t>(k)); }
    const std::array<std::uint8_t, kResponseSize>& responseBuffer() const { return response_; }
    const std::array<std::uint8_t, 8>& request() const { return request_; }
    // Bytes the most recent collection received; checks never pass on fewer.
    int receivedCount() const { return receivedCount_; }
    std::uint16_t receiveCell() const { return receiveCell_; }
    const LineSettings& lineSettings() const { return line_; }
    // The port's steady clock: real time for a device, the virtual clock in tests.
    Micros now() const { return port_.now(); }

  private:
    // Waits until the line has been silent for the Modbus gap since its last byte (the
    // end of a reply, or of the previous request when none came). Bytes that arrive
    // meanwhile belong to no request: they are read off, shown to the observer as a
    // collection, and the gap starts again after them.
    void WaitForGap();

    SerialPort& port_;
    DialogService& dialogs_;
    std::function<std::string(const std::string&)> resolveDevice_;
    LinkObserver* observer_ = nullptr;
    std::array<std::uint8_t, 8> request_{};
    std::array<std::uint8_t, kResponseSize> response_{};
    std::uint16_t receiveCell_ = 0;
    int receivedCount_ = 0;
    int cappedCollections_ = 0;
    bool lineStreams_ = false;
    Pace pace_ = Pace::Screen;
    bool draining_ = false;
    // The end of the last byte on the line, either way; nothing before the first.
    std::optional<Micros> lastLineByteAt_;
    LineSettings line_{};
};

}  // namespace kelvane
