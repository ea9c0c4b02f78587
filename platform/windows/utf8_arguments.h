// The command line as Windows holds it, in UTF-16, turned into UTF-8 arguments: the
// narrow argv of main() is in the ANSI code page, where a path under a folder named
// 王小明 on a Western Windows is lost. kelvane-cli.exe parses these instead.
#pragma once

#include <string>
#include <vector>

namespace kelvane {

// The program's arguments, its own name first, in UTF-8.
std::vector<std::string> utf8Arguments();

// `length` UTF-16 characters in the 8-bit code page `codePage` (CP_UTF8, CP_ACP).
std::string narrowText(const wchar_t* text, int length, unsigned codePage);

}  // namespace kelvane
