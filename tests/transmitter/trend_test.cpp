// The measuring value trend: it plots and keeps exactly what the measurement polling
// reads, adds no request of its own, and saves the CSV of kelvane-cli measure.
#include <unistd.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "tests/transmitter/screen_fixture.h"
#include "transmitter/trend_window.h"

namespace kelvane::testing {
namespace {

class Trend : public ScreenTest {};

TEST_F(Trend, FollowsThePollingWithoutARequestOfItsOwnAndSavesItsCsv) {
    readAndClearLog();
    screen.MeasuringValueTrendClick();
    ASSERT_NE(screen.trend(), nullptr);
    EXPECT_TRUE(screen.trend()->isVisible());
    // Each step collects the answer to the request the step before it sent.
    device.processValue = 256;  // Thermocouple K: 25.6 deg C
    screen.Btn71Click();
    device.processValue = 300;
    screen.Timer1Timer();
    device.processValue = 0x7FFF;  // the sensor breaks
    screen.Timer1Timer();
    screen.Timer1Timer();
    const std::vector<std::string> step{collected(7), collected(0), sent(4, 0x1000, 1)};
    EXPECT_EQ(log.steps, exchange({{collected(0)},
                                   echoed(5, 9, 40),
                                   {collected(0), sent(4, 0x1000, 1)},
                                   step,
                                   step,
                                   step}));
    const auto& samples = screen.trend()->samples();
    ASSERT_EQ(samples.size(), 3u);
    EXPECT_EQ(samples[0].shown, "25.6");
    EXPECT_EQ(samples[1].raw, 300);
    EXPECT_EQ(samples[2].shown, "OPEN");
    EXPECT_EQ(screen.trend()->plottedPoints(), 2) << "OPEN has no value to draw";

    const std::string path = "/tmp/kelvane-trend-" + std::to_string(getpid()) + ".csv";
    screen.trend()->setFileChooser([&path] { return path; });
    screen.trend()->SaveCsvClick();
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "time,raw,value,unit");
    const std::regex time(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z)");
    for (const char* rest : {",256,25.6,deg C", ",300,30.0,deg C", ",32767,OPEN,deg C"}) {
        ASSERT_TRUE(std::getline(in, line));
        EXPECT_TRUE(std::regex_match(line.substr(0, 24), time)) << line;
        EXPECT_EQ(line.substr(24), rest);
    }
    std::remove(path.c_str());

    // A new stretch of line after OPEN, after a Stop and a new start, and after a failed
    // read.
    // Each step draws the reply to the request of the step before it.
    device.processValue = 310;
    screen.Timer1Timer();
    screen.Timer1Timer();  // 310 after OPEN
    screen.Btn72Click();
    screen.Btn71Click();
    screen.Timer1Timer();  // 310 after the new start
    device.corruptProcessValue = true;
    screen.Timer1Timer();  // 310 on the same stretch
    device.corruptProcessValue = false;
    screen.Timer1Timer();  // Read Fail
    screen.Timer1Timer();  // 310 after it
    EXPECT_EQ(screen.trend()->plottedPoints(), 6);
    EXPECT_EQ(screen.trend()->plottedLines(), 4);

    screen.SimplifiedClick();
    EXPECT_EQ(screen.trend()->windowTitle().toStdString(), "量测值趋势图");
    EXPECT_EQ(ui().MeasuringValueTrend1->text().toStdString(), "量测值趋势图");
}

// What the window keeps and draws: the last ten minutes on the steady clock, whatever
// the wall clock does, and a new stretch of line after each value that cannot be drawn
// and after a failed read ("FAIL" below).
TEST(TrendDrawing, KeepsTenMinutesAndBreaksTheLineAtOpenAndFailedReads) {
    struct Row {
        std::vector<std::pair<int, const char*>> values;  // steady seconds, shown
        int points;
        int lines;
        std::size_t samples;
        int wallStep = 0;  // seconds the wall clock jumps after the first value
    };
    const Row rows[] = {
        {{{0, "20.0"}, {1, "20.5"}, {2, "21.0"}}, 3, 1, 3},
        {{{0, "20.0"}, {1, "OPEN"}, {2, "21.0"}, {3, "21.5"}}, 3, 2, 4},
        {{{0, "OPEN"}, {1, "OPEN"}, {2, "21.0"}}, 1, 1, 3},
        {{{0, "20.0"}, {1, "OPEN"}, {2, "OPEN"}}, 1, 1, 3},
        {{{0, "20.0"}, {600, "20.5"}}, 2, 1, 2},
        {{{0, "20.0"}, {600, "20.5"}, {601, "21.0"}}, 2, 1, 2},
        {{{0, "20.0"}, {1, "20.5"}, {602, "21.0"}}, 1, 1, 1},
        {{{0, "20.0"}, {1, "OPEN"}, {2, "20.5"}, {3, "20.8"}, {601, "21.0"}}, 3, 1, 4},
        {{{0, "-12.5"}, {5, "-200.0"}}, 2, 1, 2},
        {{{0, "20.0"}, {1, "FAIL"}, {2, "21.0"}, {3, "21.5"}}, 3, 2, 3},
        {{{0, "20.0"}, {1, "FAIL"}, {2, "FAIL"}, {3, "21.5"}}, 2, 2, 2},
        {{{0, "20.0"}, {1, "20.5"}, {2, "21.0"}}, 3, 1, 3, 3600},
        {{{0, "20.0"}, {1, "20.5"}, {2, "21.0"}}, 3, 1, 3, -3600},
    };
    const QDateTime start = QDateTime::fromMSecsSinceEpoch(1'700'000'000'000LL);
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message()
                     << row.values.size() << " values, wall step " << row.wallStep);
        TrendWindow trend;
        bool first = true;
        for (const auto& [seconds, shown] : row.values) {
            if (std::string(shown) == "FAIL") {
                trend.breakLine();
                continue;
            }
            trend.addValue(std::chrono::seconds(seconds),
                           start.addSecs(seconds + (first ? 0 : row.wallStep)), 0, shown, "deg C");
            first = false;
        }
        trend.resize(500, 300);
        trend.grab();  // draws every stretch
        EXPECT_EQ(trend.samples().size(), row.samples);
        EXPECT_EQ(trend.plottedPoints(), row.points);
        EXPECT_EQ(trend.plottedLines(), row.lines);
    }
}

// Eight hours of polling, a value every 500 ms, leave ten minutes of them.
TEST(TrendDrawing, AWorkingDayOfPollingKeepsTenMinutes) {
    TrendWindow trend;
    const QDateTime start = QDateTime::fromMSecsSinceEpoch(1'700'000'000'000LL);
    for (int step = 0; step <= 8 * 3600 * 2; ++step) {
        trend.addValue(std::chrono::milliseconds(500LL * step), start.addMSecs(500LL * step), 256,
                       "25.6", "deg C");
    }
    EXPECT_EQ(trend.samples().size(), 10u * 60 * 2 + 1);
    EXPECT_EQ(trend.plottedPoints(), 10 * 60 * 2 + 1);
}

}  // namespace
}  // namespace kelvane::testing
