// Paths as the programs hold them, in UTF-8 text (from Qt's file dialogs, from the
// command line), turned into paths the file system takes: UTF-16 on Windows, where a
// narrow path would be read in the ANSI code page and a folder named 王小明 missed.
#pragma once

#include <filesystem>
#include <string>

namespace kelvane {

inline std::filesystem::path pathFromUtf8(const std::string& utf8) {
    return std::filesystem::u8path(utf8);
}

}  // namespace kelvane
