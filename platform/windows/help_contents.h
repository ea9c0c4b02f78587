// The transmitter screen's Help Contents on Windows: the shell opens the help file,
// by its bare name when the current directory holds it (device/help_location.h).
#pragma once

#include <string>

namespace kelvane {

// Opens `target` (UTF-8) maximized; whether the shell could is not checked.
void openHelpContents(const std::string& target);

}  // namespace kelvane
