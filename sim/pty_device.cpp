#include "sim/pty_device.h"

#include "platform/linux/termios_line.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace kelvane::sim {

namespace {

// A request ends at a silence of 3.5 characters (Modbus RTU); a little more is
// allowed, since the program writes each request in one go and a pseudo-terminal
// passes it at once, whatever the speed.
constexpr Micros kMinimumFrameGap{4000};
constexpr int kIdlePollMs = 50;
// How long stop() and a pulled-out adapter wait for the program to read the last reply.
constexpr std::chrono::milliseconds kDrainLimit{500};

}  // namespace

PtyDevice::PtyDevice(Transmitter& device) : device_(device) {}

PtyDevice::~PtyDevice() {
    stop();
}

bool PtyDevice::start(std::string& error) {
    if (running_) {
        return true;
    }
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        closeAll();
        return false;
    }
    char name[128] = {};
    if (ptsname_r(master_, name, sizeof name) != 0) {
        error = std::string("cannot name the pseudo-terminal: ") + std::strerror(errno);
        closeAll();
        return false;
    }
    slavePath_ = name;
    ownSlave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (ownSlave_ < 0) {
        error = "cannot open " + slavePath_ + ": " + std::strerror(errno);
        closeAll();
        return false;
    }
    // Raw from the start: a fresh pseudo-terminal echoes and translates line ends,
    // which would garble replies before the program has set the line up.
    termios tio{};
    if (tcgetattr(ownSlave_, &tio) == 0) {
        if (makeRaw(tio, device_.lineSettings())) {
            tcsetattr(ownSlave_, TCSANOW, &tio);
        }
    }
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    started_ = std::chrono::steady_clock::now();
    stopping_ = false;
    running_ = true;
    thread_ = std::thread([this] { serve(); });
    return true;
}

void PtyDevice::stop() {
    stopping_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    closeAll();
    running_ = false;
}

void PtyDevice::withDevice(const std::function<void(Transmitter&)>& change) {
    const std::lock_guard<std::mutex> lock(mutex_);
    change(device_);
}

double PtyDevice::outputMilliamps() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return device_.outputMilliamps(sinceStart());
}

Micros PtyDevice::sinceStart() const {
    return std::chrono::duration_cast<Micros>(std::chrono::steady_clock::now() - started_);
}

void PtyDevice::closeAll() {
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
    if (ownSlave_ >= 0) {
        ::close(ownSlave_);
        ownSlave_ = -1;
    }
}

bool PtyDevice::waitUntilRead(std::chrono::milliseconds limit) {
    // Closing the master discards what the program has not read yet, so wait until
    // the slave's input queue is empty.
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        int waiting = 0;
        if (ownSlave_ < 0 || ioctl(ownSlave_, FIONREAD, &waiting) != 0 || waiting == 0) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

void PtyDevice::serve() {
    std::vector<std::uint8_t> frame;
    auto lastByte = std::chrono::steady_clock::now();
    auto firstByte = lastByte;
    while (!stopping_ && master_ >= 0) {
        // Read on every round: the program may change the speed between requests.
        termios tio{};
        LineSettings line;
        line.baud = 0;  // unknown: no device answers it
        if (tcgetattr(master_, &tio) == 0) {
            line = lineSettingsOf(tio);
        }
        const Micros gap =
            line.baud > 0 ? std::max(kMinimumFrameGap, Micros(characterTimeMicros(line) * 7 / 2))
                          : kMinimumFrameGap;
        pollfd waiting{master_, POLLIN, 0};
        const int timeoutMs =
            frame.empty() ? kIdlePollMs : static_cast<int>((gap.count() + 999) / 1000);
        const int ready = poll(&waiting, 1, timeoutMs);
        if (ready < 0 && errno != EINTR) {
            break;
        }
        if (ready > 0 && (waiting.revents & POLLIN)) {
            std::uint8_t chunk[256];
            const ssize_t got = ::read(master_, chunk, sizeof chunk);
            if (got > 0) {
                if (frame.empty()) {
                    firstByte = std::chrono::steady_clock::now();
                }
                if (lineTime_ && line.baud > 0) {
                    std::this_thread::sleep_for(Micros(characterTimeMicros(line) * got));
                }
                frame.insert(frame.end(), chunk, chunk + got);
                lastByte = std::chrono::steady_clock::now();
            }
            continue;
        }
        if (ready > 0 && (waiting.revents & (POLLHUP | POLLERR))) {
            // Nobody holds the slave open (cannot happen while ownSlave_ is open).
            std::this_thread::sleep_for(std::chrono::milliseconds(kIdlePollMs));
            continue;
        }
        if (!frame.empty() && std::chrono::steady_clock::now() - lastByte >= gap) {
            std::vector<std::uint8_t> request;
            request.swap(frame);
            answer(request, line, firstByte, lastByte);
        }
    }
    waitUntilRead(kDrainLimit);
    closeAll();
    running_ = false;
}

void PtyDevice::answer(const std::vector<std::uint8_t>& request, const LineSettings& line,
                       std::chrono::steady_clock::time_point requestStart,
                       std::chrono::steady_clock::time_point requestEnd) {
    DeviceAnswer reply;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        const Micros now = std::chrono::duration_cast<Micros>(requestEnd - started_);
        reply = device_.receive(request, line, now,
                                std::chrono::duration_cast<Micros>(requestStart - started_));
        if (meter_ != nullptr) {
            char reading[32];
            std::snprintf(reading, sizeof reading, "%.3f", device_.outputMilliamps(now));
            if (reading != lastMeterReading_) {
                lastMeterReading_ = reading;
                *meter_ << "output " << reading << " mA" << std::endl;
            }
        }
    }
    // Each byte goes into the master when its last bit would have crossed the line.
    for (const TimedByte& byte : reply.bytes) {
        if (stopping_) {
            break;  // a long answer (a streaming line) does not hold up the end
        }
        std::this_thread::sleep_until(requestEnd + byte.after);
        const ssize_t wrote = ::write(master_, &byte.value, 1);
        if (wrote != 1) {
            break;
        }
    }
    if (reply.hangUp) {
        // The adapter is pulled out: the slave goes away and the program's port hangs up.
        waitUntilRead(kDrainLimit);
        closeAll();
    }
}

}  // namespace kelvane::sim
