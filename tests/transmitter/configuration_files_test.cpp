// Configuration files on the transmitter screen: Save writes the page in kelvane-cli's
// JSON, Open puts a file back on the page and sends nothing, Compare reads the device
// and lists what differs, and a file or page that cannot be taken changes nothing and
// says why.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "device/file_paths.h"
#include "tests/transmitter/screen_fixture.h"

namespace kelvane::testing {
namespace {

class ConfigurationFiles : public ScreenTest {
  protected:
    ConfigurationFiles() {
        screen.setFileChooser([this](bool) { return path; });
    }
    ~ConfigurationFiles() override { std::remove(path.c_str()); }
    std::string saved() const {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::string path = "/tmp/kelvane-screen-" + std::to_string(getpid()) + ".json";
};

TEST_F(ConfigurationFiles, ASavedPageComesBackByOpenWithNothingSent) {
    readAndClearLog();
    screen.SaveConfigurationClick();
    EXPECT_EQ(saved(),
              "{\n  \"format\": 2,\n  \"model\": \"QTR-H\",\n  \"firmware\": \"V05\",\n"
              "  \"serial\": 12345678,\n  \"input\": \"thermocouple-K\",\n"
              "  \"unit\": \"celsius\",\n  \"lower\": -50,\n  \"upper\": 400,\n"
              "  \"offset\": -1,\n  \"output\": \"4-20mA\",\n  \"break\": \"upscale\",\n"
              "  \"trim4mA\": 1500,\n  \"trim20mA\": 30000\n}\n");
    EXPECT_EQ(text(ui().Lab83), "Configuration saved");

    ui().Item1->setItemIndex(10);
    ui().Item3->setItemIndex(1);
    ui().Edi3->setText("0");
    ui().Item5->setItemIndex(0);
    screen.OpenConfigurationClick();
    EXPECT_EQ(ui().Item1->itemIndex(), 1);
    EXPECT_EQ(ui().Item3->itemIndex(), 0);
    EXPECT_EQ(ui().Item5->itemIndex(), 1);
    EXPECT_EQ(text(ui().Edi3), "-50");
    EXPECT_EQ(text(ui().Edi4), "400");
    EXPECT_EQ(text(ui().Edi61), "-1.0");
    EXPECT_EQ(
        text(ui().Lab83),
        "Configuration loaded from the file (trim counts not loaded): Write To Device sends it");
    EXPECT_TRUE(log.steps.empty());
    EXPECT_TRUE(dialogs.entries.empty());
}

// A folder named in Chinese: on Windows a narrow path is read in the ANSI code page
// and misses it. A record that cannot be written says so.
TEST_F(ConfigurationFiles, FilesInAFolderNamedInChineseAreWrittenAndReadBack) {
    const std::string folder = "/tmp/kelvane-" + std::to_string(getpid()) + "-王小明/設定";
    std::filesystem::create_directories(pathFromUtf8(folder));
    const std::string json = folder + "/變送器.json";
    std::string chosen = json;
    screen.setFileChooser([&chosen](bool) { return chosen; });
    readAndClearLog();
    screen.SaveConfigurationClick();
    EXPECT_EQ(text(ui().Lab83), "Configuration saved");
    ui().Edi4->setText("0");
    screen.OpenConfigurationClick();
    EXPECT_EQ(text(ui().Edi4), "400");
    chosen = folder + "/紀錄.pdf";
    screen.ExportReportClick();
    EXPECT_TRUE(std::filesystem::exists(pathFromUtf8(chosen)));
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"Record written to: " + chosen});
    dialogs.entries.clear();
    chosen = folder + "/沒有/紀錄.pdf";
    screen.ExportReportClick();
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"Cannot write the file: " + chosen});
    std::filesystem::remove_all(pathFromUtf8(folder).parent_path());
}

TEST_F(ConfigurationFiles, AFileThePageCannotTakeChangesNothingAndNamesTheField) {
    const struct {
        const char* name;
        const char* file;
        int modelCode;
        int firmware;
        const char* said;
    } rows[] = {
        {"not JSON", "{\"input\": ", 2, 5, "not JSON: "},
        {"a missing field", R"j({"input": "PT-100", "lower": 0, "upper": 100, "offset": 0,
            "output": "4mA ~ 20mA", "break": "Cut"})j",
         2, 5, "missing field \"unit\""},
        {"a value out of range", R"j({"input": "PT-100", "unit": "deg C", "lower": 0,
            "upper": 2000, "offset": 0, "output": "4mA ~ 20mA", "break": "Cut"})j",
         2, 5, "upper: 2000 is outside -200 … 600 deg C"},
        {"voltage on a QTN-H", R"j({"input": "Voltage (-10 - 10V)", "unit": "deg C",
            "lower": 0, "upper": 10, "offset": 0, "output": "4mA ~ 20mA", "break": "Cut"})j",
         17, 5, "input: a QTN-H has no voltage or current input"},
        {"Cut below V04", R"j({"input": "PT-100", "unit": "deg C", "lower": 0, "upper": 100,
            "offset": 0, "output": "4mA ~ 20mA", "break": "Cut"})j",
         2, 3, "break: \"Cut\" needs firmware V04 or later; the device has V03"},
        {"another model's file", R"j({"format": 2, "model": "QTR-D", "firmware": "V05",
            "serial": 7, "input": "pt100", "unit": "celsius", "lower": 0, "upper": 100,
            "offset": 0, "output": "4-20mA", "break": "cut"})j",
         2, 5, "model: the file was read from a QTR-D, the device is a QTR-H"},
    };
    readAndClearLog();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::ofstream(path) << row.file;
        state.modelCode = static_cast<std::int16_t>(row.modelCode);
        state.firmwareVersionIndex = static_cast<std::int16_t>(row.firmware);
        dialogs.entries.clear();
        screen.OpenConfigurationClick();
        ASSERT_EQ(dialogs.entries.size(), 1u);
        EXPECT_EQ(dialogs.entries[0].text.rfind("Cannot open the configuration file: ", 0), 0u)
            << dialogs.entries[0].text;
        EXPECT_NE(dialogs.entries[0].text.find(row.said), std::string::npos)
            << dialogs.entries[0].text;
        EXPECT_EQ(ui().Item1->itemIndex(), 1);
        EXPECT_EQ(text(ui().Edi3), "-50");
        EXPECT_EQ(text(ui().Lab83), "Read Success");
        EXPECT_TRUE(log.steps.empty());
    }
}

// The device holds Thermocouple K, deg C, -50 … 400, offset -1.0, 4mA ~ 20mA, UpScale.
TEST_F(ConfigurationFiles, CompareReadsTheDeviceAndShowsEachFieldThatDiffers) {
    const auto file = [](const std::string& input, const std::string& unit,
                         const std::string& numbers, const std::string& output,
                         const std::string& brk) {
        return "{\"input\": \"" + input + "\", \"unit\": \"" + unit + "\", " + numbers +
               ", \"output\": \"" + output + "\", \"break\": \"" + brk + "\"}";
    };
    const std::string same = R"("lower": -50, "upper": 400, "offset": -1)";
    const std::pair<std::string, std::string> rows[] = {
        {file("Thermocouple K", "deg C", same, "4mA ~ 20mA", "UpScale(>20mA)"), "no differences"},
        {file("Thermocouple J", "deg C", same, "4mA ~ 20mA", "UpScale(>20mA)"),
         "The device differs from the file:\ninput: device Thermocouple K, file Thermocouple J"},
        {file("Thermocouple K", "deg F", same, "4mA ~ 20mA", "UpScale(>20mA)"),
         "The device differs from the file:\nunit: device deg C, file deg F"},
        {file("Thermocouple K", "deg C", R"("lower": -40, "upper": 400, "offset": -1)",
              "4mA ~ 20mA", "UpScale(>20mA)"),
         "The device differs from the file:\nlower: device -50, file -40"},
        {file("Thermocouple K", "deg C", R"("lower": 400, "upper": -50, "offset": -1.5)",
              "4mA ~ 20mA", "UpScale(>20mA)"),
         "The device differs from the file:\noffset: device -1.0, file -1.5"},
        {file("Thermocouple K", "deg C", same, "20mA ~ 4mA", "Cut"),
         "The device differs from the file:\noutput: device 4mA ~ 20mA, file 20mA ~ 4mA\n"
         "break: device UpScale(>20mA), file Cut"},
    };
    readAndClearLog();
    // Not while the measurement polls: its steps would take the configuration reply.
    std::ofstream(path) << rows[0].first;
    screen.Btn71Click();
    log.clear();
    screen.CompareWithDeviceClick();
    EXPECT_EQ(
        dialogs.texts(),
        std::vector<std::string>{"Wait until the running exchange ends, or stop the measurement"});
    EXPECT_TRUE(log.steps.empty());
    EXPECT_FALSE(ui().CompareTimer->isActive());
    screen.Btn72Click();
    for (const auto& [contents, shown] : rows) {
        SCOPED_TRACE(contents);
        std::ofstream(path) << contents;
        dialogs.entries.clear();
        log.clear();
        screen.CompareWithDeviceClick();
        ASSERT_TRUE(ui().CompareTimer->isActive());
        EXPECT_FALSE(ui().BtnP1->isEnabled());
        screen.CompareTimerTimer();
        EXPECT_EQ(dialogs.texts(), std::vector<std::string>{shown});
        EXPECT_EQ(log.steps,
                  (std::vector<std::string>{collected(0), sent(4, 0x1F00, 4), collected(13),
                                            sent(3, 0, 9), collected(23)}));
        EXPECT_EQ(ui().Item1->itemIndex(), 1) << "the page is not changed";
        EXPECT_EQ(text(ui().Edi61), "-1.0");
        EXPECT_TRUE(ui().BtnP1->isEnabled());
    }
}

// The record's text as pdftotext extracts it, keeping the layout.
std::string pdfText(const std::string& pdf) {
    const std::string extracted = pdf + ".txt";
    if (std::system(("pdftotext -layout -enc UTF-8 " + pdf + " " + extracted).c_str()) != 0) {
        return "";
    }
    std::ifstream in(extracted);
    std::stringstream content;
    content << in.rdbuf();
    std::remove(extracted.c_str());
    return content.str();
}

// The cells of the record's line whose first cell is `label`: the words pdftotext
// finds on one line, joined into a cell where they stand a word space apart and split
// where a column's padding parts them.
std::vector<std::string> cellsOf(const std::string& pdf, const std::string& label) {
    const std::string boxes = pdf + ".html";
    if (std::system(("pdftotext -bbox -enc UTF-8 " + pdf + " " + boxes).c_str()) != 0) {
        return {};
    }
    std::ifstream in(boxes);
    const std::regex word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)"[^>]*>([^<]*)</word>)re");
    struct Word {
        double left, top, right;
        std::string text;
    };
    std::vector<Word> words;
    for (std::string line; std::getline(in, line);) {
        std::smatch found;
        if (std::regex_search(line, found, word)) {
            std::string text = found[4];
            for (const auto& [entity, character] :
                 {std::pair{"&gt;", ">"}, std::pair{"&lt;", "<"}, std::pair{"&amp;", "&"}}) {
                for (std::size_t at; (at = text.find(entity)) != std::string::npos;) {
                    text.replace(at, std::string(entity).size(), character);
                }
            }
            words.push_back({std::stod(found[1]), std::stod(found[2]), std::stod(found[3]), text});
        }
    }
    std::remove(boxes.c_str());
    std::map<long, std::vector<Word>> lines;  // by the words' top, to the point
    for (const Word& w : words) {
        lines[std::lround(w.top)].push_back(w);
    }
    for (auto& [top, line] : lines) {
        std::sort(line.begin(), line.end(),
                  [](const Word& a, const Word& b) { return a.left < b.left; });
        std::vector<std::string> cells{line.front().text};
        for (std::size_t i = 1; i < line.size(); ++i) {
            if (line[i].left - line[i - 1].right > 5.0) {
                cells.push_back(line[i].text);
            } else {
                cells.back() += " " + line[i].text;
            }
        }
        if (cells.front() == label) {
            return cells;
        }
    }
    return {};
}

// Each way a write can end, recorded as it ended: the outcome, the as-left heading, and
// each field as found and as left in its own column, marked where it changed.
TEST(ConfigurationRecord, TheRecordOfAWriteShowsWhatTheDeviceConfirmed) {
#ifdef _WIN32
    GTEST_SKIP() << "pdftotext is a Linux program; the native run reads the record";
#endif
    using Cells = std::vector<std::string>;
    const struct {
        const char* name;
        std::uint16_t identityWord;
        std::uint16_t storeStatus;
        unsigned failingWrite;  // 0: every write answered
        const char* lastWrite;
        const char* asLeft;
        Cells upper;
        Cells offset;
        Cells breakSignal;
    } rows[] = {
        {"stored",
         0x0205,
         0,
         0,
         "Write Success",
         "As left",
         {"Upper Limit", "400", "750", "*"},
         {"Offset Correction", "-1.0", "2.5", "*"},
         {"Fault Signal On Sensor Break", "UpScale(>20mA)", "DownScale(< 4mA)", "*"}},
        {"failed at the fourth write",
         0x0205,
         0,
         4,
         "Write Fail after 3 of 7 writes",
         "As left (not stored)",
         {"Upper Limit", "400", "750", "*"},
         {"Offset Correction", "-1.0", "2.5", "*"},
         {"Fault Signal On Sensor Break", "UpScale(>20mA)", "UpScale(>20mA)"}},
        {"failed at the first write",
         0x0205,
         0,
         1,
         "Write Fail after 0 of 7 writes",
         "As left (not stored)",
         {"Upper Limit", "400", "400"},
         {"Offset Correction", "-1.0", "-1.0"},
         {"Fault Signal On Sensor Break", "UpScale(>20mA)", "UpScale(>20mA)"}},
        {"store failed",
         0x0205,
         1,
         0,
         "Write Memory Fail",
         "As left (not stored)",
         {"Upper Limit", "400", "750", "*"},
         {"Offset Correction", "-1.0", "2.5", "*"},
         {"Fault Signal On Sensor Break", "UpScale(>20mA)", "DownScale(< 4mA)", "*"}},
        {"V04 reports no store",
         0x0204,
         0,
         0,
         "Write Success (store not reported: firmware V04 or earlier)",
         "As left",
         {"Upper Limit", "400", "750", "*"},
         {"Offset Correction", "-1.0", "2.5", "*"},
         {"Fault Signal On Sensor Break", "UpScale(>20mA)", "DownScale(< 4mA)", "*"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        // A screen of its own for each row.
        struct Bench : ScreenTest {
            void TestBody() override {}
            using ScreenTest::details;
            using ScreenTest::device;
            using ScreenTest::dialogs;
            using ScreenTest::readAndClearLog;
            using ScreenTest::screen;
            using ScreenTest::state;
            using ScreenTest::ui;
        } bench;
        const std::string pdf = "/tmp/kelvane-record-" + std::to_string(getpid()) + ".pdf";
        bench.screen.setFileChooser([&pdf](bool) { return pdf; });
        bench.details = {"A. Chen", "TT-101", "Boiler house", "Fluke 87V", "first line\nsecond"};
        bench.device.identityWord = row.identityWord;
        bench.device.storeStatus = row.storeStatus;
        bench.state.firmwareVersionIndex = static_cast<std::int16_t>(row.identityWord & 0xFF);
        bench.readAndClearLog();
        bench.ui().Edi4->setText("750");
        bench.ui().Edi61->setText("2.5");
        bench.ui().Item5->setItemIndex(0);
        if (row.failingWrite != 0) {
            bench.device.silentFrom = bench.device.heard + row.failingWrite;
        }
        bench.screen.BtnP2Click();
        bench.screen.Timer3Timer();
        if (bench.ui().Timer6->isActive()) {
            bench.screen.Timer6Timer();
        }
        bench.screen.ExportReportClick();
        EXPECT_EQ(bench.dialogs.texts(), std::vector<std::string>{"Record written to: " + pdf});
        EXPECT_EQ(cellsOf(pdf, "Field"), (Cells{"Field", "As found", row.asLeft, "Changed"}));
        EXPECT_EQ(cellsOf(pdf, "Upper Limit"), row.upper);
        EXPECT_EQ(cellsOf(pdf, "Offset Correction"), row.offset);
        EXPECT_EQ(cellsOf(pdf, "Fault Signal On Sensor Break"), row.breakSignal);
        EXPECT_EQ(cellsOf(pdf, "Lower Limit"), (Cells{"Lower Limit", "-50", "-50"}));
        EXPECT_EQ(cellsOf(pdf, "Last write"), (Cells{"Last write", row.lastWrite}));
        EXPECT_EQ(cellsOf(pdf, "Firmware"),
                  (Cells{"Firmware", row.identityWord == 0x0205 ? "V05" : "V04"}));
        for (const Cells& detail :
             {Cells{"Model", "QTR-H"}, Cells{"Serial number", "12345678"},
              Cells{"Technician", "A. Chen"}, Cells{"Tag / loop", "TT-101"},
              Cells{"Location", "Boiler house"}, Cells{"Reference meter", "Fluke 87V"},
              Cells{"Notes", "first line"}}) {
            EXPECT_EQ(cellsOf(pdf, detail[0]), detail);
        }
        EXPECT_EQ(cellsOf(pdf, "Program").at(1).rfind("Kelvane ", 0), 0u);
        EXPECT_NE(cellsOf(pdf, "Date and time").at(1).find(" UTC"), std::string::npos);
        std::remove(pdf.c_str());
    }
}

// The record in each language, and the details: asked for at export, kept for the
// next record of the run, and a cancelled dialog writes nothing.
TEST_F(ConfigurationFiles, TheReportSpeaksTheCurrentLanguageAndKeepsTheDetailsGiven) {
    const std::string pdf = path + ".pdf";
    screen.setFileChooser([&pdf](bool) { return pdf; });
    screen.ExportReportClick();
    EXPECT_EQ(dialogs.texts(),
              std::vector<std::string>{"Read the device first: the record starts with a read"});
    readAndClearLog();
    std::vector<RecordDetails> offered;
    screen.setDetailsAsker([&offered](RecordDetails& details) {
        offered.push_back(details);
        if (details.technician.empty()) {
            details.technician = "陳志強";
            return true;
        }
        return false;
    });
    dialogs.entries.clear();
    screen.ExportReportClick();
    screen.ExportReportClick();
    ASSERT_EQ(offered.size(), 2u);
    EXPECT_EQ(offered[1].technician, "陳志強");
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"Record written to: " + pdf});
    screen.setDetailsAsker([](RecordDetails&) { return true; });
    const struct {
        void (TForm2::*language)();
        std::vector<std::string> shown;
    } rows[] = {
        {&TForm2::EnglishClick,
         {"Configuration record", "Technician", "陳志強", "nothing written"}},
        // pdftotext reads a few Han glyphs of the CJK font as their Kangxi radicals (入,
        // 高, 日): the words below avoid them.
        {&TForm2::TraditionalClick,
         {"設定紀錄", "型號", "序號", "讀出時", "完成時", "技術", "陳志強"}},
        {&TForm2::SimplifiedClick,
         {"设定纪录", "型号", "序号", "读出时", "完成时", "技术", "陳志強"}},
    };
    for (const auto& row : rows) {
        (screen.*row.language)();
        std::remove(pdf.c_str());
        screen.ExportReportClick();
#ifdef _WIN32
        // Under wine the Linux pdftotext cannot be started: the record is a PDF with
        // the language's font embedded, and the native run reads its text.
        std::ifstream written(pdf, std::ios::binary);
        std::string head(5, '\0');
        written.read(head.data(), 5);
        EXPECT_EQ(head, "%PDF-");
        continue;
#endif
        const std::string content = pdfText(pdf);
        for (const std::string& shown : row.shown) {
            EXPECT_NE(content.find(shown), std::string::npos) << shown << "\n" << content;
        }
    }
    std::remove(pdf.c_str());
}

TEST_F(ConfigurationFiles, APageFailingItsChecksIsNotSavedAndItsFieldsTurnRed) {
    readAndClearLog();
    ui().Edi4->setText("5000");
    screen.TraditionalClick();
    EXPECT_EQ(ui().OpenConfiguration1->text().toStdString(), "開啟設定檔...");
    EXPECT_EQ(ui().SaveConfiguration1->text().toStdString(), "儲存設定檔...");
    screen.SaveConfigurationClick();
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"部分欄位超出範圍,設定未儲存"});
    EXPECT_EQ(ui().Edi4->palette().color(QPalette::Base), QColor(255, 0, 0));
    EXPECT_FALSE(std::ifstream(path).good());
}

}  // namespace
}  // namespace kelvane::testing
