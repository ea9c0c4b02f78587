// The real termios port over a pseudo-terminal: a small responder thread holds the
// master side and answers like a device; the link opens the slave as its port.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "link/crc.h"
#include "link/link.h"
#include "platform/linux/posix_serial_port.h"

namespace kelvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kIdentityReply = {0x01, 0x04, 0x08, 0x02, 0x05, 0x00, 0x00,
                              0x00, 0x03, 0x0D, 0x41, 0xC4, 0x74};

// Holds a pseudo-terminal. The responder reads one 8-byte request, then writes
// `reply`; when `vanishAfter` is set it writes only that many bytes and closes the
// master side: the adapter is pulled out half-way through the reply.
class PtyResponder {
  public:
    PtyResponder() {
        char name[256] = {};
        if (openpty(&master_, &slave_, name, nullptr, nullptr) == 0) {
            path_ = name;
        }
    }
    ~PtyResponder() {
        if (thread_.joinable())
            thread_.join();
        if (master_ >= 0)
            ::close(master_);
        if (slave_ >= 0)
            ::close(slave_);
    }
    const std::string& path() const { return path_; }

    void answerOnce(Bytes reply, std::optional<size_t> vanishAfter = std::nullopt) {
        thread_ = std::thread([this, reply, vanishAfter] {
            Bytes request;
            while (request.size() < 8) {
                pollfd waiting{master_, POLLIN, 0};
                if (poll(&waiting, 1, 5000) <= 0)
                    return;
                std::uint8_t byte;
                if (::read(master_, &byte, 1) == 1)
                    request.push_back(byte);
            }
            termios tio{};
            tcgetattr(master_, &tio);
            seenSpeed = cfgetospeed(&tio);
            seenRequest = request;
            const size_t count = vanishAfter.value_or(reply.size());
            ssize_t wrote = ::write(master_, reply.data(), count);
            (void)wrote;
            if (vanishAfter) {
                // Let the link take the first bytes off the line, then hang up.
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                ::close(slave_);
                slave_ = -1;
                ::close(master_);
                master_ = -1;
            }
        });
    }
    void join() {
        if (thread_.joinable())
            thread_.join();
    }

    speed_t seenSpeed = 0;
    Bytes seenRequest;

  private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
    std::thread thread_;
};

TEST(LinkOverPty, ReadsTheIdentityBlockFromAResponder) {
    PtyResponder responder;
    ASSERT_FALSE(responder.path().empty());
    PosixSerialPort port;
    RecordingDialogs dialogs;
    Link link(port, dialogs);
    link.OpenDevice(responder.path(), 0);
    ASSERT_TRUE(link.portOpen());
    EXPECT_TRUE(dialogs.entries.empty());

    responder.answerOnce(kIdentityReply);
    link.Drain();
    EXPECT_TRUE(link.SendRequest(1, 4, 0x1F00, 4));
    link.CollectResponse();
    responder.join();

    EXPECT_EQ(responder.seenRequest, (Bytes{0x01, 0x04, 0x1F, 0x00, 0x00, 0x04, 0xF6, 0x1D}));
    EXPECT_EQ(responder.seenSpeed, B4800);
    EXPECT_EQ(link.receivedCount(), 13);
    EXPECT_TRUE(link.ResponseCrcOk(11));
    EXPECT_EQ(link.RegisterPair(2), 200001U);
}

TEST(LinkOverPty, AResponderThatVanishesHalfWayLeavesAFailedReplyAndADeadPort) {
    PtyResponder responder;
    PosixSerialPort port;
    RecordingDialogs dialogs;
    Link link(port, dialogs);
    link.OpenDevice(responder.path(), 2);
    ASSERT_TRUE(link.portOpen());

    responder.answerOnce(kIdentityReply, 6);
    link.SendRequest(1, 4, 0x1F00, 4);
    link.CollectResponse();
    responder.join();
    EXPECT_LE(link.receivedCount(), 6);
    EXPECT_FALSE(link.ResponseCrcOk(11));

    // Gone for good: writes fail, and collections end without bytes or a crash.
    for (int attempt = 0; attempt < 3; ++attempt) {
        link.CollectResponse();
        EXPECT_EQ(link.receivedCount(), 0);
    }
    EXPECT_FALSE(link.SendRequest(1, 4, 0x1F00, 4));
}

TEST(LinkOverPty, ASecondProgramCannotOpenTheSamePort) {
    PtyResponder responder;
    PosixSerialPort first;
    PosixSerialPort second;
    ASSERT_TRUE(first.open(responder.path()));
    EXPECT_FALSE(second.open(responder.path()));
    first.close();
    EXPECT_TRUE(second.open(responder.path()));
}

TEST(LinkOverPty, AFailedOpenLeavesEveryReadAndWriteFailing) {
    PosixSerialPort port;
    RecordingDialogs dialogs;
    Link link(port, dialogs);
    link.OpenDevice("/dev/kelvane-no-such-port", 0);
    EXPECT_FALSE(link.portOpen());
    EXPECT_TRUE(dialogs.entries.empty());
    EXPECT_FALSE(link.SendRequest(1, 4, 0x1F00, 4));
    EXPECT_FALSE(port.readByte().has_value());
}

TEST(LinkOverPty, ANonSerialFileIsRefused) {
    PosixSerialPort port;
    EXPECT_FALSE(port.open("/dev/null"));
}

}  // namespace
}  // namespace kelvane
