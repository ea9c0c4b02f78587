// The help file of each language, which the transmitter screen's help-contents
// operation opens by its bare name from the current directory on Windows, and the
// folder of each language's HTML manual (the help files' sources) elsewhere.
#pragma once

#include "i18n/message_choice.h"

namespace kelvane {

inline constexpr Texts kHelpFiles{"QTR-E.chm", "QTR-T.chm", "QTR-S.chm"};

constexpr const char* helpFileName(std::int16_t languageId) {
    return chooseText(languageId, kHelpFiles);
}

inline constexpr Texts kManualFolders{"en", "zh-TW", "zh-CN"};

constexpr const char* manualFolder(std::int16_t languageId) {
    return chooseText(languageId, kManualFolders);
}

}  // namespace kelvane
