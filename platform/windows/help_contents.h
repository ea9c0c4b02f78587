// The transmitter screen's Help Contents: the shell opens the language's help file
// by its bare name, so Windows finds it in the current directory.
#pragma once

#include <cstdint>

namespace kelvane {

// Opens the help file of `languageId` maximized; whether the shell could is not checked.
void openHelpContents(std::int16_t languageId);

}  // namespace kelvane
