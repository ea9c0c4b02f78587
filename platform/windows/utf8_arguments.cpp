#include "platform/windows/utf8_arguments.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <shellapi.h>

#include <cwchar>

namespace kelvane {

std::string narrowText(const wchar_t* text, int length, unsigned codePage) {
    if (length <= 0) {
        return {};
    }
    const int size = WideCharToMultiByte(codePage, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string converted(size > 0 ? size : 0, '\0');
    WideCharToMultiByte(codePage, 0, text, length, converted.data(), size, nullptr, nullptr);
    return converted;
}

std::vector<std::string> utf8Arguments() {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> converted;
    if (arguments == nullptr) {
        return converted;
    }
    for (int i = 0; i < count; ++i) {
        converted.push_back(
            narrowText(arguments[i], static_cast<int>(std::wcslen(arguments[i])), CP_UTF8));
    }
    LocalFree(arguments);
    return converted;
}

}  // namespace kelvane
