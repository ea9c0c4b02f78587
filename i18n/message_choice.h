// How every language-dependent text is picked: language id 1028 gives the
// Traditional Chinese text, otherwise 2052 the Simplified Chinese text, otherwise
// the English text. Texts are UTF-8 here; the screens hand them to Qt as such.
#pragma once

#include <cstdint>

#include "link/program_state.h"

namespace kelvane {

struct Texts {
    const char* english;
    const char* traditional;
    const char* simplified;
};

constexpr const char* chooseText(std::int16_t languageId, const Texts& texts) {
    if (languageId == kLanguageTraditionalChinese) {
        return texts.traditional;
    }
    if (languageId == kLanguageSimplifiedChinese) {
        return texts.simplified;
    }
    return texts.english;
}

}  // namespace kelvane
