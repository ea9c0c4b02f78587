// The termios port under the faults a real line shows: a wait interrupted by a
// signal, a byte that poll() announced but read() did not deliver, a frame that
// leaves in pieces. The system calls and the clock are replaced, so each case is
// exact and no test waits; the port itself is a pseudo-terminal.
#include "platform/linux/posix_serial_port.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <deque>
#include <string>

namespace kelvane {
namespace {

// One scripted system call: what it returns, the errno it leaves, how long it took.
struct Call {
    int result;
    int error = 0;
    Micros takes{0};
    std::uint8_t byte = 0;  // delivered by a successful read
};

class ScriptedCalls {
  public:
    std::deque<Call> polls, reads, writes;
    std::vector<int> pollTimeouts;
    Micros clock{1'000'000};

    PortSystemCalls calls() {
        PortSystemCalls c;
        c.now = [this] { return clock; };
        c.poll = [this](pollfd* fds, nfds_t, int timeout) {
            pollTimeouts.push_back(timeout);
            const Call call = next(polls);
            fds->revents = call.result > 0 ? fds->events : 0;
            return call.result;
        };
        c.read = [this](int, void* into, size_t) -> ssize_t {
            const Call call = next(reads);
            if (call.result == 1) {
                *static_cast<std::uint8_t*>(into) = call.byte;
            }
            return call.result;
        };
        c.write = [this](int, const void*, size_t) -> ssize_t { return next(writes).result; };
        return c;
    }

  private:
    Call next(std::deque<Call>& script) {
        EXPECT_FALSE(script.empty()) << "an unexpected system call";
        if (script.empty()) {
            return {0};
        }
        const Call call = script.front();
        script.pop_front();
        clock += call.takes;
        errno = call.error;
        return call;
    }
};

class PortFaults : public ::testing::Test {
  protected:
    PortFaults() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        grantpt(master_);
        unlockpt(master_);
        slave_ = ptsname(master_);
    }
    ~PortFaults() override { ::close(master_); }

    ScriptedCalls script;
    PosixSerialPort port{script.calls()};
    int master_ = -1;
    std::string slave_;
};

TEST_F(PortFaults, AnInterruptedWaitOrAMissingByteGoesOnWithinTheSameHundredMilliseconds) {
    ASSERT_TRUE(port.open(slave_));
    script.polls = {{-1, EINTR, Micros(60'000)}, {1}, {1}};
    script.reads = {{-1, EAGAIN, Micros(10'000)}, {1, 0, Micros(0), 0x42}};
    EXPECT_EQ(port.readByte(), std::optional<std::uint8_t>(0x42));
    EXPECT_EQ(script.pollTimeouts, (std::vector<int>{100, 40, 30}));
}

TEST_F(PortFaults, AnInterruptedWaitEndsAtTheFirstDeadline) {
    ASSERT_TRUE(port.open(slave_));
    script.polls = {{-1, EINTR, Micros(70'000)}, {0, 0, Micros(30'000)}};
    EXPECT_EQ(port.readByte(), std::nullopt);
    EXPECT_EQ(script.pollTimeouts, (std::vector<int>{100, 30}));
    // A quiet line is not a pulled-out adapter: the port still writes.
    script.writes = {{8}};
    const std::uint8_t frame[8]{};
    EXPECT_TRUE(port.write(frame, sizeof frame));
}

TEST_F(PortFaults, AByteThatNeverComesEndsTheReadWhenTheTimeIsUp) {
    ASSERT_TRUE(port.open(slave_));
    script.polls = {{1}};
    script.reads = {{-1, EAGAIN, Micros(100'000)}};
    EXPECT_EQ(port.readByte(), std::nullopt);
    EXPECT_EQ(script.pollTimeouts, std::vector<int>{100});
}

TEST_F(PortFaults, AFrameHasOneWriteBudgetForAllItsPieces) {
    ASSERT_TRUE(port.open(slave_));
    const std::uint8_t frame[8]{1, 2, 3, 4, 5, 6, 7, 8};
    script.writes = {{3}, {-1, EAGAIN, Micros(30'000)}, {-1, EINTR}, {-1, EAGAIN}};
    script.polls = {{1, 0, Micros(50'000)}, {0, 0, Micros(20'000)}};
    EXPECT_FALSE(port.write(frame, sizeof frame));
    EXPECT_EQ(script.pollTimeouts, (std::vector<int>{70, 20}));

    script.pollTimeouts.clear();
    script.writes = {{4}, {-1, EAGAIN}, {4}};
    script.polls = {{1}};
    EXPECT_TRUE(port.write(frame, sizeof frame));
    EXPECT_EQ(script.pollTimeouts, std::vector<int>{100});

    // A signal during the wait for room only shortens what is left.
    script.pollTimeouts.clear();
    script.writes = {{4}, {-1, EAGAIN}, {4}};
    script.polls = {{-1, EINTR, Micros(40'000)}, {1}};
    EXPECT_TRUE(port.write(frame, sizeof frame));
    EXPECT_EQ(script.pollTimeouts, (std::vector<int>{100, 60}));
}

TEST_F(PortFaults, AHangUpFailsAtOnceAndStaysFailed) {
    ASSERT_TRUE(port.open(slave_));
    script.polls = {{1}};
    script.reads = {{0}};  // end of file: the adapter is gone
    EXPECT_EQ(port.readByte(), std::nullopt);
    EXPECT_EQ(port.readByte(), std::nullopt) << "no further system call";
    const std::uint8_t frame[8]{};
    EXPECT_FALSE(port.write(frame, sizeof frame));
}

}  // namespace
}  // namespace kelvane

namespace kelvane {
namespace {

TEST(PortOpenFailures, PermissionBusyAndAbsentAreToldApart) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    grantpt(master);
    unlockpt(master);
    const std::string slave = ptsname(master);

    PosixSerialPort first;
    ASSERT_TRUE(first.open(slave));
    PosixSerialPort second;
    EXPECT_FALSE(second.open(slave));
    EXPECT_EQ(second.lastOpenFailure(), OpenFailure::Busy);
    first.close();
    EXPECT_FALSE(second.open("/dev/kelvane-no-such-device"));
    EXPECT_EQ(second.lastOpenFailure(), OpenFailure::Absent);
    EXPECT_TRUE(second.open(slave));
    EXPECT_EQ(second.lastOpenFailure(), OpenFailure::None);
    second.close();

    // As a user without root, whom the exclusive use binds (root ignores it): a child
    // that gives up root when it has it. A technician outside the dialout group is
    // refused; one inside it can close the port and open it again, as a reopening
    // recovery does, because closing releases the exclusive use.
    const struct {
        const char* name;
        mode_t mode;
        bool (*run)(const std::string& device);
    } users[] = {
        {"outside the dialout group", 0600,
         [](const std::string& device) {
             PosixSerialPort port;
             return !port.open(device) && port.lastOpenFailure() == OpenFailure::PermissionDenied;
         }},
        {"closing and opening again", 0666,
         [](const std::string& device) {
             PosixSerialPort port;
             if (!port.open(device)) {
                 return false;
             }
             port.close();
             return port.open(device);
         }},
    };
    for (const auto& user : users) {
        SCOPED_TRACE(user.name);
        if (geteuid() != 0 && user.mode == 0600) {
            continue;  // the owner of the pseudo-terminal keeps its access
        }
        ASSERT_EQ(chmod(slave.c_str(), user.mode), 0);
        const pid_t child = fork();
        if (child == 0) {
            if (geteuid() == 0 && setuid(65534) != 0) {
                _exit(3);
            }
            _exit(user.run(slave) ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    ::close(master);
}

}  // namespace
}  // namespace kelvane
