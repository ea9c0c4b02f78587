// How every language-dependent text is picked: language id 1028 gives the
// Traditional Chinese text, otherwise 2052 the Simplified Chinese text, otherwise
// the English text. Texts are UTF-8 here; the screens hand them to Qt as such.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

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

// A text with its marks %1 … %9 replaced by the parts, in one pass: a part that holds
// "%2" stays as it is. A mark without a part is left out.
inline std::string fillText(const char* pattern, std::initializer_list<std::string> parts) {
    std::string text;
    for (const char* at = pattern; *at != '\0'; ++at) {
        if (at[0] == '%' && at[1] >= '1' && at[1] <= '9') {
            const std::size_t index = static_cast<std::size_t>(at[1] - '1');
            if (index < parts.size()) {
                text += *(parts.begin() + index);
            }
            ++at;
        } else {
            text += *at;
        }
    }
    return text;
}

}  // namespace kelvane
