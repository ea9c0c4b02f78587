// The real serial port on Windows: a COM device opened for exclusive use with
// CreateFileA, by the name the port-name table gives ("COM5" or "\\.\COM12"). Reads
// wait with the driver's read time-out, 100 ms unless a caller asks for another wait.
// A failed ReadFile or WriteFile is first taken for a line error (a framing or parity
// error stops the driver until ClearCommError); only a removal error, or a
// ClearCommError that fails too, means the adapter is gone: its handle is closed at
// once, so that Windows can make the port again when it is plugged back, and the port
// stays failed until the next open.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <functional>

#include "link/serial_port.h"

namespace kelvane {

// The Win32 calls the port is made of, and its clock. The defaults are the real ones;
// tests replace them to refuse an open, a setting or a byte.
struct WinPortCalls {
    std::function<HANDLE(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE)>
        createFile = ::CreateFileA;
    std::function<BOOL(HANDLE, LPCOMMTIMEOUTS)> setCommTimeouts = ::SetCommTimeouts;
    std::function<BOOL(HANDLE, LPDCB)> getCommState = ::GetCommState;
    std::function<BOOL(LPCSTR, LPDCB)> buildCommDcb = ::BuildCommDCBA;
    std::function<BOOL(HANDLE, LPDCB)> setCommState = ::SetCommState;
    std::function<BOOL(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED)> readFile = ::ReadFile;
    std::function<BOOL(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED)> writeFile = ::WriteFile;
    std::function<BOOL(HANDLE, LPDWORD, LPCOMSTAT)> clearCommError = ::ClearCommError;
    std::function<BOOL(HANDLE)> closeHandle = ::CloseHandle;
    std::function<DWORD()> getLastError = ::GetLastError;
    std::function<Micros()> now = [] {
        return std::chrono::duration_cast<Micros>(
            std::chrono::steady_clock::now().time_since_epoch());
    };
};

class WinSerialPort final : public SerialPort {
  public:
    WinSerialPort() = default;
    explicit WinSerialPort(WinPortCalls calls) : calls_(std::move(calls)) {}
    ~WinSerialPort() override { close(); }
    WinSerialPort(const WinSerialPort&) = delete;
    WinSerialPort& operator=(const WinSerialPort&) = delete;

    bool open(const std::string& deviceName) override;
    void close() override;
    // A removed adapter's port counts as open, and failing, until it is closed.
    bool isOpen() const override { return handle_ != INVALID_HANDLE_VALUE || removed_; }
    OpenFailure lastOpenFailure() const override { return openFailure_; }
    std::optional<LineSettings> currentSettings() override;
    // BuildCommDCBA into the record GetCommState filled.
    std::optional<LineSettings> buildSettings(const std::string& text) override;
    // The settings into the record, then SetCommState.
    bool applySettings(const LineSettings& settings) override;
    std::optional<std::uint8_t> readByteWithin(Micros wait) override;
    bool write(const std::uint8_t* bytes, std::size_t count) override;
    Micros now() const override { return calls_.now(); }

  private:
    // Sets the driver's time-outs with `readMs` as the read constant.
    BOOL setTimeouts(DWORD readMs);
    // After a failed ReadFile or WriteFile: clears a line error and goes on, or takes
    // the adapter for removed and releases its handle. True when the port goes on.
    bool recoverFromFailure();

    WinPortCalls calls_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    // The line record GetCommState fills and BuildCommDCBA changes, so that the
    // fields the settings text does not name stay as the driver had them.
    DCB dcb_{};
    DWORD readTimeoutMs_ = 0;  // the read constant in force
    bool removed_ = false;
    OpenFailure openFailure_ = OpenFailure::None;
};

}  // namespace kelvane
