// The manual of each language, as built: its troubleshooting page names every status
// and message of the program in that language (so that a new message cannot be left
// out), every text of the catalogues is either such a message or a caption, and every
// link and picture of every page resolves.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "i18n/help_files.h"
#include "i18n/message_catalogue.h"
#include "i18n/scan_texts.h"
#include "i18n/transmitter_texts.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

const std::int16_t kLanguages[] = {kLanguageEnglish, kLanguageTraditionalChinese,
                                   kLanguageSimplifiedChinese};

std::string readFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

fs::path languageFolder(std::int16_t language) {
    return fs::path(KELVANE_MANUAL_DIR) / manualFolder(language);
}

// A page's text as a reader sees it: no tags, entities decoded, spaces collapsed.
std::string readerText(std::string html) {
    html = std::regex_replace(html, std::regex("<[^>]*>"), "");
    for (const auto& [entity, character] : {std::pair{"&lt;", "<"}, std::pair{"&gt;", ">"},
                                            std::pair{"&quot;", "\""}, std::pair{"&amp;", "&"}}) {
        for (auto at = html.find(entity); at != std::string::npos; at = html.find(entity, at + 1)) {
            html.replace(at, std::string(entity).size(), character);
        }
    }
    return std::regex_replace(html, std::regex("\\s+"), " ");
}

// The parts of a message around its marks (%1 …) and line breaks.
std::vector<std::string> fixedParts(const std::string& message) {
    std::vector<std::string> parts;
    std::stringstream pieces(std::regex_replace(message, std::regex("%[1-9]|\n"), "\x1f"));
    for (std::string part; std::getline(pieces, part, '\x1f');) {
        part = std::regex_replace(part, std::regex("^\\s+|\\s+$"), "");
        if (!part.empty()) {
            parts.push_back(std::regex_replace(part, std::regex("\\s+"), " "));
        }
    }
    return parts;
}

TEST(Manual, TroubleshootingNamesEveryMessageInItsLanguage) {
    // The serial port's own messages are English in every language.
    const char* linkMessages[] = {"Error in GetCommState", "Error in BuildCommDCB",
                                  "Error in SetCommState"};
    for (const std::int16_t language : kLanguages) {
        const std::string page =
            readerText(readFile(languageFolder(language) / "troubleshooting.html"));
        ASSERT_FALSE(page.empty()) << manualFolder(language);
        for (const CatalogueMessage& message : kMessageCatalogue) {
            for (const std::string& part : fixedParts(chooseText(language, message.texts))) {
                EXPECT_NE(page.find(part), std::string::npos)
                    << manualFolder(language) << ": " << message.name << ": \"" << part << '"';
            }
        }
        for (const char* message : linkMessages) {
            EXPECT_NE(page.find(message), std::string::npos) << manualFolder(language);
        }
    }
}

// A C++ string literal's text, its escapes read.
std::string literalText(const std::string& literal) {
    std::string text;
    for (std::size_t i = 0; i < literal.size(); ++i) {
        if (literal[i] == '\\' && i + 1 < literal.size()) {
            ++i;
            text += literal[i] == 'n' ? '\n' : literal[i];
        } else {
            text += literal[i];
        }
    }
    return text;
}

bool startsWith(const std::string& text, const std::string& start) {
    return text.compare(0, start.size(), start) == 0;
}

// Every text of the catalogues is a message the manual explains or a caption: a new
// text fails here until it is one or the other.
TEST(Manual, EveryCatalogueTextIsAMessageOrACaption) {
    namespace tx = transmitter_texts;
    std::vector<const Texts*> known;
    for (const CatalogueMessage& message : kMessageCatalogue) {
        known.push_back(&message.texts);
    }
    const auto addCaptions = [&known](const auto& table) {
        for (const tx::CaptionEntry& entry : table) {
            known.push_back(&entry.texts);
        }
    };
    addCaptions(tx::kMenuCaptions);
    addCaptions(tx::kConfigurationFileCaptions);
    addCaptions(tx::kViewCaptions);
    addCaptions(tx::kConfigurationCaptions);
    addCaptions(tx::kCalibrationCaptions);
    // Titles, labels, buttons, the record's headings and the help files' names.
    const Texts* captions[] = {
        &scan_texts::kTitle,
        &scan_texts::kStartButton,
        &scan_texts::kFileMenu,
        &scan_texts::kExitItem,
        &scan_texts::kLanguageMenu,
        &scan_texts::kAboutMenu,
        &tx::trend::kTitle,
        &tx::trend::kSaveCsv,
        &tx::report::kTitle,
        &tx::report::kModel,
        &tx::report::kFirmware,
        &tx::report::kSerial,
        &tx::report::kDateTime,
        &tx::report::kField,
        &tx::report::kAsFound,
        &tx::report::kAsLeft,
        &tx::report::kAsLeftNotStored,
        &tx::report::kChanged,
        &tx::report::kTrim4mA,
        &tx::report::kTrim20mA,
        &tx::report::kLastWrite,
        &tx::report::kNothingWritten,
        &tx::report::kDetailsTitle,
        &tx::report::kTechnician,
        &tx::report::kTag,
        &tx::report::kLocation,
        &tx::report::kReferenceMeter,
        &tx::report::kNotes,
        &tx::report::kProgram,
        &tx::report::kDialogOk,
        &tx::report::kDialogCancel,
        &tx::meter::kTitle,
        &tx::meter::kPoint,
        &tx::meter::kMeter,
        &tx::meter::kReading,
        &tx::meter::kTolerance,
        &tx::meter::kEnter,
        &tx::meter::kDone,
        &tx::meter::kStep,
        &tx::meter::kSimulatedMeter,
        &tx::meter::kRecordRow,
        &kHelpFiles,
        &kManualFolders,
    };
    known.insert(known.end(), std::begin(captions), std::end(captions));

    const std::regex declaration(R"re(constexpr Texts (k\w+)\s*\{\s*"((?:[^"\\]|\\.)*)")re");
    int declarations = 0;
    for (const auto& file : fs::directory_iterator(fs::path(KELVANE_SOURCE_DIR) / "i18n")) {
        if (file.path().extension() != ".h") {
            continue;
        }
        const std::string source = readFile(file.path());
        for (auto it = std::sregex_iterator(source.begin(), source.end(), declaration);
             it != std::sregex_iterator(); ++it) {
            ++declarations;
            const std::string start = literalText((*it)[2]);
            const bool classified = std::any_of(known.begin(), known.end(), [&](const Texts* t) {
                return startsWith(t->english, start);
            });
            EXPECT_TRUE(classified) << file.path().filename() << ": " << (*it)[1]
                                    << " is neither in the message catalogue nor a caption";
        }
    }
    EXPECT_GT(declarations, 90);
}

TEST(Manual, EveryLinkAndPictureOfEveryPageResolves) {
    const std::regex reference(R"re((?:href|src)="([^"]*)")re");
    std::set<std::string> englishPages;
    for (const std::int16_t language : kLanguages) {
        SCOPED_TRACE(manualFolder(language));
        const fs::path folder = languageFolder(language);
        std::set<std::string> pages;
        for (const auto& file : fs::directory_iterator(folder)) {
            if (file.path().extension() == ".html") {
                pages.insert(file.path().filename().string());
            }
        }
        if (language == kLanguageEnglish) {
            englishPages = pages;
            EXPECT_GE(pages.size(), 11u);
        }
        EXPECT_EQ(pages, englishPages) << "every language has the same pages";
        for (const std::string& page : pages) {
            const std::string html = readFile(folder / page);
            for (auto it = std::sregex_iterator(html.begin(), html.end(), reference);
                 it != std::sregex_iterator(); ++it) {
                const std::string target = (*it)[1];
                if (startsWith(target, "http://") || startsWith(target, "https://")) {
                    continue;
                }
                const std::size_t hash = target.find('#');
                const fs::path file = folder / (hash == 0 ? page : target.substr(0, hash));
                EXPECT_TRUE(fs::is_regular_file(file)) << page << ": " << target;
                if (hash != std::string::npos && fs::is_regular_file(file)) {
                    const std::string linked = readFile(file);
                    EXPECT_NE(linked.find("id=\"" + target.substr(hash + 1) + "\""),
                              std::string::npos)
                        << page << ": " << target;
                }
            }
        }
    }
}

}  // namespace
}  // namespace kelvane
