// kelvane-bench: runs each sequence of the program against the simulated transmitter
// on a pseudo-terminal at 4800 baud, in real time, several times, and prints one
// table: median and range of the time taken, the sequence's floor and their ratio.
// The floor is computed from the sequence's own exchange: every byte sent and
// received at 10 bits a byte, every collection's 100 ms of silence, and the timers
// the sequence waits for. Then the memory of 8 hours of measurement polling on the
// in-memory link, and the output trim against a meter. Prints Markdown, for
// docs/performance.md. `kelvane-bench meter-trim` prints the trim's table alone.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "bench/meter_trim_bench.h"
#include "device/probe.h"
#include "link/in_memory_port.h"
#include "link/link.h"
#include "platform/linux/posix_serial_port.h"
#include "sim/in_memory_device.h"
#include "sim/pty_device.h"
#include "sim/transmitter.h"
#include "transmitter/tform2.h"

using namespace kelvane;
using Clock = std::chrono::steady_clock;

namespace {

// The exchange of one run, for its floor: line time of every byte, the silences.
class FloorCounter final : public LinkObserver {
  public:
    void requestSent(const std::array<std::uint8_t, 8>& frame, const LineSettings& line,
                     Micros) override {
        floor += Micros(characterTimeMicros(line) * static_cast<long long>(frame.size()));
    }
    void replyCollected(const std::vector<std::uint8_t>& bytes, const LineSettings& line,
                        Micros) override {
        floor +=
            Micros(characterTimeMicros(line) * static_cast<long long>(bytes.size())) + kReadTimeout;
    }
    Micros floor{0};
};

struct Row {
    std::string name;
    std::vector<double> seconds;
    double floor = 0;
    double goal = 1.03;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// CPU time this process has used (user and system, every thread), in seconds.
double cpuSeconds() {
    std::ifstream stat("/proc/self/stat");
    std::string field;
    for (int i = 1; i <= 13 && stat >> field; ++i) {
    }
    long long user = 0;
    long long system = 0;
    stat >> user >> system;
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

long residentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kb = 0;
            status >> kb;
            return kb;
        }
        status.ignore(1 << 16, '\n');
    }
    return 0;
}

// One simulated transmitter on a pseudo-terminal and the program's link to it.
struct Bench {
    sim::Transmitter device{sim::DeviceSettings{2, 5, 200001}};
    sim::PtyDevice pty{device};
    PosixSerialPort port;
    RecordingDialogs dialogs;
    Link link{port, dialogs};
    ProgramState state;
    FloorCounter counter;
    std::unique_ptr<TForm2> screen;

    explicit Bench(int firmware = 5)
        : device(sim::DeviceSettings{2, static_cast<std::uint8_t>(firmware), 200001}) {
        std::string error;
        if (!pty.start(error)) {
            std::fprintf(stderr, "kelvane-bench: %s\n", error.c_str());
            std::exit(1);
        }
        link.setDeviceResolver([this](const std::string&) { return pty.slavePath(); });
        link.OpenPort(0, 0);
        link.setObserver(&counter);
        state.deviceAddress = 1;
        state.portNumber = 1;
        state.languageId = kLanguageEnglish;
        state.modelCode = 2;
        state.firmwareVersionIndex = static_cast<std::int16_t>(firmware);
        screen = std::make_unique<TForm2>(link, state, dialogs, ScreenHooks{});
    }
    const TForm2Design& ui() const { return screen->design(); }
    // Runs the event loop, as on screen, until `done`.
    void until(const std::function<bool()>& done) {
        while (!done()) {
            QEventLoop loop;
            QTimer::singleShot(1, &loop, &QEventLoop::quit);
            loop.exec();
        }
    }
    bool idle() const {
        for (const QTimer* t :
             {ui().Timer1, ui().Timer2, ui().Timer3, ui().Timer4, ui().Timer5, ui().Timer6}) {
            if (t->isActive()) {
                return false;
            }
        }
        return true;
    }
    void read() {
        screen->BtnP1Click();
        until([this] { return idle(); });
    }
};

// Times `run` over `runs` fresh benches; the floor is the exchange's plus `waits`.
Row measure(const std::string& name, int runs, Micros waits,
            const std::function<void(Bench&)>& prepare, const std::function<void(Bench&)>& run,
            int firmware = 5) {
    Row row{name, {}, 0};
    for (int i = 0; i < runs; ++i) {
        Bench bench(firmware);
        prepare(bench);
        bench.counter.floor = Micros(0);
        const auto start = Clock::now();
        run(bench);
        const double taken = std::chrono::duration<double>(Clock::now() - start).count();
        row.seconds.push_back(taken);
        row.floor = std::chrono::duration<double>(bench.counter.floor + waits).count();
    }
    return row;
}

// How kelvane-cli talks and how the simulator's line behaves in a cli row.
struct CliLine {
    bool screenPace = true;  // --pace screen; otherwise the line pace
    bool lineTime = false;   // kelvane-sim --line-time
};

Row measureCli(const std::string& name, const std::string& arguments, int runs, Micros waits,
               double goal, CliLine how = {}) {
    Row row{name, {}, 0, goal};
    for (int i = 0; i < runs; ++i) {
        sim::Transmitter device;
        sim::PtyDevice pty{device};
        pty.setLineTime(how.lineTime);
        std::string error;
        pty.start(error);
        const std::string command = std::string(KELVANE_CLI_PATH) + " --port " + pty.slavePath() +
                                    (how.screenPace ? " --pace screen" : "") +
                                    " --log /tmp/kelvane-bench-log.txt " + arguments +
                                    " >/dev/null 2>&1";
        std::remove("/tmp/kelvane-bench-log.txt");
        const auto start = Clock::now();
        const int status = std::system(command.c_str());
        row.seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
        if (status != 0) {
            std::fprintf(stderr, "kelvane-bench: %s failed\n", command.c_str());
        }
        // The floor from the traffic the program logged: bytes and, on the screen pace,
        // silences; on the line pace the Modbus gap before each request and the device's
        // turnaround before each reply.
        std::ifstream log("/tmp/kelvane-bench-log.txt");
        std::string line;
        double floor = std::chrono::duration<double>(waits).count();
        const double gap =
            how.screenPace ? 0.0 : std::chrono::duration<double>(interFrameGap({})).count();
        while (std::getline(log, line)) {
            const bool request = line.find("request") != std::string::npos;
            const auto hex = line.find(request ? "request  " : "reply    ");
            if (hex == std::string::npos) {
                continue;
            }
            const std::string bytes = line.substr(hex + 9, line.find("  (", hex + 9) - hex - 9);
            const double count = bytes.empty() ? 0 : (bytes.size() + 1) / 3.0;
            const double afterReply =
                how.screenPace
                    ? 0.1
                    : (count > 0 ? std::chrono::duration<double>(sim::kReplyDelay).count() : 0.0);
            floor += count * 10.0 / 4800.0 + (request ? gap : afterReply);
        }
        row.floor = floor;
    }
    return row;
}

double secondsOf(const std::string& command) {
    const auto start = Clock::now();
    if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) {
        std::fprintf(stderr, "kelvane-bench: %s failed\n", command.c_str());
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// kelvane-cli for a production line: a read against a generic Modbus master (mbpoll,
// libmodbus) reading the same two blocks, and four transmitters written at once
// against one.
void lineComparisons(int runs) {
    std::printf(
        "\n| production line | kelvane-cli median (s) | compared with (s) | ratio | goal |\n");
    std::printf("|---|---|---|---|---|\n");
    {
        sim::Transmitter device;
        sim::PtyDevice pty{device};
        std::string error;
        pty.start(error);
        const std::string port = pty.slavePath();
        std::vector<double> ours;
        std::vector<double> theirs;
        for (int i = 0; i < runs; ++i) {
            ours.push_back(secondsOf(std::string(KELVANE_CLI_PATH) + " --port " + port + " read"));
            const std::string mbpoll = "mbpoll -m rtu -a 1 -b 4800 -P none -1 -q ";
            theirs.push_back(secondsOf(mbpoll + "-t 3 -r 7937 -c 4 " + port) +
                             secondsOf(mbpoll + "-t 4 -r 1 -c 9 " + port));
        }
        std::printf(
            "| read against mbpoll's two reads of the same blocks | %.3f | %.3f | %.2f | "
            "at most 1.0 |\n",
            median(ours), median(theirs), median(ours) / median(theirs));
    }
    {
        std::vector<std::unique_ptr<sim::Transmitter>> devices;
        std::vector<std::unique_ptr<sim::PtyDevice>> ptys;
        std::string four;
        for (int i = 0; i < 4; ++i) {
            devices.push_back(std::make_unique<sim::Transmitter>());
            ptys.push_back(std::make_unique<sim::PtyDevice>(*devices.back()));
            ptys.back()->setLineTime(true);
            std::string error;
            ptys.back()->start(error);
            four += " --port " + ptys.back()->slavePath();
        }
        std::vector<double> one;
        std::vector<double> all;
        const std::string write = " write /tmp/kelvane-bench.json";
        for (int i = 0; i < runs; ++i) {
            one.push_back(secondsOf(std::string(KELVANE_CLI_PATH) + " --port " +
                                    ptys.front()->slavePath() + write));
            all.push_back(secondsOf(std::string(KELVANE_CLI_PATH) + four + write));
        }
        std::printf(
            "| four transmitters written at once against one (throughput) | %.3f | %.3f | "
            "%.2f | at least 3.6 |\n",
            median(all), median(one), 4.0 * median(one) / median(all));
    }
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc > 1 && std::string(argv[1]) == "meter-trim") {
        bench::meterTrimComparison();  // the part that runs on the virtual clock alone
        return 0;
    }
    const int runs = 5;
    std::vector<Row> rows;
    const auto none = [](Bench&) {};
    const auto probe = [](Bench& b) {
        ProbeSteps steps;
        steps.getSerialN = [&b](std::int16_t address) { readIdentity(b.link, b.state, address); };
        steps.selectBaudLine = [](int) {};
        runProbe(b.link, b.state, steps);
    };

    rows.push_back(measure("Probe, transmitter answering", runs, Micros(0), none, probe));
    rows.push_back(measure(
        "Probe, silent device (four recovery passes)", 3, Micros(0),
        [](Bench& b) { b.device.setFault(sim::Fault::NoReply); }, probe));
    rows.push_back(measure("Read From Device to Read Success", runs, Micros(1'000'000), none,
                           [](Bench& b) { b.read(); }));
    const auto prepareWrite = [](Bench& b) {
        b.read();
        b.ui().Edi4->setText("900");
    };
    const auto write = [](Bench& b) {
        b.screen->BtnP2Click();
        b.until([&b] { return b.idle(); });
    };
    rows.push_back(measure("Write To Device to Write Success (store check, V05)", runs,
                           Micros(50'000 + 2'000'000), prepareWrite, write));
    rows.push_back(measure("Write To Device to Write Success (no store check, V04)", runs,
                           Micros(50'000), prepareWrite, write, 4));
    rows.push_back(measure(
        "Measurement: one polling period", runs, Micros(0),
        [](Bench& b) {
            b.read();
            b.screen->Btn71Click();
            b.until([&b] { return b.ui().PV1_Edit->text().size() > 0; });
        },
        [](Bench& b) {
            const QString before = b.ui().PV1_Edit->text();
            int ticks = 0;
            QObject::connect(b.ui().Timer1, &QTimer::timeout, [&ticks] { ++ticks; });
            b.until([&ticks] { return ticks >= 1; });
            (void)before;
        }));
    // One period is the timer's 500 ms; the step's exchange runs inside it.
    rows.back().floor = 0.5;
    for (const auto& [name, start] : std::vector<std::pair<std::string, void (TForm2::*)()>>{
             {"Calibration Start, RTD LO (with input preparation)", &TForm2::Btn11Click},
             {"Calibration Start, RTD HI", &TForm2::Btn12Click},
             {"Calibration Start, T/C LO", &TForm2::Btn31Click},
             {"Calibration Start, voltage LO", &TForm2::Btn21Click},
             {"Calibration Start, current HI", &TForm2::Button10Click},
             {"Calibration Start, 0 mV zero", &TForm2::Button2Click}}) {
        rows.push_back(measure(
            name, runs, Micros(0), [](Bench& b) { b.read(); },
            [start = start](Bench& b) { (b.screen.get()->*start)(); }));
    }
    rows.push_back(measure(
        "Load Serial Number", runs, Micros(0), [](Bench& b) { b.read(); },
        [](Bench& b) {
            b.ui().Edit1->setText("12345678");
            b.screen->Button1Click();
        }));
    rows.push_back(
        measureCli("kelvane-cli identify (--pace screen)", "identify", runs, Micros(0), 1.5));
    rows.push_back(measureCli("kelvane-cli read (--pace screen)", "read", runs, Micros(0), 1.5));
    {
        sim::Transmitter device;
        sim::PtyDevice pty{device};
        std::string error;
        pty.start(error);
        std::system((std::string(KELVANE_CLI_PATH) + " --port " + pty.slavePath() +
                     " read -o /tmp/kelvane-bench.json >/dev/null 2>&1")
                        .c_str());
    }
    rows.push_back(measureCli("kelvane-cli write (store check, --pace screen)",
                              "write /tmp/kelvane-bench.json", runs, Micros(2'000'000), 1.5));
    // The line pace against the line's physical limit: kelvane-sim takes each byte's line
    // time as a real line does; the floor is the bytes' line time and the device's
    // turnaround (and the 2 s the device takes to store).
    const CliLine realLine{false, true};
    rows.push_back(measureCli("kelvane-cli read (line pace, --line-time)", "read", runs, Micros(0),
                              1.2, realLine));
    rows.push_back(measureCli("kelvane-cli write (line pace, --line-time)",
                              "write /tmp/kelvane-bench.json", runs, Micros(2'000'000), 1.2,
                              realLine));

    std::printf("| sequence | median (s) | min-max (s) | floor (s) | ratio | goal |\n");
    std::printf("|---|---|---|---|---|---|\n");
    for (const Row& row : rows) {
        const auto [low, high] = std::minmax_element(row.seconds.begin(), row.seconds.end());
        const double m = median(row.seconds);
        std::printf("| %s | %.3f | %.3f-%.3f | %.3f | %.3f | %.2f |\n", row.name.c_str(), m, *low,
                    *high, row.floor, m / row.floor, row.goal);
    }

    lineComparisons(runs);
    bench::meterTrimComparison();

    // CPU share over 60 s: the screen idle after a read, then measurement polling; the
    // simulated transmitter's thread is in the same process and counted too.
    {
        Bench bench;
        bench.read();
        const auto share = [&bench](const char* what) {
            const double cpuBefore = cpuSeconds();
            const auto start = Clock::now();
            // The event loop as the program runs it: sleeping until the next event.
            QEventLoop loop;
            QTimer::singleShot(60'000, &loop, &QEventLoop::quit);
            loop.exec();
            const double wall = std::chrono::duration<double>(Clock::now() - start).count();
            std::printf("%s: %.2f %% of one core over %.0f s\n", what,
                        100.0 * (cpuSeconds() - cpuBefore) / wall, wall);
        };
        std::printf("\n");
        share("CPU, transmitter screen idle");
        bench.screen->Btn71Click();
        share("CPU, measurement polling");
        bench.screen->Btn72Click();
    }

    // Memory over 8 hours of measurement polling on the in-memory link, one step every
    // 500 ms of virtual time, with the trend window open: what it keeps stays at ten
    // minutes.
    {
        VirtualClock clock;
        InMemoryPort port{clock};
        sim::Transmitter device;
        sim::InMemoryDevice peer{device};
        port.attach("COM1", peer);
        RecordingDialogs dialogs;
        Link link{port, dialogs};
        link.OpenPort(0, 0);
        ProgramState state;
        state.deviceAddress = 1;
        state.modelCode = 2;
        TForm2 screen(link, state, dialogs, ScreenHooks{});
        screen.BtnP1Click();
        screen.Timer2Timer();
        screen.MeasuringValueTrendClick();
        screen.Btn71Click();
        constexpr int kStepsPerHour = 2 * 3600;
        const auto step = [&] {
            clock.advance(std::chrono::milliseconds(500));
            screen.Timer1Timer();
        };
        // The first ten minutes fill the trend; from then on it keeps as many as it drops.
        for (int i = 0; i < kStepsPerHour / 6; ++i) {
            step();
        }
        const long before = residentKilobytes();
        for (int i = 0; i < 8 * kStepsPerHour; ++i) {
            step();
        }
        const long after = residentKilobytes();
        std::printf(
            "\nResident memory around 8 hours of measurement polling (57,600 steps, the trend "
            "window open) on the in-memory link: %ld kB after the first ten minutes, %ld kB "
            "after 8 hours (%+ld kB); the trend holds %zu samples.\n",
            before, after, after - before, screen.trend()->samples().size());
    }
    return 0;
}
