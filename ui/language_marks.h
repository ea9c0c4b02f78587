// What the screens do alike when the language changes: the Language menu's check
// mark on the chosen language's item, and the font fallback that keeps Han
// characters in the chosen Chinese's own forms. The Scan screen, the transmitter
// screen and the other families' screens use these.
#pragma once

#include <QAction>
#include <QFont>
#include <QStringList>
#include <QWidget>
#include <cstdint>

#include "link/program_state.h"

namespace kelvane {

// Any language id other than the two Chinese ones is English.
inline void checkLanguageItem(QAction& english, QAction& traditional, QAction& simplified,
                              std::int16_t languageId) {
    const bool isTraditional = languageId == kLanguageTraditionalChinese;
    const bool isSimplified = languageId == kLanguageSimplifiedChinese;
    english.setChecked(!isTraditional && !isSimplified);
    traditional.setChecked(isTraditional);
    simplified.setChecked(isSimplified);
}

// Han characters have different forms in Traditional and Simplified Chinese, and the
// system's fallback picks them by the locale; naming the language's own font after
// the design's keeps each language in its forms without changing the design font.
inline void useHanForms(QWidget& widget, QStringList families, std::int16_t languageId) {
    if (languageId == kLanguageTraditionalChinese) {
        families << "Noto Sans CJK TC";
    } else if (languageId == kLanguageSimplifiedChinese) {
        families << "Noto Sans CJK SC";
    }
    QFont font = widget.font();
    font.setFamilies(families);
    widget.setFont(font);
}

}  // namespace kelvane
