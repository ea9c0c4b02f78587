#include "cli/transmitter_session.h"

#include <chrono>
#include <ctime>

#include "device/extended.h"
#include "device/identity_rules.h"
#include "device/input_rules.h"
#include "device/measurement_rules.h"
#include "device/number_text.h"
#include "device/register_map.h"
#include "device/write_rules.h"
#include "link/registers.h"
#include "link/traffic_log.h"

namespace kelvane::cli {

namespace {

constexpr std::int16_t kAddress = regmap::kDeviceAddress;
// The device stores the configuration before it reports: the screen waits as long.
constexpr Micros kStoreWait{2'000'000};

std::string hexFrame(std::int16_t function, std::int16_t field1, std::int16_t field2) {
    const auto frame = requestFrame(kAddress, function, field1, field2);
    return hexBytes({frame.begin(), frame.end()});
}

std::string isoTimeNow() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &seconds);
#else
    gmtime_r(&seconds, &utc);
#endif
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
    char withMillis[48];
    std::snprintf(withMillis, sizeof withMillis, "%s.%03dZ", text, static_cast<int>(millis));
    return withMillis;
}

// The Modbus exception codes a device may answer with.
const char* exceptionName(int code) {
    switch (code) {
        case 1:
            return "illegal function";
        case 2:
            return "illegal data address";
        case 3:
            return "illegal data value";
        case 4:
            return "slave device failure";
        case 5:
            return "acknowledge";
        case 6:
            return "slave device busy";
        default:
            return "unknown code";
    }
}

}  // namespace

std::optional<std::string> TransmitterSession::exceptionReply() const {
    // Address, function with its high bit set, the code and the CRC of those three.
    if (link_.receivedCount() < 5 || (link_.response(1) & 0x80) == 0 || !link_.ResponseCrcOk(3)) {
        return std::nullopt;
    }
    const int code = link_.response(2);
    return "Modbus exception " + std::to_string(code) + " (" + exceptionName(code) + ")";
}

TransmitterSession::TransmitterSession(Link& link, std::string deviceName, std::ostream& out,
                                       std::ostream& err, Pause pause, Clock now)
    : link_(link),
      deviceName_(std::move(deviceName)),
      out_(out),
      err_(err),
      pause_(std::move(pause)),
      now_(std::move(now)) {}

bool TransmitterSession::replyFailed(regmap::ReplyCheck check) {
    const std::string prefix = "kelvane-cli: ";
    if (const auto exception = exceptionReply()) {
        err_ << prefix << "the device on " << deviceName_ << " answered with " << *exception
             << "\n";
        return false;
    }
    switch (check) {
        case regmap::ReplyCheck::NoReply:
            err_ << prefix << "no reply from the device on " << deviceName_ << "\n";
            break;
        case regmap::ReplyCheck::BadCrc:
            err_ << prefix << "the reply from the device on " << deviceName_
                 << " failed its CRC check (" << link_.receivedCount()
                 << " bytes: noise on the line, or another line speed)\n";
            break;
        case regmap::ReplyCheck::Mismatch:
        case regmap::ReplyCheck::Good:
            err_ << prefix << "the reply on " << deviceName_
                 << " was not an answer to this request (address " << int(link_.response(0))
                 << ", function " << int(link_.response(1)) << ")\n";
            break;
    }
    return false;
}

bool TransmitterSession::noReply() {
    return replyFailed(link_.receivedCount() == 0 ? regmap::ReplyCheck::NoReply
                                                  : regmap::ReplyCheck::BadCrc);
}

std::optional<Identity> TransmitterSession::identify() {
    const regmap::ReplyCheck check = regmap::readIdentityBlock(link_, kAddress);
    if (check != regmap::ReplyCheck::Good) {
        replyFailed(check);
        return std::nullopt;
    }
    const auto accepted = acceptIdentity(link_.response(3), link_.response(4));
    if (!accepted) {
        err_ << "kelvane-cli: the device on " << deviceName_
             << " is not one of our transmitters (model code " << int(link_.response(3)) << ")\n";
        return std::nullopt;
    }
    identity_ = Identity{accepted->modelCode, accepted->firmwareIndex, link_.RegisterPair(2)};
    return identity_;
}

std::optional<Configuration> TransmitterSession::readConfiguration() {
    regmap::requestConfiguration(link_, kAddress);
    // No timer here: the reply is taken as soon as the line falls silent.
    link_.CollectResponse();
    if (!link_.ResponseCrcOk(regmap::kConfigurationCrcOffset)) {
        noReply();
        return std::nullopt;
    }
    return decodeConfiguration(regmap::configurationRegisters(link_));
}

std::optional<ConfigurationFile> TransmitterSession::read() {
    const auto identity = identify();
    if (!identity) {
        return std::nullopt;
    }
    const auto configuration = readConfiguration();
    if (!configuration) {
        return std::nullopt;
    }
    return ConfigurationFile{*configuration, identity, std::nullopt};
}

int TransmitterSession::write(const Configuration& wanted, bool dryRun,
                              const std::optional<Identity>& madeOn) {
    if (const auto problem = validationProblem(wanted)) {
        err_ << "kelvane-cli: " << describe(*problem) << "\n";
        return kBadInput;
    }
    Configuration c = wanted;
    if (Extended::fromText(c.upper) < Extended::fromText(c.lower)) {
        std::swap(c.lower, c.upper);  // as the screen swaps reversed limits
    }
    const WriteScales scales = writeScales(c.inputType);
    std::vector<std::pair<const ConfigurationWrite*, std::int16_t>> plan;
    for (const ConfigurationWrite& write : kConfigurationWrites) {
        std::optional<std::int16_t> value;
        switch (write.source) {
            case WriteSource::LowerLimit:
                value = scaledRegisterValue(c.lower, scales.range);
                break;
            case WriteSource::UpperLimit:
                value = scaledRegisterValue(c.upper, scales.range);
                break;
            case WriteSource::Offset:
                value = scaledRegisterValue(c.offset, scales.offset);
                break;
            case WriteSource::Unit:
                value = static_cast<std::int16_t>(c.unit);
                break;
            case WriteSource::OutputDirection:
                value = static_cast<std::int16_t>(c.outputDirection);
                break;
            case WriteSource::BreakSignal:
                value = static_cast<std::int16_t>(c.breakSignal);
                break;
            case WriteSource::InputType:
                value = static_cast<std::int16_t>(c.inputType);
                break;
        }
        if (!value) {
            err_ << "kelvane-cli: a value does not fit its register\n";
            return kBadInput;
        }
        plan.emplace_back(&write, *value);
    }
    if (dryRun) {
        for (const auto& [write, value] : plan) {
            out_ << hexFrame(regmap::fn(write->function), regmap::address(write->reg), value)
                 << "\n";
        }
        out_ << hexFrame(regmap::fn(FunctionCode::ReadInput),
                         regmap::address(regmap::Register::StoreStatus), 1)
             << "  (store check, firmware above V04)\n";
        return kSuccess;
    }
    const auto identity = identify();
    if (!identity) {
        return kDeviceFailed;
    }
    // Neither another model's configuration nor choices the screen does not offer on
    // this device are written.
    if (const auto refused = modelMismatch(madeOn, identity->modelCode)) {
        err_ << "kelvane-cli: " << describe(*refused) << "\n";
        return kBadInput;
    }
    if (const auto refused = choiceNotOffered(c, identity->modelCode, identity->firmwareIndex)) {
        err_ << "kelvane-cli: " << describe(*refused) << "\n";
        return kBadInput;
    }
    for (const auto& [write, value] : plan) {
        if (!link_.ConfirmedWrite(regmap::fn(write->function), regmap::address(write->reg), value,
                                  kAddress)) {
            const auto exception = exceptionReply();
            err_ << "kelvane-cli: the device on " << deviceName_
                 << " did not confirm the write of register " << regmap::address(write->reg)
                 << (exception ? ": answered with " + *exception : "") << "\n";
            return kDeviceFailed;
        }
    }
    if (identity->firmwareIndex > regmap::kLastFirmwareWithoutStoreCheck) {
        if (const int status = storeCheck(); status != kSuccess) {
            return status;
        }
    }
    out_ << "Write Success\n";
    return kSuccess;
}

int TransmitterSession::storeCheck() {
    const std::string device = "the device on " + deviceName_;
    // Until the device has had its time to store, its status may still report the
    // previous store: a check made sooner could pass a store that failed.
    if (!pause_(kStoreWait)) {
        err_ << "kelvane-cli: the write to " << device
             << " was interrupted during the store wait: the store was not checked, so "
                "whether the device stored the configuration is not known\n";
        return kInterrupted;
    }
    switch (regmap::checkConfigurationStored(link_, kAddress)) {
        case regmap::StoreCheck::Stored:
            return kSuccess;
        case regmap::StoreCheck::ReportedFailure:
            err_ << "kelvane-cli: " << device
                 << " reported that it did not store the configuration (Write Memory Fail)\n";
            break;
        case regmap::StoreCheck::NoReply:
            err_ << "kelvane-cli: " << device
                 << " stopped answering during the store check: whether it stored the "
                    "configuration is not known (Write Memory Fail)\n";
            break;
        case regmap::StoreCheck::Unreadable:
            err_ << "kelvane-cli: the answer of " << device
                 << " to the store check could not be read (" << link_.receivedCount()
                 << " bytes failing the reply's checks): whether it stored the configuration "
                    "is not known (Write Memory Fail)\n";
            break;
    }
    return kDeviceFailed;
}

int TransmitterSession::diff(const Configuration& wanted) {
    const auto device = read();
    if (!device) {
        return kDeviceFailed;
    }
    const std::vector<FileProblem> differences =
        configurationDifferences(device->configuration, wanted);
    for (const FileProblem& difference : differences) {
        out_ << describe(difference) << "\n";
    }
    return differences.empty() ? kSuccess : kDeviceFailed;
}

int TransmitterSession::measure(int count, Micros interval, const std::atomic<bool>& stop) {
    const auto device = read();
    if (!device) {
        return kDeviceFailed;
    }
    const Configuration& c = device->configuration;
    link_.Drain();
    link_.ConfirmedWrite(regmap::fn(FunctionCode::WriteAnyValue),
                         regmap::address(regmap::Register::Command),
                         regmap::code(regmap::Command::Measure), kAddress);
    if (!csvPortColumn_) {
        out_ << "time,raw,value,unit\n";
    }
    int shown = 0;
    Micros stepStart = now_();
    for (int step = 0; (count == 0 || step < count) && !stop; ++step) {
        if (step > 0) {
            // One value every interval: the exchange's own time counts toward it.
            const Micros next = stepStart + interval;
            if (next > now_()) {
                pause_(next - now_());
            }
            stepStart = next;
        }
        if (!regmap::requestProcessValue(link_, kAddress)) {
            // The adapter was pulled out or the port failed: no later request can work.
            err_ << "kelvane-cli: the port " << deviceName_
                 << " failed (was the adapter pulled out?); measurement stopped after " << shown
                 << " values\n";
            return kDeviceFailed;
        }
        link_.CollectResponse();
        if (!link_.ResponseCrcOk(regmap::kProcessValueCrcOffset)) {
            noReply();  // a device silent for a while keeps being asked, as the screen does
            continue;
        }
        const std::int16_t raw = link_.SignedRegister(0);
        out_ << isoTimeNow() << "," << raw << "," << processValueTexts(c.inputType, raw).calibration
             << "," << unitLabelOf(c) << "\n";
        out_.flush();
        ++shown;
    }
    if (count > 0 && shown < count && !stop) {
        err_ << "kelvane-cli: " << shown << " of " << count << " values came from the device on "
             << deviceName_ << "\n";
        return kDeviceFailed;
    }
    return shown > 0 ? kSuccess : kDeviceFailed;
}

bool TransmitterSession::normalOutput() {
    if (!link_.ConfirmedWrite(regmap::fn(FunctionCode::WriteRegister),
                              regmap::address(regmap::Register::Command),
                              regmap::code(regmap::Command::NormalOutput), kAddress)) {
        return noReply();
    }
    return true;
}

bool TransmitterSession::sendTrimWrite(regmap::Register reg, std::int16_t value) {
    link_.SendRequest(kAddress, regmap::fn(FunctionCode::WriteAnyValue), regmap::address(reg),
                      value);
    link_.CollectResponse();
    return link_.EchoOk() || noReply();
}

int TransmitterSession::trim(std::optional<TrimPoint> point, std::optional<int> count) {
    if (!point) {
        if (!normalOutput()) {
            return kDeviceFailed;
        }
        out_ << "normal output\n";
        return kSuccess;
    }
    if (count && (*count < kLowestTrimCount || *count > kHighestTrimCount)) {
        err_ << "kelvane-cli: --count: " << *count << " is outside 0 … 32767\n";
        return kBadInput;
    }
    if (!count) {
        const auto device = read();
        if (!device) {
            return kDeviceFailed;
        }
        count = *point == TrimPoint::FourMilliamp ? device->configuration.trim4mA
                                                  : device->configuration.trim20mA;
    }
    // Count, then command, each sent once without a drain, as the screen chooses a point.
    const TrimPointRegisters registers = trimRegisters(*point);
    if (!sendTrimWrite(registers.count, static_cast<std::int16_t>(*count)) ||
        !sendTrimWrite(regmap::Register::Command, regmap::code(registers.command))) {
        return kDeviceFailed;
    }
    out_ << (*point == TrimPoint::FourMilliamp ? "4 mA" : "20mA") << " point, count " << *count
         << "\n";
    return kSuccess;
}

int TransmitterSession::trimWithMeter(TrimPoint point, double tolerance, int maxReadings,
                                      std::istream& readings) {
    const auto device = read();
    if (!device) {
        return kDeviceFailed;
    }
    const Configuration& found = device->configuration;
    const int asFound = point == TrimPoint::FourMilliamp ? found.trim4mA : found.trim20mA;
    const regmap::Register countRegister = trimRegisters(point).count;
    if (trim(point, asFound) != kSuccess) {
        return kDeviceFailed;
    }
    // Whatever happens next, the output goes back to normal; on a failure with the
    // count as found.
    const auto finish = [&](int status, bool restore) {
        if (restore && !sendTrimWrite(countRegister, static_cast<std::int16_t>(asFound))) {
            status = kDeviceFailed;
        } else if (restore) {
            out_ << "count " << asFound << " (as found) written back\n";
        }
        if (!normalOutput()) {
            return kDeviceFailed;
        }
        out_ << "normal output\n";
        return status;
    };
    std::vector<MeterReading> taken;
    int count = asFound;
    while (static_cast<int>(taken.size()) < maxReadings) {
        err_ << "the meter's reading at count " << count << ", mA?" << std::endl;
        std::string line;
        if (!std::getline(readings, line)) {
            err_ << "kelvane-cli: no reading (end of input)\n";
            return finish(kBadInput, true);
        }
        const std::size_t first = line.find_first_not_of(" \t\r");
        line = first == std::string::npos
                   ? std::string()
                   : line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
        double reading = 0.0;
        try {
            reading = textToFloat(line);
        } catch (const ConversionError&) {
            err_ << "kelvane-cli: '" << line << "' is not a reading in mA\n";
            return finish(kBadInput, true);
        }
        out_ << "count " << count << "  reading " << formatFixed(reading, 3) << " mA  error "
             << (reading >= targetMilliamps(point) ? "+" : "")
             << formatFixed(reading - targetMilliamps(point), 3) << " mA\n";
        if (withinTolerance(reading, point, tolerance)) {
            out_ << "within " << formatFixed(tolerance, 3) << " mA at count " << count << "\n";
            return finish(kSuccess, false);
        }
        taken.push_back({count, reading});
        const auto next = nextMeterCount(taken, point, found.trim4mA, found.trim20mA);
        if (!next) {
            err_ << "kelvane-cli: a reading of " << line
                 << " mA gives no count within 0 … 32767: check the meter and its range\n";
            return finish(kBadInput, true);
        }
        if (static_cast<int>(taken.size()) == maxReadings) {
            break;
        }
        count = *next;
        if (!sendTrimWrite(countRegister, static_cast<std::int16_t>(count))) {
            return finish(kDeviceFailed, true);
        }
    }
    err_ << "kelvane-cli: " << maxReadings << " readings did not reach "
         << formatFixed(tolerance, 3) << " mA\n";
    return finish(kDeviceFailed, true);
}

}  // namespace kelvane::cli
