#include "cli/many_ports.h"

#include <algorithm>
#include <sstream>
#include <thread>

#include "device/port_name_rules.h"
#include "device/register_map.h"
#include "link/dialog_service.h"

namespace kelvane::cli {

namespace {

// The link's set-up messages of one port, kept with that port's errors.
class StreamDialogs final : public DialogService {
  public:
    explicit StreamDialogs(std::ostream& err) : err_(err) {}
    void showMessage(const std::string& text) override { err_ << "kelvane-cli: " << text << "\n"; }
    void showError(const std::string& text) override { showMessage(text); }

  private:
    std::ostream& err_;
};

// Collects what a session prints and forwards each whole line, prefixed, to a shared
// stream, keeping a copy of the lines when asked to.
class ForwardingBuffer final : public std::stringbuf {
  public:
    // Appending (ate): a part of a line left for later is written after, not over.
    ForwardingBuffer(SharedLines& shared, std::string prefix, std::string* kept = nullptr)
        : std::stringbuf(std::ios_base::out | std::ios_base::ate),
          shared_(shared),
          prefix_(std::move(prefix)),
          kept_(kept) {}

  protected:
    int sync() override {
        std::string text = str();
        std::size_t end = text.find('\n');
        if (end == std::string::npos) {
            return 0;
        }
        for (; end != std::string::npos; end = text.find('\n')) {
            shared_.write(prefix_ + text.substr(0, end));
            if (kept_ != nullptr) {
                *kept_ += text.substr(0, end + 1);
            }
            text.erase(0, end + 1);
        }
        str(text);
        return 0;
    }

  private:
    SharedLines& shared_;
    std::string prefix_;
    std::string* kept_;
};

// A port's messages: kept for its summary line and, when the run has a shared error
// stream, written there at once, each line after "PORT: ".
class PortErrors final : public std::ostream {
  public:
    PortErrors(SharedLines* shared, const std::string& port) : std::ostream(nullptr) {
        if (shared != nullptr) {
            forward_ = std::make_unique<ForwardingBuffer>(*shared, port + ": ", &kept_);
            rdbuf(forward_.get());
            setf(std::ios::unitbuf);  // every whole line goes out as it is written
        } else {
            rdbuf(&own_);
        }
    }
    std::string text() {
        flush();
        return forward_ ? kept_ : own_.str();
    }

  private:
    std::string kept_;
    std::stringbuf own_;
    std::unique_ptr<ForwardingBuffer> forward_;
};

std::string oneLine(const std::string& text) {
    std::string line;
    std::istringstream lines(text);
    std::string part;
    while (std::getline(lines, part)) {
        if (part.rfind("kelvane-cli: ", 0) == 0) {
            part.erase(0, 13);
        }
        if (!part.empty()) {
            line += (line.empty() ? "" : "; ") + part;
        }
    }
    return line;
}

PortResult runOnePort(const ManyPortsRun& run, const std::string& device) {
    PortResult result;
    result.port = device;
    PortErrors err(run.sharedErr, device);
    std::ostringstream ownOut;
    std::unique_ptr<SharedLineStream> sharedOut;
    if (run.sharedOut != nullptr) {
        sharedOut = std::make_unique<SharedLineStream>(*run.sharedOut, device + ",");
    }
    std::ostream& out = sharedOut ? static_cast<std::ostream&>(*sharedOut) : ownOut;

    const OpenedPort opened = run.open(device);
    StreamDialogs dialogs(err);
    Link link(*opened.port, dialogs);
    link.setPace(run.pace);
    link.setObserver(opened.log);
    link.OpenDevice(device, 0);
    if (!link.portOpen()) {
        err << "kelvane-cli: cannot open " << device << ": "
            << openProblem(opened.port->lastOpenFailure()) << "\n";
        result.status = kDeviceFailed;
    } else {
        TransmitterSession session(link, device, out, err, opened.pause, opened.now);
        if (run.sharedOut != nullptr) {
            session.setCsvPortColumn();
        }
        result.status = run.command(session);
        result.identity = session.identity();
        link.ClosePort();
    }
    out.flush();
    err << std::flush;
    result.out = ownOut.str();
    result.err = err.text();
    return result;
}

}  // namespace

SharedLineStream::SharedLineStream(SharedLines& shared, std::string prefix)
    : std::ostream(nullptr),
      buffer_(std::make_unique<ForwardingBuffer>(shared, std::move(prefix))) {
    rdbuf(buffer_.get());
}

SharedLineStream::~SharedLineStream() {
    flush();
}

std::string portFileName(const std::string& port) {
    std::string name = port.rfind("/dev/", 0) == 0 ? port.substr(5) : port;
    std::replace(name.begin(), name.end(), '/', '-');
    std::replace(name.begin(), name.end(), '\\', '-');
    const std::size_t first = name.find_first_not_of('-');
    return first == std::string::npos ? "port" : name.substr(first);
}

void SharedLines::write(const std::string& line) {
    const std::lock_guard<std::mutex> lock(mutex_);
    out_ << line << "\n";
    out_.flush();
}

std::vector<PortResult> runOnManyPorts(const ManyPortsRun& run) {
    std::vector<PortResult> results(run.ports.size());
    std::vector<std::thread> workers;
    workers.reserve(run.ports.size());
    for (std::size_t i = 0; i < run.ports.size(); ++i) {
        workers.emplace_back([&run, &results, i] {
            try {
                results[i] = runOnePort(run, run.ports[i]);
            } catch (const std::exception& error) {
                // One port's failure never ends the others.
                const std::string message = std::string("kelvane-cli: ") + error.what();
                if (run.sharedErr != nullptr) {
                    run.sharedErr->write(run.ports[i] + ": " + message);
                }
                results[i] =
                    PortResult{run.ports[i], kDeviceFailed, std::nullopt, "", message + "\n"};
            }
        });
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    return results;
}

std::string summaryLine(const PortResult& result) {
    const char* model = result.identity ? regmap::modelName(result.identity->modelCode) : nullptr;
    const std::string serial =
        result.identity ? std::to_string(result.identity->serialNumber) : std::string("-");
    std::string outcome = oneLine(result.out);
    if (result.status != kSuccess) {
        const std::string problem = oneLine(result.err);
        outcome = outcome.empty() ? "FAILED: " + problem
                                  : "FAILED: " + outcome + (problem.empty() ? "" : "; " + problem);
    }
    return result.port + "\t" + (model != nullptr ? model : "-") + "\t" + serial + "\t" + outcome;
}

std::string problemOf(const PortResult& result) {
    return oneLine(result.err);
}

int overallStatus(const std::vector<PortResult>& results) {
    int status = kSuccess;
    for (const PortResult& result : results) {
        status = std::max(status, result.status);
    }
    return status;
}

std::string openProblem(OpenFailure failure) {
    switch (failure) {
        case OpenFailure::PermissionDenied:
            return std::string("permission denied. ") + kDialoutFix;
        case OpenFailure::Busy:
            return std::string("it is in use by another program") + kBusyAdvice;
        case OpenFailure::Absent:
        case OpenFailure::None:
            break;
    }
    return "no such serial device";
}

}  // namespace kelvane::cli
