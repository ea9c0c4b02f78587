// The command-line tool's exchanges with one transmitter over a link: identify, read
// the configuration, write it (validated, seven confirmed writes, store check),
// compare, measure and trim. The sequences are the transmitter screen's, without its
// timers: a reply is collected as soon as it ends. Output goes to the given streams.
#pragma once

#include <atomic>
#include <functional>
#include <istream>
#include <optional>
#include <ostream>
#include <string>

#include "device/config_file.h"
#include "device/configuration_rules.h"
#include "device/meter_trim.h"
#include "device/register_map.h"
#include "device/trim_rules.h"
#include "link/link.h"

namespace kelvane::cli {

// Exit statuses: success, the device failed or differs, bad usage or a bad file, and a
// write stopped (Ctrl+C) before its store was checked, as a shell counts SIGINT.
inline constexpr int kSuccess = 0;
inline constexpr int kDeviceFailed = 1;
inline constexpr int kBadInput = 2;
inline constexpr int kInterrupted = 130;

// measure's pace when --interval is not given: the screen's polling period.
inline constexpr Micros kDefaultMeasureInterval{500'000};

// Waits between steps and the time they are counted in: real time for the program,
// the link's virtual clock in tests. A pause returns false when Ctrl+C cut it short.
using Pause = std::function<bool(Micros)>;
using Clock = std::function<Micros()>;

class TransmitterSession {
  public:
    TransmitterSession(Link& link, std::string deviceName, std::ostream& out, std::ostream& err,
                       Pause pause, Clock now);

    // The identity read at the link's line setting; nothing when no transmitter answers.
    std::optional<Identity> identify();
    // Identity and configuration; nothing (and a message on err) when the device fails.
    std::optional<ConfigurationFile> read();
    // Validates, then writes as Write To Device does. Returns an exit status: a store
    // wait cut short is never taken for a store (kInterrupted, nothing checked). A
    // configuration read from another model (`madeOn`) is not written.
    int write(const Configuration& wanted, bool dryRun,
              const std::optional<Identity>& madeOn = std::nullopt);
    // One line per field that differs between the device and `wanted`; an exit status.
    int diff(const Configuration& wanted);
    // Command 40, then `count` process values (0: until `stop`), one every `interval`,
    // as CSV on out.
    int measure(int count, Micros interval, const std::atomic<bool>& stop);
    // The 4 mA or 20 mA point with a count (the device's own when none), or normal output.
    int trim(std::optional<TrimPoint> point, std::optional<int> count);
    // The point trimmed against a meter: the count as found, then for each reading in mA
    // from `readings` (one a line, each asked for on err with a line ending in "mA?") the
    // count it calls for, until a reading is within `tolerance`. The output returns to
    // normal in every case; the count as found is written back unless the trim succeeds.
    int trimWithMeter(TrimPoint point, double tolerance, int maxReadings, std::istream& readings);

    // Where the command's results go (standard output, or a port's own buffer).
    std::ostream& output() { return out_; }
    // The port as the session names it in its messages.
    const std::string& deviceName() const { return deviceName_; }
    // The identity this session last read, if any.
    const std::optional<Identity>& identity() const { return identity_; }
    // measure prints no header: its lines join one CSV whose first column, the port,
    // the caller adds.
    void setCsvPortColumn() { csvPortColumn_ = true; }

  private:
    // Says on err what the last collection brought instead of the reply; false.
    bool replyFailed(regmap::ReplyCheck check);
    bool noReply();
    bool normalOutput();
    // One trim write, sent and collected without a drain; false (said on err) unechoed.
    bool sendTrimWrite(regmap::Register reg, std::int16_t value);
    // "Modbus exception 2 (illegal data address)" when the last collection was an
    // exception reply.
    std::optional<std::string> exceptionReply() const;
    std::optional<Configuration> readConfiguration();
    int storeCheck();  // an exit status

    Link& link_;
    std::string deviceName_;
    std::ostream& out_;
    std::ostream& err_;
    Pause pause_;
    Clock now_;
    std::optional<Identity> identity_;
    bool csvPortColumn_ = false;
};

}  // namespace kelvane::cli
