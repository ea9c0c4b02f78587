// One command on several transmitters at once, as a production line runs it: one
// worker per port, each with its own port, link, session and log, so that a failure
// on one port never stops or corrupts another. Results come back in port order.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/transmitter_session.h"
#include "link/link.h"

namespace kelvane::cli {

// A port to run on, with the clock it is timed by and the way it waits: real time for
// the program, each port's own virtual clock in tests.
struct OpenedPort {
    std::shared_ptr<SerialPort> port;
    Pause pause;
    Clock now;
    LinkObserver* log = nullptr;  // the port's own traffic log, if any
};

struct PortResult {
    std::string port;
    int status = kSuccess;
    std::optional<Identity> identity;
    std::string out;  // what the command printed, unless it went to a shared stream
    std::string err;
};

// Writes whole lines to one stream from several workers, each line at once and
// never mixed with another worker's.
class SharedLines {
  public:
    explicit SharedLines(std::ostream& out) : out_(out) {}
    void write(const std::string& line);

  private:
    std::ostream& out_;
    std::mutex mutex_;
};

// An output stream whose every line goes, after `prefix`, to a SharedLines at once.
class SharedLineStream final : public std::ostream {
  public:
    SharedLineStream(SharedLines& shared, std::string prefix);
    ~SharedLineStream() override;

  private:
    std::unique_ptr<std::stringbuf> buffer_;
};

// A port's device path as a file-name part: "/dev/ttyUSB0" -> "ttyUSB0",
// "/dev/pts/3" -> "pts-3".
std::string portFileName(const std::string& port);

struct ManyPortsRun {
    std::vector<std::string> ports;
    Pace pace = Pace::Line;
    std::function<OpenedPort(const std::string& port)> open;
    std::function<int(TransmitterSession& session)> command;
    // When set, each line the command prints goes here at once, after "PORT," (measure).
    SharedLines* sharedOut = nullptr;
    // When set, each message of a port goes here as it happens, after "PORT: "; the
    // results keep them too.
    SharedLines* sharedErr = nullptr;
};

std::vector<PortResult> runOnManyPorts(const ManyPortsRun& run);

// "PORT<tab>MODEL<tab>SERIAL<tab>RESULT": the result is what the command printed, or
// what went wrong; "-" for a model or serial number that was not read.
std::string summaryLine(const PortResult& result);

// What went wrong on a port, on one line without the program's name.
std::string problemOf(const PortResult& result);

// The worst exit status of all ports: 0 only when every port succeeded.
int overallStatus(const std::vector<PortResult>& results);

// Why a device could not be opened, in words a technician can act on.
std::string openProblem(OpenFailure failure);

}  // namespace kelvane::cli
