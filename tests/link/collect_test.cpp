// Collecting replies: the response-buffer overlay, the 75-byte bound, the 100 ms
// silence, hang-ups, and confirmed writes checked by their echo.
#include <gtest/gtest.h>

#include <functional>
#include <numeric>
#include <optional>

#include "link/in_memory_port.h"
#include "link/link.h"
#include "tests/support/exchange_log.h"
#include "tests/support/scripted_peer.h"

namespace kelvane {
namespace {

using testing::ScriptedPeer;
using Bytes = std::vector<std::uint8_t>;

Bytes countingBytes(std::size_t count, std::uint8_t first) {
    Bytes bytes(count);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

class Collecting : public ::testing::Test {
  protected:
    void SetUp() override {
        port.attach("COM1", device);
        link.OpenPort(0, 0);
        ASSERT_TRUE(port.isOpen());
    }
    void exchange(const Bytes& reply) {
        device.queueReply(reply);
        link.SendRequest(1, 4, 0x1F00, 4);
        link.CollectResponse();
    }
    void silentExchange() {
        device.queueSilence();
        link.SendRequest(1, 4, 0x1F00, 4);
        link.CollectResponse();
    }

    VirtualClock clock;
    InMemoryPort port{clock};
    ScriptedPeer device;
    RecordingDialogs dialogs;
    Link link{port, dialogs};
};

TEST_F(Collecting, AReplyFillsItsBytesAndCopiesTheLastOneJustPastIt) {
    const Bytes reply = countingBytes(13, 0x40);
    exchange(reply);
    for (int k = 0; k < 13; ++k) {
        EXPECT_EQ(link.response(k), reply[static_cast<size_t>(k)]) << k;
    }
    EXPECT_EQ(link.response(13), reply[12]);
    EXPECT_EQ(link.response(14), 0);
    EXPECT_EQ(link.receivedCount(), 13);
}

TEST_F(Collecting, SilenceRewritesOnlyByteZeroWithTheLastByteEverReceived) {
    const Bytes reply = countingBytes(13, 0x40);
    exchange(reply);
    silentExchange();
    EXPECT_EQ(link.response(0), reply[12]);
    for (int k = 1; k < 13; ++k) {
        EXPECT_EQ(link.response(k), reply[static_cast<size_t>(k)]) << k;
    }
    EXPECT_EQ(link.response(13), reply[12]);
    EXPECT_EQ(link.receivedCount(), 0);
}

TEST_F(Collecting, SilenceBeforeAnyByteLeavesTheBufferAllZero) {
    silentExchange();
    for (std::uint8_t byte : link.responseBuffer()) {
        EXPECT_EQ(byte, 0);
    }
    EXPECT_EQ(link.receiveCell(), 0);
}

TEST_F(Collecting, AShorterReplyKeepsTheTailOfTheLongerOneBeforeIt) {
    exchange(countingBytes(23, 0x10));
    exchange(Bytes{0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7});
    EXPECT_EQ(link.response(7), 0xA7);
    EXPECT_EQ(link.response(8), 0xA7);
    EXPECT_EQ(link.response(9), 0x10 + 9);
    EXPECT_EQ(link.response(22), 0x10 + 22);
}

TEST_F(Collecting, AnOverlongReplyIsReadToTheSilenceAndStoredOnlyUpToTheBuffer) {
    const Bytes reply = countingBytes(90, 0);
    exchange(reply);
    EXPECT_EQ(link.receivedCount(), 90);
    EXPECT_EQ(port.pendingBytes(), 0U);
    for (int k = 0; k < Link::kResponseSize; ++k) {
        EXPECT_EQ(link.response(k), reply[static_cast<size_t>(k)]) << k;
    }
    EXPECT_THROW(link.response(Link::kResponseSize), std::out_of_range);
    EXPECT_EQ(link.receiveCell(), 89);

    // Exactly 75 bytes: nothing past the buffer is written either.
    exchange(countingBytes(75, 100));
    EXPECT_EQ(link.response(74), 174);
}

TEST_F(Collecting, AReplyEndsAtOneHundredMillisecondsOfSilence) {
    // A pause of 99 ms inside the reply is bridged; one of 101 ms ends it there.
    device.setResponder([](const Bytes&, const LineSettings&) {
        PeerAnswer answer;
        answer.bytes = {{0x01, Micros(5'000)}, {0x02, Micros(104'000)}, {0x03, Micros(206'000)}};
        return answer;
    });
    link.SendRequest(1, 4, 0, 1);
    link.CollectResponse();
    EXPECT_EQ(link.receivedCount(), 2);
    link.CollectResponse();
    EXPECT_EQ(link.receivedCount(), 1);
    EXPECT_EQ(link.response(0), 0x03);
}

TEST_F(Collecting, ALineThatNeverFallsSilentEndsTheCollectionAfterTheLongestWait) {
    // A byte every 2 ms for three seconds after each request: the first collection stops
    // at its one-second limit, the next ones, on a line now known to stream, after
    // 200 ms each; the last ends at the silence, and the next stream gets a second again.
    device.setResponder([](const Bytes&, const LineSettings&) {
        PeerAnswer answer;
        for (int i = 1; i <= 1500; ++i) {
            answer.bytes.push_back({static_cast<std::uint8_t>(i), Micros(2000 * i)});
        }
        return answer;
    });
    std::vector<long long> millis;
    int total = 0;
    const auto collect = [&] {
        const Micros started = clock.now();
        link.CollectResponse();
        millis.push_back((clock.now() - started).count() / 1000);
        total += link.receivedCount();
    };
    link.SendRequest(1, 4, 0x1000, 1);
    do {
        collect();
    } while (link.receivedCount() > 0 && millis.size() < 20);
    link.SendRequest(1, 4, 0x1000, 1);
    collect();
    std::vector<long long> expected{1000};
    expected.insert(expected.end(), 10, 200);
    expected.push_back(100);
    expected.push_back(1000);
    EXPECT_EQ(millis, expected);
    EXPECT_EQ(total, 1500 + 500);
    EXPECT_EQ(link.cappedCollections(), 12);
}

TEST_F(Collecting, NoiseInBurstsIsCollectedAsAStreamingLineAfterItsFirstBurst) {
    // Bursts of 900 ms (a byte every 2 ms) with 150 ms of silence between them: each
    // burst ends in silence, but no reply brings bytes for that long.
    device.setResponder([](const Bytes&, const LineSettings&) {
        PeerAnswer answer;
        for (int burst = 0; burst < 3; ++burst) {
            for (int i = 1; i <= 450; ++i) {
                answer.bytes.push_back({0x55, Micros(burst * 1'050'000 + 2000 * i)});
            }
        }
        return answer;
    });
    link.SendRequest(1, 4, 0x1000, 1);
    std::vector<Micros> took;
    for (int i = 0; i < 6; ++i) {
        const Micros started = clock.now();
        link.CollectResponse();
        took.push_back(clock.now() - started);
    }
    EXPECT_EQ(took.front(), Micros(1'000'000));
    for (size_t i = 1; i < took.size(); ++i) {
        EXPECT_LE(took[i], Link::kCollectionOnAStreamingLine + kReadTimeout) << i;
    }
}

// On the line pace a reply ends as soon as it is whole; anything else still ends at
// 100 ms of silence. On the screen pace every reply ends at the silence.
TEST_F(Collecting, OnTheLinePaceAReplyEndsAsSoonAsItIsWhole) {
    const long long c = characterTimeMicros(LineSettings{});
    Bytes badCrc = testing::kQtrHIdentity;
    badCrc.back() ^= 0x01;
    Bytes trailing = testing::kQtrHIdentity;
    trailing.push_back(0x55);
    const struct {
        const char* name;
        Pace pace;
        std::uint8_t function;
        std::uint16_t count;
        Bytes reply;
        int received;
        bool atSilence;
    } rows[] = {
        {"identity, whole", Pace::Line, 4, 4, testing::kQtrHIdentity, 13, false},
        {"identity on the screen pace", Pace::Screen, 4, 4, testing::kQtrHIdentity, 13, true},
        {"a write's echo", Pace::Line, 6, 31, testing::requestFrame(1, 6, 0x1F00, 31), 8, false},
        {"an exception reply", Pace::Line, 3, 9, testing::withCrc({0x01, 0x83, 0x02}), 5, false},
        {"a short reply", Pace::Line, 4, 4, Bytes(badCrc.begin(), badCrc.begin() + 9), 9, true},
        {"a bad CRC", Pace::Line, 4, 4, badCrc, 13, true},
        {"a byte past the reply, left for the next drain", Pace::Line, 4, 4, trailing, 13, false},
        {"a broadcast's collection", Pace::Line, 6, 2, {}, 0, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        link.setPace(row.pace);
        device.queueReply(row.reply);
        const std::uint8_t address = row.reply.empty() ? 0 : 1;
        link.SendRequest(address, row.function, 0x1F00, static_cast<std::int16_t>(row.count));
        const Micros sent = clock.now();
        link.CollectResponse();
        EXPECT_EQ(link.receivedCount(), row.received);
        const Micros lastByte{row.received == 0 ? 0 : 2000 + row.received * c};
        EXPECT_EQ(clock.now() - sent, lastByte + (row.atSilence ? kReadTimeout : Micros(0)));
        link.setPace(Pace::Screen);
        link.Drain();
    }
}

// On the line pace every request follows 3.5 characters of silence (7.29 ms at 4800)
// after the line's last byte: a whole reply's end, or a stray byte's, which is read off
// as a collection of its own. After a silence the line was quiet for long enough.
TEST_F(Collecting, OnTheLinePaceEveryRequestFollowsTheModbusGap) {
    const long long c = characterTimeMicros(LineSettings{});
    const Micros gap{7292};
    const Micros frame{8 * c};
    const struct {
        const char* name;
        Pace pace;
        std::function<void()> before;
        std::optional<Micros> strayAfter;  // a byte arrives this long into the wait
        Micros waited;                     // from the end of `before` to the request's end
        std::vector<std::string> steps;
    } rows[] = {
        {"after a whole reply",
         Pace::Line,
         [&] { exchange(testing::kQtrHIdentity); },
         std::nullopt,
         gap + frame,
         {testing::sent(4, 0x1F00, 4), testing::collected(13), testing::sent(4, 0x1F00, 4)}},
        {"a stray byte in the gap starts it again",
         Pace::Line,
         [&] { exchange(testing::kQtrHIdentity); },
         Micros(2000),
         Micros(2000) + gap + frame,
         {testing::sent(4, 0x1F00, 4), testing::collected(13), testing::collected(1),
          testing::sent(4, 0x1F00, 4)}},
        {"after a drain",
         Pace::Line,
         [&] { link.Drain(); },
         std::nullopt,
         frame,
         {testing::collected(0), testing::sent(4, 0x1F00, 4)}},
        {"after no reply",
         Pace::Line,
         [&] { silentExchange(); },
         std::nullopt,
         frame,
         {testing::sent(4, 0x1F00, 4), testing::collected(0), testing::sent(4, 0x1F00, 4)}},
        {"on the screen pace, after its silence",
         Pace::Screen,
         [&] { exchange(testing::kQtrHIdentity); },
         std::nullopt,
         frame,
         {testing::sent(4, 0x1F00, 4), testing::collected(13), testing::sent(4, 0x1F00, 4)}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        link.setPace(row.pace);
        testing::ExchangeLog log;
        link.setObserver(&log);
        row.before();
        const Micros started = clock.now();
        if (row.strayAfter) {
            port.inject(0x55, started + *row.strayAfter);
        }
        device.queueSilence();
        link.SendRequest(1, 4, 0x1F00, 4);
        EXPECT_EQ(clock.now() - started, row.waited);
        EXPECT_EQ(log.steps, row.steps);
        link.setObserver(nullptr);
        link.setPace(Pace::Screen);
        link.Drain();
    }
}

TEST_F(Collecting, ADrainWaitsTheModbusGapOnTheLinePaceAndTheSilenceOnTheScreenPace) {
    // 3.5 characters of 10 bits: 7.29 ms at 4800 baud; 1.75 ms at least above 19200.
    const std::pair<std::int16_t, Micros> lines[] = {
        {0, Micros(7292)}, {1, Micros(3646)}, {2, Micros(1823)}, {3, Micros(1750)}};
    for (const auto& [line, gap] : lines) {
        SCOPED_TRACE(line);
        link.OpenPort(0, line);
        for (const Pace pace : {Pace::Line, Pace::Screen}) {
            link.setPace(pace);
            const Micros started = clock.now();
            link.Drain();
            EXPECT_EQ(clock.now() - started, pace == Pace::Line ? gap : kReadTimeout);
        }
    }
}

TEST_F(Collecting, EveryCollectionWaitsOutTheSilenceOnTheVirtualClock) {
    const Micros before = clock.now();
    link.Drain();
    EXPECT_EQ(clock.now() - before, kReadTimeout);
}

TEST_F(Collecting, APulledAdapterFailsReadsAndWritesAtOnce) {
    device.setResponder([](const Bytes&, const LineSettings& line) {
        PeerAnswer answer = ScriptedPeer::paced({0x01, 0x04, 0x08, 0x02, 0x05}, line);
        answer.hangUpAfter = answer.bytes.back().after + Micros(1000);
        return answer;
    });
    link.SendRequest(1, 4, 0x1F00, 4);
    link.CollectResponse();
    EXPECT_EQ(link.receivedCount(), 5);
    EXPECT_FALSE(link.ResponseCrcOk(11));

    const Micros afterHangUp = clock.now();
    EXPECT_FALSE(link.SendRequest(1, 4, 0x1F00, 4));
    link.CollectResponse();
    EXPECT_EQ(clock.now(), afterHangUp);
    EXPECT_EQ(link.receivedCount(), 0);

    // Still gone when the program closes and reopens the port.
    link.ClosePort();
    link.OpenPort(0, 0);
    EXPECT_FALSE(link.portOpen());
}

class ConfirmedWrites : public Collecting {};

TEST_F(ConfirmedWrites, AFailedEchoIsRepeatedOnceAndTheRepeatCanConfirm) {
    const Bytes frame = testing::withCrc({0x01, 0x05, 0x00, 0x02, 0xFF, 0xCE});
    Bytes badEcho = frame;
    badEcho[7] ^= 0xFF;
    device.queueReply(badEcho);
    device.queueReply(frame);
    EXPECT_TRUE(link.ConfirmedWrite(5, 2, -50, 1));
    ASSERT_EQ(device.sent.size(), 2U);
    EXPECT_EQ(device.sent[0].bytes, frame);
    EXPECT_EQ(device.sent[1].bytes, frame);
}

TEST_F(ConfirmedWrites, ThereIsNeverAThirdAttempt) {
    device.queueSilence();
    device.queueSilence();
    EXPECT_FALSE(link.ConfirmedWrite(6, 0, 1, 1));
    EXPECT_EQ(device.sent.size(), 2U);
}

TEST_F(ConfirmedWrites, AnUnansweredWriteFailsEvenWhenTheBufferHoldsTheSameCrc) {
    const Bytes frame = testing::withCrc({0x01, 0x06, 0x00, 0x01, 0x00, 0x01});
    device.queueReply(frame);
    ASSERT_TRUE(link.ConfirmedWrite(6, 1, 1, 1));

    device.queueSilence();
    device.queueSilence();
    EXPECT_FALSE(link.ConfirmedWrite(6, 1, 1, 1));
    EXPECT_EQ(link.response(6), frame[6]);
    EXPECT_EQ(link.response(7), frame[7]);
}

TEST_F(ConfirmedWrites, AShortEchoDoesNotConfirm) {
    const Bytes frame = testing::withCrc({0x01, 0x05, 0x00, 0x09, 0x00, 0x28});
    device.queueReply(frame);
    ASSERT_TRUE(link.ConfirmedWrite(5, 9, 40, 1));
    device.queueReply(Bytes(frame.begin(), frame.begin() + 7));
    device.queueReply(Bytes(frame.begin(), frame.begin() + 7));
    EXPECT_FALSE(link.ConfirmedWrite(5, 9, 40, 1));
}

}  // namespace
}  // namespace kelvane
