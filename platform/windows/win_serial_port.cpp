#include "platform/windows/win_serial_port.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace kelvane {

namespace {

// The driver's time-outs the port works with: no gap limit between bytes, 100 ms for
// a read that gets nothing and for a frame to leave.
constexpr DWORD kReadTimeoutMs = 100;
constexpr DWORD kWriteTimeoutMs = 100;

static_assert(sizeof(DCB) == 28, "GetCommState is told the size of the line record");

// The record's parity and stop-bit codes, in the order of Parity and StopBits.
constexpr BYTE kParities[] = {NOPARITY, EVENPARITY, ODDPARITY, MARKPARITY, SPACEPARITY};
constexpr BYTE kStopBits[] = {ONESTOPBIT, ONE5STOPBITS, TWOSTOPBITS};

// The settings a line record holds; a code no setting names reads as the first one
// (no parity, one stop bit), which only the line's timing uses.
LineSettings settingsOf(const DCB& dcb) {
    const auto parity = std::find(std::begin(kParities), std::end(kParities), dcb.Parity);
    const auto stopBits = std::find(std::begin(kStopBits), std::end(kStopBits), dcb.StopBits);
    return LineSettings{
        static_cast<int>(dcb.BaudRate),
        static_cast<Parity>(parity == std::end(kParities) ? 0 : parity - std::begin(kParities)),
        dcb.ByteSize,
        static_cast<StopBits>(stopBits == std::end(kStopBits) ? 0
                                                              : stopBits - std::begin(kStopBits))};
}

// A wait as the driver's read constant: whole milliseconds rounded up, at least one
// (zero would mean "return at once"), never the "wait forever" value.
DWORD millisecondsOf(Micros wait) {
    constexpr long long kLongest = std::numeric_limits<DWORD>::max() - 1;
    const long long ms = (wait.count() + 999) / 1000;
    return static_cast<DWORD>(ms < 1 ? 1 : ms > kLongest ? kLongest : ms);
}

}  // namespace

BOOL WinSerialPort::setTimeouts(DWORD readMs) {
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = 0;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = readMs;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = kWriteTimeoutMs;
    return calls_.setCommTimeouts(handle_, &timeouts);
}

bool WinSerialPort::recoverFromFailure() {
    const DWORD error = calls_.getLastError();
    // What a driver answers for a device that has left the bus.
    const bool removal =
        error == ERROR_DEVICE_REMOVED || error == ERROR_BAD_COMMAND || error == ERROR_GEN_FAILURE;
    DWORD lineErrors = 0;
    COMSTAT status{};
    if (!removal && calls_.clearCommError(handle_, &lineErrors, &status)) {
        return true;  // a framing, parity or overrun error, now cleared
    }
    calls_.closeHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    removed_ = true;
    return false;
}

bool WinSerialPort::open(const std::string& deviceName) {
    close();  // which also forgets an earlier open's failure
    const HANDLE handle = calls_.createFile(deviceName.c_str(), GENERIC_READ | GENERIC_WRITE,
                                            0 /* no sharing */, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        // A COM port another program holds answers "access denied".
        const DWORD error = calls_.getLastError();
        openFailure_ = (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION)
                           ? OpenFailure::Busy
                           : OpenFailure::Absent;
        return false;
    }
    handle_ = handle;
    removed_ = false;
    dcb_ = DCB{};
    // Not checked: a port that refuses its time-outs still reads and writes.
    setTimeouts(kReadTimeoutMs);
    readTimeoutMs_ = kReadTimeoutMs;
    return true;
}

void WinSerialPort::close() {
    if (handle_ != INVALID_HANDLE_VALUE) {
        calls_.closeHandle(handle_);
    }
    handle_ = INVALID_HANDLE_VALUE;
    removed_ = false;
    // A closed port's last open failed for no reason anyone can act on any more.
    openFailure_ = OpenFailure::None;
}

std::optional<LineSettings> WinSerialPort::currentSettings() {
    if (handle_ == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    dcb_.DCBlength = sizeof(DCB);
    if (!calls_.getCommState(handle_, &dcb_)) {
        return std::nullopt;
    }
    return settingsOf(dcb_);
}

std::optional<LineSettings> WinSerialPort::buildSettings(const std::string& text) {
    if (!calls_.buildCommDcb(text.c_str(), &dcb_)) {
        return std::nullopt;
    }
    return settingsOf(dcb_);
}

bool WinSerialPort::applySettings(const LineSettings& settings) {
    if (handle_ == INVALID_HANDLE_VALUE) {
        return false;
    }
    // Settings the record already holds (just read or built) are set as it holds them,
    // codes no setting names included; any others are written into it first.
    if (settingsOf(dcb_) != settings) {
        dcb_.BaudRate = static_cast<DWORD>(settings.baud);
        dcb_.Parity = kParities[static_cast<int>(settings.parity)];
        dcb_.ByteSize = static_cast<BYTE>(settings.dataBits);
        dcb_.StopBits = kStopBits[static_cast<int>(settings.stopBits)];
    }
    return calls_.setCommState(handle_, &dcb_) != FALSE;
}

std::optional<std::uint8_t> WinSerialPort::readByteWithin(Micros wait) {
    if (handle_ == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    // The read constant changes only for a wait other than the one in force, so the
    // usual 100 ms reads cost one call each.
    const DWORD waitMs = millisecondsOf(wait);
    if (waitMs != readTimeoutMs_ && setTimeouts(waitMs)) {
        readTimeoutMs_ = waitMs;
    }
    std::uint8_t byte = 0;
    DWORD got = 0;
    if (!calls_.readFile(handle_, &byte, 1, &got, nullptr)) {
        // A line error reads as a wait that got nothing; a removal ends the port.
        recoverFromFailure();
        return std::nullopt;
    }
    if (got != 1) {
        return std::nullopt;  // the wait ended in silence
    }
    return byte;
}

bool WinSerialPort::write(const std::uint8_t* bytes, std::size_t count) {
    if (handle_ == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(count);
    if (!calls_.writeFile(handle_, bytes, size, &written, nullptr)) {
        recoverFromFailure();
        return false;
    }
    return size == count && written == size;
}

}  // namespace kelvane
