#include "platform/windows/help_contents.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <shellapi.h>

#include "i18n/help_files.h"

namespace kelvane {

void openHelpContents(std::int16_t languageId) {
    ShellExecuteA(nullptr, "open", helpFileName(languageId), nullptr, nullptr, SW_SHOWMAXIMIZED);
}

}  // namespace kelvane
