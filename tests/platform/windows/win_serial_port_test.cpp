// The COM port against scripted Win32 calls: refused opens, the driver's line record,
// the read time-out it is given, and an adapter pulled out mid-read.
#include "platform/windows/win_serial_port.h"

#include <gtest/gtest.h>

#include "link/link.h"

#include <deque>
#include <string>
#include <vector>

namespace kelvane {
namespace {

struct FakeComm {
    DWORD openError = 0;  // CreateFileA fails with it when set
    DWORD ioError = 0;    // what GetLastError answers after a failed ReadFile or WriteFile
    BOOL clearOk = TRUE;  // ClearCommError
    BOOL stateOk = TRUE, buildOk = TRUE, setOk = TRUE;
    DCB record{};                        // what GetCommState reports and SetCommState gets
    std::deque<int> reads{};             // ReadFile: a byte, -1 silence, -2 failure
    std::string log{};                   // the calls made
    std::vector<DWORD> readConstants{};  // of each SetCommTimeouts with the usual rest

    WinPortCalls calls() {
        WinPortCalls c;
        c.createFile = [this](LPCSTR name, DWORD access, DWORD share, auto, DWORD how, auto, auto) {
            log += std::string("open ") + name + ' ';
            const bool exclusive = access == (GENERIC_READ | GENERIC_WRITE) && !share;
            return openError || !exclusive || how != OPEN_EXISTING ? INVALID_HANDLE_VALUE
                                                                   : HANDLE(7);
        };
        c.getLastError = [this] { return openError ? openError : ioError; };
        c.clearCommError = [this](HANDLE, LPDWORD, LPCOMSTAT) { return log += "clear ", clearOk; };
        c.closeHandle = [this](HANDLE) { return log += "close ", TRUE; };
        c.setCommTimeouts = [this](HANDLE, LPCOMMTIMEOUTS t) {
            if (!t->ReadIntervalTimeout && !t->ReadTotalTimeoutMultiplier &&
                !t->WriteTotalTimeoutMultiplier && t->WriteTotalTimeoutConstant == 100) {
                readConstants.push_back(t->ReadTotalTimeoutConstant);
            }
            return TRUE;
        };
        c.getCommState = [this](HANDLE, LPDCB dcb) {
            const bool sized = dcb->DCBlength == 28;
            return *dcb = record, log += "get ", stateOk && sized;
        };
        c.buildCommDcb = [this](LPCSTR text, LPDCB dcb) {
            const auto parsed = parseLineSettings(text);
            if (buildOk && parsed) {
                dcb->BaudRate = static_cast<DWORD>(parsed->baud);
                dcb->Parity = NOPARITY;
                dcb->ByteSize = 8;
                dcb->StopBits = ONESTOPBIT;
            }
            return log += text + std::string(" "), buildOk;
        };
        c.setCommState = [this](HANDLE, LPDCB dcb) { return log += "set ", record = *dcb, setOk; };
        c.readFile = [this](HANDLE, LPVOID into, DWORD, LPDWORD got, LPOVERLAPPED) {
            const int next = reads.front();
            reads.pop_front();
            *got = next >= 0;
            *static_cast<std::uint8_t*>(into) = static_cast<std::uint8_t>(next);
            return log += "read ", next != -2;
        };
        c.writeFile = [this](HANDLE, LPCVOID, DWORD n, LPDWORD done, LPOVERLAPPED) {
            // More than 8 bytes: one short; 7 bytes: the call fails.
            return log += "write ", *done = n - (n > 8), n != 7;
        };
        return c;
    }
};

TEST(WinSerialPort, ARefusedOpenSaysWhyAndCallsNothingElse) {
    const struct {
        DWORD error;
        OpenFailure failure;
    } rows[] = {{ERROR_ACCESS_DENIED, OpenFailure::Busy},
                {ERROR_SHARING_VIOLATION, OpenFailure::Busy},
                {ERROR_FILE_NOT_FOUND, OpenFailure::Absent},
                {ERROR_PATH_NOT_FOUND, OpenFailure::Absent}};
    for (const auto& row : rows) {
        FakeComm comm;
        comm.openError = row.error;
        WinSerialPort port(comm.calls());
        EXPECT_FALSE(port.open("\\\\.\\COM12") || port.write(nullptr, 0));
        EXPECT_EQ(port.lastOpenFailure(), row.failure) << row.error;
        EXPECT_EQ(comm.log + std::to_string(comm.readConstants.size()), "open \\\\.\\COM12 0");
    }
}

TEST(WinSerialPort, TheDriversLineRecordGivesTheSettings) {
    const struct {
        BOOL ok;
        BYTE parity, dataBits, stopBits;
        const char* settings;  // empty: none
    } rows[] = {{TRUE, NOPARITY, 8, ONESTOPBIT, "4800,N,8,1"},
                {TRUE, EVENPARITY, 7, TWOSTOPBITS, "4800,E,7,2"},
                {TRUE, ODDPARITY, 8, ONE5STOPBITS, "4800,O,8,1.5"},
                {TRUE, MARKPARITY, 5, ONESTOPBIT, "4800,M,5,1"},
                {TRUE, SPACEPARITY, 6, ONESTOPBIT, "4800,S,6,1"},
                {TRUE, 9, 8, 7, "4800,N,8,1"},
                {FALSE, NOPARITY, 8, ONESTOPBIT, ""}};
    for (const auto& row : rows) {
        FakeComm comm;
        comm.stateOk = row.ok;
        comm.record.BaudRate = 4800;
        comm.record.Parity = row.parity;
        comm.record.ByteSize = row.dataBits;
        comm.record.StopBits = row.stopBits;
        WinSerialPort port(comm.calls());
        ASSERT_TRUE(port.open("COM5"));
        const auto settings = port.currentSettings();
        EXPECT_EQ(settings ? toString(*settings) : "", row.settings);
    }
}

TEST(WinSerialPort, TheLinkOpensWithTheRecordFetchedThenBuiltFromTheTableThenSet) {
    const struct {
        BOOL stateOk, buildOk, setOk;
        const char* messages;
    } rows[] = {{TRUE, TRUE, TRUE, ""},
                {FALSE, TRUE, TRUE, "Error in GetCommState|"},
                {TRUE, FALSE, TRUE, "Error in BuildCommDCB|"},
                {TRUE, TRUE, FALSE, "Error in SetCommState|"},
                {FALSE, FALSE, FALSE,
                 "Error in GetCommState|Error in BuildCommDCB|Error in SetCommState|"}};
    for (const auto& row : rows) {
        FakeComm comm;
        comm.stateOk = row.stateOk;
        comm.buildOk = row.buildOk;
        comm.setOk = row.setOk;
        comm.record.Parity = ODDPARITY;  // what the driver had: kept when the text is refused
        comm.record.XonLim = 77;         // a field no settings text names
        WinSerialPort port(comm.calls());
        RecordingDialogs dialogs;
        Link link(port, dialogs);
        link.OpenPort(9, 1);
        std::string messages;
        for (const auto& entry : dialogs.entries) {
            messages += entry.text + "|";
        }
        EXPECT_EQ(messages, row.messages);
        EXPECT_EQ(comm.log, "open \\\\.\\COM10 get 9600,N,8,1 set ") << "every step runs";
        EXPECT_EQ(comm.readConstants, std::vector<DWORD>{100});
        EXPECT_EQ(comm.record.XonLim, 77);
        // Refused text: the fetched record as it was, or the link's 4800,N,8,1 when
        // nothing could be fetched.
        EXPECT_EQ(comm.record.Parity, row.buildOk || !row.stateOk ? NOPARITY : ODDPARITY);
    }
}

TEST(WinSerialPort, OnlyAWaitOtherThanTheOneInForceResetsTheReadConstant) {
    const struct {
        std::vector<Micros> waits;
        std::vector<DWORD> constants;  // open's own first
    } rows[] = {{{kReadTimeout, kReadTimeout}, {100}},
                {{Micros(250'000), Micros(250'000), kReadTimeout}, {100, 250, 100}},
                {{Micros(100'001)}, {100, 101}},
                {{Micros(0)}, {100, 1}}};
    for (const auto& row : rows) {
        FakeComm comm;
        WinSerialPort port(comm.calls());
        ASSERT_TRUE(port.open("COM5"));
        for (const Micros wait : row.waits) {
            comm.reads.push_back(-1);
            EXPECT_EQ(port.readByteWithin(wait), std::nullopt);
        }
        EXPECT_EQ(comm.readConstants, row.constants);
    }
}

TEST(WinSerialPort, AFailedReadIsALineErrorUnlessTheAdapterIsGone) {
    const struct {
        int read;  // -2: ReadFile fails with `error`
        DWORD error;
        BOOL clearOk;
        std::optional<std::uint8_t> byte;
        bool removed;       // the handle closed at once, nothing more read or written
        const char* calls;  // of the read, two writes and another read
    } rows[] = {
        {0x42, 0, TRUE, 0x42, false, "read write write read "},
        {-1, 0, TRUE, std::nullopt, false, "read write write read "},
        // A framing or parity error stops the driver (fAbortOnError) until it is cleared.
        {-2, ERROR_OPERATION_ABORTED, TRUE, std::nullopt, false, "read clear write write read "},
        {-2, ERROR_IO_DEVICE, TRUE, std::nullopt, false, "read clear write write read "},
        // A pulled-out adapter: ClearCommError fails too, or the error says so.
        {-2, ERROR_OPERATION_ABORTED, FALSE, std::nullopt, true, "read clear close "},
        {-2, ERROR_DEVICE_REMOVED, TRUE, std::nullopt, true, "read close "},
        {-2, ERROR_BAD_COMMAND, TRUE, std::nullopt, true, "read close "},
        {-2, ERROR_GEN_FAILURE, TRUE, std::nullopt, true, "read close "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.error);
        FakeComm comm;
        comm.reads = {row.read, -1};
        comm.ioError = row.error;
        comm.clearOk = row.clearOk;
        WinSerialPort port(comm.calls());
        ASSERT_TRUE(port.open("COM5"));
        comm.log.clear();
        EXPECT_EQ(port.readByte(), row.byte);
        const std::uint8_t frame[9]{};
        EXPECT_EQ(port.write(frame, 8), !row.removed);
        EXPECT_FALSE(port.write(frame, 9)) << "a frame that leaves short fails";
        port.readByte();
        EXPECT_EQ(comm.log, row.calls);
        EXPECT_TRUE(port.isOpen()) << "a removed port fails until it is closed";
        comm.reads = {0x17};
        ASSERT_TRUE(port.open("COM5"));
        EXPECT_EQ(port.readByte(), std::optional<std::uint8_t>(0x17));
    }
}

TEST(WinSerialPort, AFailedWriteIsALineErrorUnlessTheAdapterIsGone) {
    const struct {
        BOOL clearOk;
        const char* calls;  // of the failed write, a write and a read
    } rows[] = {{TRUE, "write clear write read "}, {FALSE, "write clear close "}};
    for (const auto& row : rows) {
        FakeComm comm;
        comm.reads = {0x42};
        comm.ioError = ERROR_OPERATION_ABORTED;
        comm.clearOk = row.clearOk;
        WinSerialPort port(comm.calls());
        ASSERT_TRUE(port.open("COM5"));
        comm.log.clear();
        const std::uint8_t frame[8]{};
        EXPECT_FALSE(port.write(frame, 7));
        EXPECT_EQ(port.write(frame, 8), row.clearOk == TRUE);
        EXPECT_EQ(port.readByte().has_value(), row.clearOk == TRUE);
        EXPECT_EQ(comm.log, row.calls);
    }
}

TEST(WinSerialPort, AnOpenFailureIsForgottenByTheNextOpenOrAClose) {
    FakeComm comm;
    WinSerialPort port(comm.calls());
    comm.openError = ERROR_ACCESS_DENIED;
    EXPECT_FALSE(port.open("COM3"));
    port.close();  // what the link does for a port number past COM255
    EXPECT_EQ(port.lastOpenFailure(), OpenFailure::None);
    EXPECT_FALSE(port.open("COM3"));
    comm.openError = ERROR_FILE_NOT_FOUND;
    EXPECT_FALSE(port.open("\\\\.\\COM23"));
    EXPECT_EQ(port.lastOpenFailure(), OpenFailure::Absent);
    comm.openError = 0;
    EXPECT_TRUE(port.open("\\\\.\\COM23"));
    EXPECT_EQ(port.lastOpenFailure(), OpenFailure::None);
}

}  // namespace
}  // namespace kelvane
