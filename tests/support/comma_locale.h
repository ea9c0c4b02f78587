// Puts the process under a comma-decimal locale (German) for the length of a scope,
// building it with localedef into a temporary folder when the system lacks it, so
// that tests can show numbers never follow the operating system's locale.
#pragma once

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace kelvane::testing {

class CommaLocale {
  public:
    CommaLocale() {
        previous_ = std::setlocale(LC_ALL, nullptr);
        if (std::setlocale(LC_ALL, kName) == nullptr) {
            const auto folder = std::filesystem::temp_directory_path() / "kelvane-locales";
            std::filesystem::create_directories(folder);
            const std::string command =
                "localedef -i de_DE -f UTF-8 " + (folder / kName).string() + " >/dev/null 2>&1";
            [[maybe_unused]] const int built = std::system(command.c_str());
            setenv("LOCPATH", folder.c_str(), 1);
            std::setlocale(LC_ALL, kName);
        }
    }
    ~CommaLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    // True when the C library now writes a decimal comma.
    static bool active() { return std::localeconv()->decimal_point == std::string(","); }

  private:
    static constexpr const char* kName = "de_DE.UTF-8";
    std::string previous_;
};

}  // namespace kelvane::testing
