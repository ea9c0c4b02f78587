// What the help-contents operation opens for a language. On Windows it is the
// language's help file: by its bare name when the current folder holds it, as the
// shell then finds it there; else the one beside the program (a shortcut or a script
// that starts Kelvane elsewhere); else the bare name, which opens nothing, as a
// missing file always did. Elsewhere it is the start page of the language's HTML
// manual: the build tree's beside the program, else the installed one, else nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace kelvane {

struct HelpPlaces {
    bool windows = false;
    std::string currentFolder;
    std::string programFolder;
    std::function<bool(const std::string&)> exists;
};

std::optional<std::string> helpTarget(std::int16_t languageId, const HelpPlaces& places);

}  // namespace kelvane
