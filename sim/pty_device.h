// The simulated transmitter on a pseudo-terminal: the simulator holds the master side
// and the program opens slavePath() as its serial port. A thread of its own reads the
// requests (frames end at a silence), learns the line speed the program set on the
// slave, and writes the Transmitter core's answer at the line's pace. Used by
// kelvane-sim and by the program's --simulate option.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>

#include "link/line_settings.h"
#include "sim/transmitter.h"

namespace kelvane::sim {

class PtyDevice {
  public:
    explicit PtyDevice(Transmitter& device);
    ~PtyDevice();
    PtyDevice(const PtyDevice&) = delete;
    PtyDevice& operator=(const PtyDevice&) = delete;

    // Opens the pseudo-terminal and starts serving; false with a reason when it cannot.
    bool start(std::string& error);
    // Each byte the program writes is seen only after its line time at the line's
    // speed, as on a real line; a pseudo-terminal delivers a frame at once otherwise.
    void setLineTime(bool on) { lineTime_ = on; }
    // Each time the output current changes, a line "output 4.012 mA" goes here, before
    // the reply that follows the change is sent.
    void setMeter(std::ostream* meter) { meter_ = meter; }
    // The serial device the program opens, e.g. /dev/pts/3; empty before start().
    std::string slavePath() const { return slavePath_; }
    // Stops serving once the last reply has been read (or after a short grace time),
    // then closes the pseudo-terminal; the slave path goes away. Joins the thread.
    void stop();
    bool running() const { return running_; }

    // The transmitter's output current now, under the serving thread's lock.
    double outputMilliamps();
    // Runs `change` on the core under the lock the serving thread holds (faults, state).
    void withDevice(const std::function<void(Transmitter&)>& change);

  private:
    void serve();
    void answer(const std::vector<std::uint8_t>& request, const LineSettings& line,
                std::chrono::steady_clock::time_point requestStart,
                std::chrono::steady_clock::time_point requestEnd);
    bool waitUntilRead(std::chrono::milliseconds limit);
    void closeAll();
    Micros sinceStart() const;

    Transmitter& device_;
    std::mutex mutex_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    bool lineTime_ = false;
    std::ostream* meter_ = nullptr;
    std::string lastMeterReading_;
    std::atomic<bool> running_{false};
    int master_ = -1;
    int ownSlave_ = -1;  // keeps the pseudo-terminal alive while the program closes and reopens
    std::string slavePath_;
    std::chrono::steady_clock::time_point started_;
};

}  // namespace kelvane::sim
