#include "sim/transmitter.h"

#include <algorithm>
#include <cmath>

#include "link/crc.h"
#include "link/link.h"
#include "link/registers.h"
#include "sim/input_signal.h"

namespace kelvane::sim {

namespace {

// A factory-fresh transmitter: thermocouple K, degrees Celsius, 0 to 400, no offset,
// 4 mA to 20 mA, downscale on sensor break, trim counts near the DAC's quarter points.
constexpr std::array<std::uint16_t, 9> kFactoryConfiguration = {1, 0, 0, 400, 0, 0, 0, 6400, 32000};

constexpr std::uint16_t kMaxReadCount = 125;  // a Modbus read reply carries at most 125 words
constexpr std::uint8_t kMaxAddress = 247;

// How long the calibration reading takes to settle after a begin code.
constexpr double kSettleSeconds = 1.5;

bool frameCrcOk(const std::vector<std::uint8_t>& frame) {
    const std::size_t body = frame.size() - 2;
    const std::uint16_t crc = crc16Modbus(frame.data(), body);
    return frame[body] == lowByte(crc) && frame[body + 1] == highByte(crc);
}

void appendCrc(std::vector<std::uint8_t>& frame) {
    const std::uint16_t crc = crc16Modbus(frame.data(), frame.size());
    frame.push_back(lowByte(crc));
    frame.push_back(highByte(crc));
}

bool isStoreCode(std::uint16_t code) {
    switch (code) {
        case command::kStoreZero:
        case command::kStoreRtdLow:
        case command::kStoreRtdHigh:
        case command::kStoreTcLow:
        case command::kStoreTcHigh:
        case command::kStoreVoltageLow:
        case command::kStoreVoltageHigh:
        case command::kStoreCurrentLow:
        case command::kStoreCurrentHigh:
            return true;
        default:
            return false;
    }
}

bool inputMatches(CalibrationInput input, std::uint16_t inputType) {
    switch (input) {
        case CalibrationInput::Thermocouple:
            return inputType <= 8;
        case CalibrationInput::Rtd:
            return inputType == 10;
        case CalibrationInput::Voltage:
            return inputType == 11;
        case CalibrationInput::Current:
            return inputType == 12;
        case CalibrationInput::None:
            return false;
    }
    return false;
}

std::int16_t clamp16(double value) {
    return static_cast<std::int16_t>(std::lround(std::fmax(-32768.0, std::fmin(32766.0, value))));
}

}  // namespace

LineSettings lineForBaudCode(std::uint8_t baudCode) {
    static constexpr std::array<int, 4> kBauds = {4800, 9600, 19200, 38400};
    LineSettings line;
    line.baud = kBauds[baudCode < kBauds.size() ? baudCode : 0];
    return line;
}

Transmitter::Transmitter(const DeviceSettings& settings)
    : modelCode_(settings.modelCode),
      firmwareIndex_(settings.firmwareIndex),
      otherModelCode_(settings.otherModelCode),
      seed_(settings.seed),
      serialNumber_(settings.serialNumber),
      pendingSerialHigh_(static_cast<std::uint16_t>(settings.serialNumber >> 16)),
      pendingSerialLow_(static_cast<std::uint16_t>(settings.serialNumber & 0xFFFF)),
      address_(settings.address),
      baudCode_(settings.baudCode <= 3 ? settings.baudCode : 0),
      configuration_(kFactoryConfiguration) {
    dac4mA_ = settings.dac4mA;
    dac20mA_ = settings.dac20mA;
    // Each unit leaves the factory with slightly different calibration coefficients.
    storedCoefficients_ = {static_cast<std::int16_t>(std::lround(8 * noiseAt(seed_, -2))),
                           static_cast<std::int16_t>(10000 + std::lround(40 * noiseAt(seed_, -3))),
                           250};
}

void Transmitter::setFault(Fault fault, bool active) {
    faultFrom_[static_cast<std::size_t>(fault)] =
        active ? std::optional<unsigned>(0) : std::nullopt;
    if (fault == Fault::AdapterPulled && !active) {
        pulledOut_ = false;  // plugged back in
    }
}

void Transmitter::setFaultFromRequest(Fault fault, unsigned requestNumber) {
    faultFrom_[static_cast<std::size_t>(fault)] = requestNumber;
}

void Transmitter::clearFaults() {
    faultFrom_.fill(std::nullopt);
    pulledOut_ = false;
}

bool Transmitter::faultActive(Fault fault) const {
    const auto& from = faultFrom_[static_cast<std::size_t>(fault)];
    return from && requestsHeard_ >= *from;
}

void Transmitter::note(const std::string& text, const LineSettings& line, Micros now) {
    if (listener_) {
        listener_->traffic({TrafficEntry::Kind::Note, {}, line, now, text});
    }
}

DeviceAnswer Transmitter::receive(const std::vector<std::uint8_t>& frame, const LineSettings& line,
                                  Micros now, std::optional<Micros> firstByteAt) {
    ++requestsHeard_;
    if (listener_) {
        listener_->traffic({TrafficEntry::Kind::Request, frame, line, now, {}});
    }
    if (pulledOut_ || faultActive(Fault::AdapterPulled)) {
        pulledOut_ = true;
        note("fault adapter-pulled: the line goes dead", line, now);
        return {{}, true};
    }
    if (faultActive(Fault::StreamingLine)) {
        // Noise with no gap: each byte right after the last, from the end of the noise
        // already on its way, until kStreamLength after this request.
        const Micros byteTime{characterTimeMicros(line)};
        DeviceAnswer stream;
        Micros at = std::max(kReplyDelay, streamUntil_ - now);
        std::uint8_t noise = static_cast<std::uint8_t>(requestsHeard_ * 37);
        for (; at <= kStreamLength; at += byteTime) {
            noise = static_cast<std::uint8_t>(noise * 5 + 17);
            stream.bytes.push_back({noise, at});
        }
        streamUntil_ = std::max(streamUntil_, now + kStreamLength);
        note("fault streaming-line: the line streams noise", line, now);
        return stream;
    }
    if (faultActive(Fault::NoReply)) {
        note("fault no-reply: request not heard", line, now);
        return {};
    }
    // At another speed a real UART sees framing errors and bytes that never form a
    // frame with a valid CRC, so the device hears garbage and stays silent.
    const LineSettings own = lineSettings();
    if (line != own) {
        note("ignored: sent at " + toString(line) + ", the device listens at " + toString(own),
             line, now);
        return {};
    }
    // The reply goes out at the speed in force when the request came, even if the
    // request itself changes the speed.
    const Micros byteTime{characterTimeMicros(own)};
    if (faultActive(Fault::NeedsGap) && lastReplyEnd_) {
        // An RS-485 device still turning its transceiver round misses a request that
        // starts within the Modbus gap after its own reply.
        const Micros began =
            firstByteAt.value_or(now - byteTime * static_cast<long long>(frame.size()));
        if (began - *lastReplyEnd_ < interFrameGap(own)) {
            note("fault needs-gap: request began " +
                     std::to_string((began - *lastReplyEnd_).count()) +
                     " us after the last reply, within the gap: not heard",
                 line, now);
            return {};
        }
    }
    std::vector<std::uint8_t> reply = respond(frame, now);
    if (reply.empty()) {
        return {};
    }
    std::string faults;
    if (faultActive(Fault::BadCrc)) {
        reply[reply.size() - 2] ^= 0x5A;
        reply[reply.size() - 1] ^= 0xA5;
        faults += " bad-crc";
    }
    if (faultActive(Fault::ShortReply)) {
        reply.resize((reply.size() + 1) / 2);
        faults += " short-reply";
    }
    Micros at = kReplyDelay;
    if (faultActive(Fault::LateReply)) {
        at += kFaultSilence;
        faults += " late-reply";
    }
    if (faultActive(Fault::NoiseBeforeReply)) {
        reply.insert(reply.begin(), kNoiseBytes, std::uint8_t{0x00});
        faults += " noise-before-reply";
    }
    const bool gap = faultActive(Fault::GapInReply);
    if (gap) {
        faults += " gap-in-reply";
    }
    DeviceAnswer answer;
    const std::size_t half = reply.size() / 2;
    for (std::size_t i = 0; i < reply.size(); ++i) {
        if (gap && i == half && i > 0) {
            at += kFaultSilence;
        }
        at += byteTime;
        answer.bytes.push_back({reply[i], at});
    }
    lastReplyEnd_ = now + at;
    if (listener_) {
        listener_->traffic({TrafficEntry::Kind::Reply, reply, own,
                            now + answer.bytes.front().after - byteTime,
                            faults.empty() ? std::string() : "fault" + faults});
    }
    return answer;
}

std::vector<std::uint8_t> Transmitter::respond(const std::vector<std::uint8_t>& frame, Micros now) {
    const LineSettings line = lineSettings();
    if (frame.size() < 4 || !frameCrcOk(frame)) {
        note("ignored: not a frame with a valid CRC", line, now);
        return {};
    }
    const std::uint8_t address = frame[0];
    const bool broadcast = address == 0;
    if (!broadcast && address != address_) {
        note("ignored: for address " + std::to_string(address), line, now);
        return {};
    }
    const std::uint8_t function = frame[1];
    std::vector<std::uint8_t> reply;
    if (function < 3 || function > 6) {
        if (!broadcast) {
            reply = {address_, static_cast<std::uint8_t>(function | 0x80),
                     static_cast<std::uint8_t>(ModbusException::IllegalFunction)};
            appendCrc(reply);
        }
    } else if (frame.size() != 8) {
        note("ignored: a request of functions 3 to 6 has 8 bytes", line, now);
        return {};
    } else if (function == 3 || function == 4) {
        if (broadcast) {
            note("ignored: a read cannot be broadcast", line, now);
            return {};
        }
        reply =
            readReply(function, wordFrom(frame[2], frame[3]), wordFrom(frame[4], frame[5]), now);
    } else {
        reply = writeReply(frame, broadcast, now);
    }
    // Address and speed changes take effect after the exchange that carries them.
    if (pendingAddress_) {
        address_ = *pendingAddress_;
        pendingAddress_.reset();
        note("address is now " + std::to_string(address_), line, now);
    }
    if (pendingBaudCode_) {
        baudCode_ = *pendingBaudCode_;
        pendingBaudCode_.reset();
        note("line is now " + toString(lineSettings()), line, now);
    }
    return reply;
}

std::vector<std::uint8_t> Transmitter::readReply(std::uint8_t function, std::uint16_t first,
                                                 std::uint16_t count, Micros now) {
    std::vector<std::uint8_t> reply = {address_, function};
    auto exception = [&](ModbusException code) {
        reply = {address_, static_cast<std::uint8_t>(function | 0x80),
                 static_cast<std::uint8_t>(code)};
        appendCrc(reply);
        return reply;
    };
    if (count == 0 || count > kMaxReadCount) {
        return exception(ModbusException::IllegalDataValue);
    }
    std::vector<std::uint16_t> values;
    for (std::uint32_t number = first; number < static_cast<std::uint32_t>(first) + count;
         ++number) {
        const auto value = number > 0xFFFF ? std::nullopt
                           : function == 3 ? readHolding(static_cast<std::uint16_t>(number))
                                           : readInput(static_cast<std::uint16_t>(number), now);
        if (!value) {
            return exception(ModbusException::IllegalDataAddress);
        }
        values.push_back(*value);
    }
    reply.push_back(static_cast<std::uint8_t>(2 * count));
    for (std::uint16_t value : values) {
        reply.push_back(highByte(value));
        reply.push_back(lowByte(value));
    }
    appendCrc(reply);
    return reply;
}

std::vector<std::uint8_t> Transmitter::writeReply(const std::vector<std::uint8_t>& frame,
                                                  bool broadcast, Micros now) {
    const auto failure = write(wordFrom(frame[2], frame[3]), wordFrom(frame[4], frame[5]), now);
    if (broadcast) {
        note(failure ? "broadcast refused" : "broadcast applied", lineSettings(), now);
        return {};
    }
    if (failure) {
        std::vector<std::uint8_t> reply = {address_, static_cast<std::uint8_t>(frame[1] | 0x80),
                                           static_cast<std::uint8_t>(*failure)};
        appendCrc(reply);
        return reply;
    }
    return frame;  // a single-register write is answered with its own echo
}

std::optional<ModbusException> Transmitter::write(std::uint16_t number, std::uint16_t value,
                                                  Micros now) {
    if (number < configuration_.size()) {
        configuration_[number] = value;  // kept as written; the program checks its values
        // Each write starts the store again; the status keeps what it showed until the
        // last store ends.
        previousStoreResult_ = storeStatus(now);
        storeResult_ = faultActive(Fault::StoreFails) ? 1 : 0;
        configurationWrittenAt_ = now;
        return std::nullopt;
    }
    switch (number) {
        case reg::kCommand:
            runCommand(value, now);
            return std::nullopt;
        case reg::kCalibrationReference:
            reference_ = toSigned16(value);
            return std::nullopt;
        case reg::kAddress:
            if (value < 1 || value > kMaxAddress) {
                return ModbusException::IllegalDataValue;
            }
            pendingAddress_ = static_cast<std::uint8_t>(value);
            return std::nullopt;
        case reg::kBaudCode:
            if (value > 3) {
                return ModbusException::IllegalDataValue;
            }
            pendingBaudCode_ = static_cast<std::uint8_t>(value);
            return std::nullopt;
        case reg::kSerialHigh:
            pendingSerialHigh_ = value;  // takes effect on command 34
            return std::nullopt;
        case reg::kSerialLow:
            pendingSerialLow_ = value;
            return std::nullopt;
        default:
            return ModbusException::IllegalDataAddress;
    }
}

void Transmitter::runCommand(std::uint16_t code, Micros now) {
    lastCommand_ = code;
    switch (code) {
        case command::kOutput4mA:
            outputMode_ = OutputMode::Hold4mA;
            return;
        case command::kOutput20mA:
            outputMode_ = OutputMode::Hold20mA;
            return;
        case command::kNormalOutput:
            outputMode_ = OutputMode::Normal;
            return;
        case command::kMeasure:
            // Measuring takes the output out of a trim point as well.
            calibrationInput_ = CalibrationInput::None;
            outputMode_ = OutputMode::Normal;
            return;
        case command::kLoadSerialNumber:
            serialNumber_ = combine32(pendingSerialHigh_, pendingSerialLow_);
            return;
        case command::kBeginThermocouple:
            calibrationInput_ = CalibrationInput::Thermocouple;
            break;
        case command::kBeginRtd:
            calibrationInput_ = CalibrationInput::Rtd;
            break;
        case command::kBeginVoltage:
            calibrationInput_ = CalibrationInput::Voltage;
            break;
        case command::kBeginCurrent:
            calibrationInput_ = CalibrationInput::Current;
            break;
        default:
            if (isStoreCode(code)) {
                // The point (or the 0 mV zero) is stored: the coefficients shown now
                // become the device's own and the input measures again.
                storedCoefficients_ = {coefficient(0, now), coefficient(1, now),
                                       coefficient(2, now)};
                if (code == command::kStoreZero) {
                    storedCoefficients_[0] = 0;
                }
                calibrationInput_ = CalibrationInput::None;
            }
            return;  // other codes are ignored, as the device ignores unknown commands
    }
    calibrationStart_ = now;  // a begin code: the reading settles from here
}

std::uint16_t Transmitter::storeStatus(Micros now) const {
    if (!configurationWrittenAt_) {
        return faultActive(Fault::StoreFails) ? 1 : 0;
    }
    return now - *configurationWrittenAt_ < kStoreTime ? previousStoreResult_ : storeResult_;
}

std::uint16_t Transmitter::holdingRegister(std::uint16_t number) const {
    return readHolding(number).value_or(0);
}

std::optional<std::uint16_t> Transmitter::readHolding(std::uint16_t number) const {
    if (number < configuration_.size()) {
        return configuration_[number];
    }
    switch (number) {
        case reg::kCommand:
            return lastCommand_;
        case reg::kCalibrationReference:
            return static_cast<std::uint16_t>(reference_);
        case reg::kAddress:
            return address_;
        case reg::kBaudCode:
            return baudCode_;
        default:
            return std::nullopt;
    }
}

std::optional<std::uint16_t> Transmitter::readInput(std::uint16_t number, Micros now) const {
    switch (number) {
        case reg::kProcessValue:
            return static_cast<std::uint16_t>(processValue(now));
        case reg::kCoefficientA0:
            return static_cast<std::uint16_t>(coefficient(0, now));
        case reg::kCoefficientA1:
            return static_cast<std::uint16_t>(coefficient(1, now));
        case reg::kCoefficientA2:
            return static_cast<std::uint16_t>(coefficient(2, now));
        case reg::kStoreStatus:
            return storeStatus(now);
        case reg::kIdentity: {
            const std::uint8_t model =
                faultActive(Fault::OtherModel) ? otherModelCode_ : modelCode_;
            return wordFrom(model, firmwareIndex_);
        }
        case reg::kReserved:
            return 0;
        case reg::kSerialHigh:
            return static_cast<std::uint16_t>(serialNumber_ >> 16);
        case reg::kSerialLow:
            return static_cast<std::uint16_t>(serialNumber_ & 0xFFFF);
        default:
            return std::nullopt;
    }
}

std::int16_t Transmitter::processValue(Micros now) const {
    if (faultActive(Fault::SensorOpen)) {
        return kSensorOpen;
    }
    const std::uint16_t type = configuration_[reg::kInputType];
    const std::uint16_t unit = configuration_[reg::kUnit];
    const auto maximal = maximalProcessRange(type, unit);
    if (!maximal) {
        return kSensorOpen;  // an unknown input type measures nothing
    }
    if (inputMatches(calibrationInput_, type)) {
        // In calibration the input sees the technician's reference signal: whole
        // degrees Celsius, millivolts or microamperes, shown in the input's own scale.
        double value = reference_;
        if (isTemperatureInput(type)) {
            value = (unit == 1 ? value * 1.8 + 32.0 : value) * 10.0;
        }
        value += noiseAt(seed_, now.count() / 250'000);
        return clamp16(std::fmax(maximal->lower, std::fmin(maximal->upper, value)));
    }
    const auto value = simulatedProcessValue(type, unit, toSigned16(configuration_[reg::kRangeLow]),
                                             toSigned16(configuration_[reg::kRangeHigh]),
                                             toSigned16(configuration_[reg::kOffset]), seed_, now);
    return static_cast<std::int16_t>(*value);
}

double Transmitter::dacMilliamps(int count) const {
    if (dac20mA_ == dac4mA_) {
        return 4.0;
    }
    return 4.0 + 16.0 * (count - dac4mA_) / (dac20mA_ - dac4mA_);
}

double Transmitter::outputMilliamps(Micros now) const {
    const int trim4 = toSigned16(configuration_[reg::kTrim4mA]);
    const int trim20 = toSigned16(configuration_[reg::kTrim20mA]);
    switch (outputMode_) {
        case OutputMode::Hold4mA:
            return dacMilliamps(trim4);
        case OutputMode::Hold20mA:
            return dacMilliamps(trim20);
        case OutputMode::Normal:
            break;
    }
    const std::int16_t value = processValue(now);
    if (value == kSensorOpen) {
        switch (configuration_[reg::kBreakSignal]) {
            case 0:
                return kDownscaleMilliamps;
            case 1:
                return kUpscaleMilliamps;
            default:
                return 0.0;  // cut
        }
    }
    // The measuring range in process-value steps; the trim counts are the output's 4 and
    // 20 mA as the device knows them.
    const int steps = processStepsPerRangeStep(configuration_[reg::kInputType]);
    const double low = toSigned16(configuration_[reg::kRangeLow]) * steps;
    const double high = toSigned16(configuration_[reg::kRangeHigh]) * steps;
    double fraction = high == low ? 0.0 : (value - low) / (high - low);
    fraction = std::clamp(fraction, 0.0, 1.0);
    if (configuration_[reg::kOutputDirection] == 1) {
        fraction = 1.0 - fraction;
    }
    return dacMilliamps(static_cast<int>(std::lround(trim4 + fraction * (trim20 - trim4))));
}

std::int16_t Transmitter::coefficient(int index, Micros now) const {
    const double noise =
        noiseAt(seed_ + 7 + static_cast<std::uint32_t>(index), now.count() / 250'000);
    const std::int16_t stored = storedCoefficients_[static_cast<std::size_t>(index)];
    if (calibrationInput_ == CalibrationInput::None) {
        // A0 outside a calibration is the zero reading of the input in microvolts.
        return clamp16(stored + (index == 1 ? 0.0 : noise));
    }
    if (index != 0) {
        // A1 (RTD gain, 1/10000) keeps its value; A2 (cold junction, 0.1 degC) wanders.
        return clamp16(stored + (index == 2 ? 3.0 * noise : 0.0));
    }
    // A0: the converter's reading of the reference: a K thermocouple in 0.01 mV,
    // tenths of an ohm of a PT-100, millivolts or microamperes; it settles after the
    // begin code like a real input filter.
    double target = reference_;
    switch (calibrationInput_) {
        case CalibrationInput::Thermocouple:
            target = reference_ * 4.1;
            break;
        case CalibrationInput::Rtd:
            target = 1000.0 + reference_ * 3.85;
            break;
        default:
            break;
    }
    const double seconds = static_cast<double>((now - calibrationStart_).count()) / 1e6;
    const double settled = 1.0 - std::exp(-std::fmax(0.0, seconds) / kSettleSeconds);
    return clamp16(target * settled + stored + 2.0 * noise);
}

}  // namespace kelvane::sim
