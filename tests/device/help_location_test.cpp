// Where Help Contents, F1 and View > Manual find the help of each language.
#include "device/help_location.h"

#include <gtest/gtest.h>

#include <set>

#include "link/program_state.h"

namespace kelvane {
namespace {

TEST(HelpLocation, TheHelpOfALanguageIsWhereTheSystemKeepsIt) {
    const struct {
        const char* what;
        bool windows;
        std::int16_t language;
        const char* programFolder;
        std::set<std::string> files;
        std::optional<std::string> target;
    } rows[] = {
        {"Windows, the current folder holds it: the bare name, as the shell finds it there",
         true,
         kLanguageTraditionalChinese,
         "C:\\Program Files\\Kelvane",
         {"C:\\Users\\tech\\QTR-T.chm"},
         "QTR-T.chm"},
        {"Windows, started elsewhere: the one beside the program",
         true,
         kLanguageSimplifiedChinese,
         "D:\\王小明\\Kelvane",
         {"D:\\王小明\\Kelvane\\QTR-S.chm"},
         "D:\\王小明\\Kelvane\\QTR-S.chm"},
        {"Windows, none at all: the bare name, which opens nothing",
         true,
         kLanguageEnglish,
         "C:\\Program Files\\Kelvane",
         {"C:\\Program Files\\Kelvane\\QTR-T.chm"},
         "QTR-E.chm"},
        {"Linux, the build tree beside the program",
         false,
         kLanguageTraditionalChinese,
         "/src/build/app",
         {"/src/build/app/../manual/zh-TW/index.html",
          "/src/build/app/../share/doc/kelvane/manual/zh-TW/index.html"},
         "/src/build/app/../manual/zh-TW/index.html"},
        {"Linux, installed",
         false,
         kLanguageSimplifiedChinese,
         "/usr/bin",
         {"/usr/bin/../share/doc/kelvane/manual/zh-CN/index.html"},
         "/usr/bin/../share/doc/kelvane/manual/zh-CN/index.html"},
        {"Linux, another language's manual only: nothing",
         false,
         7,
         "/src/build/app",
         {"/src/build/app/../manual/zh-CN/index.html"},
         std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        HelpPlaces places;
        places.windows = row.windows;
        places.currentFolder = row.windows ? "C:\\Users\\tech" : "/home/tech";
        places.programFolder = row.programFolder;
        places.exists = [&](const std::string& path) { return row.files.count(path) > 0; };
        EXPECT_EQ(helpTarget(row.language, places), row.target);
    }
}

}  // namespace
}  // namespace kelvane
