// The traffic log's lines: time, line setting, direction and bytes in hex.
#include "link/traffic_log.h"

#include <gtest/gtest.h>

namespace kelvane {
namespace {

TEST(TrafficLog, ShowsTimeLineSettingAndHexBytes) {
    TrafficEntry request{TrafficEntry::Kind::Request,
                         {0x01, 0x04, 0x1F, 0x00, 0x00, 0x04, 0xF6, 0x1D},
                         LineSettings{},
                         Micros{12'345'678},
                         {}};
    EXPECT_EQ(formatTraffic(request), "12.345678 s  4800,N,8,1  request  01 04 1F 00 00 04 F6 1D");
    TrafficEntry reply{
        TrafficEntry::Kind::Reply, {0xAB}, LineSettings{}, Micros{5}, "fault bad-crc"};
    EXPECT_EQ(formatTraffic(reply), "0.000005 s  4800,N,8,1  reply    AB  (fault bad-crc)");
}

}  // namespace
}  // namespace kelvane
