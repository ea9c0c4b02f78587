// A screen that the language routines re-caption: each one sets its catalogue
// captions and the check marks of its Language menu for the chosen language id.
#pragma once

#include <cstdint>

namespace kelvane {

class LanguageAware {
  public:
    virtual ~LanguageAware() = default;
    virtual void applyLanguage(std::int16_t languageId) = 0;
};

}  // namespace kelvane
