#include "bench/meter_trim_bench.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "cli/transmitter_session.h"
#include "device/meter_trim.h"
#include "device/register_map.h"
#include "link/in_memory_port.h"
#include "link/link.h"
#include "sim/in_memory_device.h"
#include "sim/transmitter.h"

namespace kelvane::bench {
namespace {

// The meter in the loop, as kelvane-cli's standard input: each time the session asks
// for a reading, the simulated output's current rounded to the meter's three decimals.
class MeterInput final : public std::streambuf {
  public:
    MeterInput(const sim::Transmitter& device, const VirtualClock& clock)
        : device_(device), clock_(clock) {}
    int readings = 0;

  protected:
    int_type underflow() override {
        char text[32];
        const int length =
            std::snprintf(text, sizeof text, "%.3f\n", device_.outputMilliamps(clock_.now()));
        line_.assign(text, static_cast<std::size_t>(length));
        ++readings;
        setg(line_.data(), line_.data(), line_.data() + line_.size());
        return traits_type::to_int_type(line_[0]);
    }

  private:
    const sim::Transmitter& device_;
    const VirtualClock& clock_;
    std::string line_;
};

double seconds(Micros time) {
    return std::chrono::duration<double>(time).count();
}

struct PointResult {
    int readings = 0;
    int clicks = 0;
    double meterSeconds = 0;
    double clickSeconds = 0;
};

// One point of one transmitter on the line pace: the session's trim against the meter,
// and by hand the one-count steps from the reported count until the meter shows the
// point within the tolerance, each step the same single write.
PointResult trimPoint(int dac4mA, int dac20mA, TrimPoint point) {
    sim::DeviceSettings settings;
    settings.dac4mA = dac4mA;
    settings.dac20mA = dac20mA;
    VirtualClock clock;
    InMemoryPort port{clock};
    sim::Transmitter device{settings};
    sim::InMemoryDevice peer{device};
    port.attach("COM1", peer);
    RecordingDialogs dialogs;
    Link link{port, dialogs};
    link.OpenPort(0, 0);
    link.setPace(Pace::Line);
    std::ostringstream out;
    std::ostringstream err;
    cli::TransmitterSession session(
        link, "COM1", out, err,
        [&clock](Micros wait) {
            clock.advance(wait);
            return true;
        },
        [&clock] { return clock.now(); });

    MeterInput meter(device, clock);
    std::istream readings(&meter);
    const Micros started = clock.now();
    if (session.trimWithMeter(point, kMeterTolerance, kMaxMeterReadings, readings) != 0) {
        std::fprintf(stderr, "kelvane-bench: the meter trim failed (DAC %d, %d)\n%s", dac4mA,
                     dac20mA, err.str().c_str());
    }
    PointResult result;
    result.readings = meter.readings;
    result.meterSeconds = seconds(clock.now() - started);

    // One up-down step's write, timed on the same line.
    const Micros before = clock.now();
    const int reported = point == TrimPoint::FourMilliamp ? 6400 : 32000;
    link.SendRequest(1, regmap::fn(FunctionCode::WriteAnyValue),
                     regmap::address(trimRegisters(point).count),
                     static_cast<std::int16_t>(reported));
    link.CollectResponse();
    const double stepSeconds = seconds(clock.now() - before);

    const int direction = device.dacMilliamps(reported) < targetMilliamps(point) ? 1 : -1;
    const auto shown = [&](int count) {
        return std::round(device.dacMilliamps(count) * 1000.0) / 1000.0;
    };
    for (int count = reported; !withinTolerance(shown(count), point, kMeterTolerance);
         count += direction) {
        ++result.clicks;
    }
    // By hand the same read, choice and return to normal; the readings' writes become
    // the clicks'.
    result.clickSeconds =
        result.meterSeconds + (result.clicks - (result.readings - 1)) * stepSeconds;
    return result;
}

template <typename T>
std::pair<T, T> medianAndLargest(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.back()};
}

}  // namespace

void meterTrimComparison() {
    std::mt19937 random(2026);
    std::uniform_int_distribution<int> offset(-300, 300);
    std::printf(
        "\n| trim, 100 transmitters (DAC within ±300 counts), meter with three decimals | "
        "median | largest |\n");
    std::printf("|---|---|---|\n");
    for (const TrimPoint point : {TrimPoint::FourMilliamp, TrimPoint::TwentyMilliamp}) {
        std::vector<int> readings, clicks;
        std::vector<double> meterSeconds, clickSeconds;
        for (int i = 0; i < 100; ++i) {
            const int dac4mA = 6400 + offset(random);
            const int dac20mA = 32000 + offset(random);
            const PointResult result = trimPoint(dac4mA, dac20mA, point);
            readings.push_back(result.readings);
            clicks.push_back(result.clicks);
            meterSeconds.push_back(result.meterSeconds);
            clickSeconds.push_back(result.clickSeconds);
        }
        const char* name = point == TrimPoint::FourMilliamp ? "4 mA" : "20 mA";
        const auto [readingsMedian, readingsMost] = medianAndLargest(readings);
        const auto [clicksMedian, clicksMost] = medianAndLargest(clicks);
        const auto [meterMedian, meterMost] = medianAndLargest(meterSeconds);
        const auto [clickMedian, clickMost] = medianAndLargest(clickSeconds);
        std::printf("| %s: meter readings to ±0.002 mA (goal: median 2, largest 3) | %d | %d |\n",
                    name, readingsMedian, readingsMost);
        std::printf("| %s: up-down clicks by hand | %d | %d |\n", name, clicksMedian, clicksMost);
        std::printf("| %s: line time with the meter (s) | %.2f | %.2f |\n", name, meterMedian,
                    meterMost);
        std::printf("| %s: line time by hand (s) | %.2f | %.2f |\n", name, clickMedian, clickMost);
    }
    std::printf(
        "\nLine time is the exchange on the line pace at 4800 baud: the read, the point's "
        "choice, the writes and the return to normal; the technician's look at the meter "
        "after each reading or click comes on top.\n");
}

}  // namespace kelvane::bench
