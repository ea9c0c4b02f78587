// The simulated transmitter's core: register map, Modbus RTU slave (functions 3, 4, 5
// and 6), commands, process value, calibration coefficients and named faults. It does
// no I/O: InMemoryDevice (tests) and PtyDevice (kelvane-sim, kelvane --simulate) hand it
// each request with the line setting it came at, and put its timed answer on the line.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "link/in_memory_port.h"
#include "link/line_settings.h"
#include "link/serial_port.h"
#include "link/traffic_log.h"
#include "sim/faults.h"

namespace kelvane::sim {

inline constexpr int kFactoryDac4mA = 6457;
inline constexpr int kFactoryDac20mA = 31917;
// The output under a broken sensor: below 4 mA, above 20 mA, or cut.
inline constexpr double kDownscaleMilliamps = 3.6;
inline constexpr double kUpscaleMilliamps = 21.0;

struct DeviceSettings {
    std::uint8_t modelCode = 2;      // QTR-H
    std::uint8_t firmwareIndex = 5;  // V05
    std::uint32_t serialNumber = 200001;
    std::uint8_t address = 1;
    std::uint8_t baudCode = 0;         // 0 = 4800 … 3 = 38400, like the line-settings table
    std::uint32_t seed = 1;            // seed of the process value's noise
    std::uint8_t otherModelCode = 33;  // reported under Fault::OtherModel: a signal conditioner
    // The DAC counts at which the output is exactly 4.000 and 20.000 mA: a little away
    // from the trim counts the device reports, as on a real device.
    int dac4mA = kFactoryDac4mA;
    int dac20mA = kFactoryDac20mA;
};

// Register numbers on the wire.
namespace reg {
inline constexpr std::uint16_t kInputType = 0;
inline constexpr std::uint16_t kUnit = 1;
inline constexpr std::uint16_t kRangeLow = 2;
inline constexpr std::uint16_t kRangeHigh = 3;
inline constexpr std::uint16_t kOffset = 4;
inline constexpr std::uint16_t kOutputDirection = 5;
inline constexpr std::uint16_t kBreakSignal = 6;
inline constexpr std::uint16_t kTrim4mA = 7;
inline constexpr std::uint16_t kTrim20mA = 8;
inline constexpr std::uint16_t kCommand = 9;
inline constexpr std::uint16_t kCalibrationReference = 10;
inline constexpr std::uint16_t kAddress = 19;
inline constexpr std::uint16_t kBaudCode = 20;
inline constexpr std::uint16_t kProcessValue = 0x1000;
inline constexpr std::uint16_t kCoefficientA0 = 0x1003;
inline constexpr std::uint16_t kCoefficientA1 = 0x1004;
inline constexpr std::uint16_t kCoefficientA2 = 0x1005;
inline constexpr std::uint16_t kStoreStatus = 0x1006;
inline constexpr std::uint16_t kIdentity = 0x1F00;  // model code (high byte), firmware index
inline constexpr std::uint16_t kReserved = 0x1F01;
inline constexpr std::uint16_t kSerialHigh = 0x1F02;
inline constexpr std::uint16_t kSerialLow = 0x1F03;
}  // namespace reg

// Command codes of register 9.
namespace command {
inline constexpr std::uint16_t kStoreZero = 1;
inline constexpr std::uint16_t kStoreRtdLow = 2;
inline constexpr std::uint16_t kStoreRtdHigh = 3;
inline constexpr std::uint16_t kStoreTcLow = 8;
inline constexpr std::uint16_t kStoreTcHigh = 9;
inline constexpr std::uint16_t kStoreVoltageLow = 14;
inline constexpr std::uint16_t kStoreVoltageHigh = 15;
inline constexpr std::uint16_t kStoreCurrentLow = 20;
inline constexpr std::uint16_t kStoreCurrentHigh = 21;
inline constexpr std::uint16_t kOutput4mA = 27;
inline constexpr std::uint16_t kOutput20mA = 28;
inline constexpr std::uint16_t kNormalOutput = 31;
inline constexpr std::uint16_t kLoadSerialNumber = 34;
inline constexpr std::uint16_t kBeginThermocouple = 36;
inline constexpr std::uint16_t kBeginRtd = 37;
inline constexpr std::uint16_t kBeginVoltage = 38;
inline constexpr std::uint16_t kBeginCurrent = 39;
inline constexpr std::uint16_t kMeasure = 40;
}  // namespace command

// Modbus exception codes.
enum class ModbusException : std::uint8_t {
    IllegalFunction = 1,
    IllegalDataAddress = 2,
    IllegalDataValue = 3,
};

enum class OutputMode { Normal, Hold4mA, Hold20mA };
enum class CalibrationInput { None, Thermocouple, Rtd, Voltage, Current };

// What the device puts on the line for one request.
struct DeviceAnswer {
    std::vector<TimedByte> bytes;  // each byte's arrival, counted from the end of the request
    bool hangUp = false;           // the adapter is pulled out: the line goes dead now
};

// The device starts its reply this long after the request, and a late reply or a gap
// inside a reply lasts long enough to pass the master's 100 ms end-of-reply silence.
inline constexpr Micros kReplyDelay{3000};
inline constexpr Micros kFaultSilence{150'000};
// How long the streaming-line fault streams after each request it hears.
inline constexpr Micros kStreamLength{3'000'000};
inline constexpr std::size_t kNoiseBytes = 3;
// A configuration write starts a store that takes this long: until it ends, the store
// status still reports the store before it, as a real device's does.
inline constexpr Micros kStoreTime{1'000'000};

// The device's own line setting for a baud-rate code: 8 data bits, no parity, 1 stop bit.
LineSettings lineForBaudCode(std::uint8_t baudCode);

class Transmitter {
  public:
    explicit Transmitter(const DeviceSettings& settings = {});

    // One request heard on a line set to `line`, ending at `now`: applies it and gives
    // the timed answer (empty when the device stays silent), faults included. A
    // transport that saw the first byte arrive says when; otherwise the request began
    // its own length on the line before `now`.
    DeviceAnswer receive(const std::vector<std::uint8_t>& frame, const LineSettings& line,
                         Micros now, std::optional<Micros> firstByteAt = std::nullopt);

    // The Modbus slave without timing or faults: the reply frame to a request, empty
    // when the device does not answer (broadcast, other address, bad CRC, garbage).
    std::vector<std::uint8_t> respond(const std::vector<std::uint8_t>& frame, Micros now);

    // Faults: active from now on, or from the n-th request heard (counting from 1).
    void setFault(Fault fault, bool active = true);
    void setFaultFromRequest(Fault fault, unsigned requestNumber);
    void clearFaults();
    bool faultActive(Fault fault) const;

    void setTrafficListener(TrafficListener* listener) { listener_ = listener; }

    // The device's state, for tests, logs and the transports.
    std::uint8_t address() const { return address_; }
    std::uint8_t baudCode() const { return baudCode_; }
    LineSettings lineSettings() const { return lineForBaudCode(baudCode_); }
    std::uint32_t serialNumber() const { return serialNumber_; }
    std::uint8_t modelCode() const { return modelCode_; }
    std::uint8_t firmwareIndex() const { return firmwareIndex_; }
    std::uint16_t holdingRegister(std::uint16_t number) const;
    OutputMode outputMode() const { return outputMode_; }
    CalibrationInput calibrationInput() const { return calibrationInput_; }
    std::uint16_t lastCommand() const { return lastCommand_; }
    unsigned requestsHeard() const { return requestsHeard_; }
    // True once the adapter-pulled fault has taken the line down.
    bool pulledOut() const { return pulledOut_; }

    // Register values as a read would give them at time `now`; nothing outside the map.
    std::optional<std::uint16_t> readHolding(std::uint16_t number) const;
    std::optional<std::uint16_t> readInput(std::uint16_t number, Micros now) const;
    std::int16_t processValue(Micros now) const;
    // The current on the output, as a meter in the loop reads it: at a trim point the
    // DAC's current for that point's count; in normal operation the process value over
    // the measuring range in the output direction, or the sensor-break signal.
    double outputMilliamps(Micros now) const;
    // The DAC's current for a count: linear, exactly 4 and 20 mA at the device's counts.
    double dacMilliamps(int count) const;

  private:
    std::vector<std::uint8_t> readReply(std::uint8_t function, std::uint16_t first,
                                        std::uint16_t count, Micros now);
    std::vector<std::uint8_t> writeReply(const std::vector<std::uint8_t>& frame, bool broadcast,
                                         Micros now);
    std::optional<ModbusException> write(std::uint16_t number, std::uint16_t value, Micros now);
    void runCommand(std::uint16_t code, Micros now);
    std::int16_t coefficient(int index, Micros now) const;
    std::uint16_t storeStatus(Micros now) const;
    void note(const std::string& text, const LineSettings& line, Micros now);

    std::uint8_t modelCode_;
    std::uint8_t firmwareIndex_;
    std::uint8_t otherModelCode_;
    std::uint32_t seed_;
    std::uint32_t serialNumber_;
    std::uint16_t pendingSerialHigh_;
    std::uint16_t pendingSerialLow_;
    std::uint8_t address_;
    std::uint8_t baudCode_;
    std::optional<std::uint8_t> pendingAddress_;
    std::optional<std::uint8_t> pendingBaudCode_;
    std::array<std::uint16_t, 9> configuration_;
    std::uint16_t lastCommand_ = 0;
    std::int16_t reference_ = 0;
    OutputMode outputMode_ = OutputMode::Normal;
    int dac4mA_;
    int dac20mA_;
    CalibrationInput calibrationInput_ = CalibrationInput::None;
    Micros calibrationStart_{0};
    std::array<std::int16_t, 3> storedCoefficients_;
    std::array<std::optional<unsigned>, kFaultCount> faultFrom_{};
    unsigned requestsHeard_ = 0;
    bool pulledOut_ = false;
    Micros streamUntil_{0};               // the streaming line's noise runs until then
    std::optional<Micros> lastReplyEnd_;  // when the last byte of the last reply went out
    // The store in progress or last done: when its configuration write came, its
    // result (0 stored, 1 failed) and the result the status showed before it.
    std::optional<Micros> configurationWrittenAt_;
    std::uint16_t storeResult_ = 0;
    std::uint16_t previousStoreResult_ = 0;
    TrafficListener* listener_ = nullptr;
};

}  // namespace kelvane::sim
