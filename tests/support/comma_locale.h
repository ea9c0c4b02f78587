// Puts the process under a comma-decimal locale (German) for the length of a scope,
// building it with localedef into a temporary folder when the system lacks it, so
// that tests can show numbers never follow the operating system's locale.
#pragma once

#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace kelvane::testing {

class CommaLocale {
  public:
    CommaLocale() {
        previous_ = std::setlocale(LC_ALL, nullptr);
#ifdef _WIN32
        // The C runtime of Windows carries every locale under its own name.
        std::setlocale(LC_ALL, "German_Germany.1252");
#else
        if (std::setlocale(LC_ALL, kName) == nullptr) {
            // One folder per process: test programs run side by side.
            folder_ = std::filesystem::temp_directory_path() /
                      ("kelvane-locales-" + std::to_string(getpid()));
            const auto& folder = folder_;
            std::filesystem::create_directories(folder);
            const std::string command =
                "localedef -i de_DE -f UTF-8 " + (folder / kName).string() + " >/dev/null 2>&1";
            [[maybe_unused]] const int built = std::system(command.c_str());
            setenv("LOCPATH", folder.c_str(), 1);
            std::setlocale(LC_ALL, kName);
        }
#endif
    }
    ~CommaLocale() {
        std::setlocale(LC_ALL, previous_.c_str());
#ifndef _WIN32
        if (!folder_.empty()) {
            unsetenv("LOCPATH");
            std::error_code ignored;
            std::filesystem::remove_all(folder_, ignored);
        }
#endif
    }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    // True when the C library now writes a decimal comma.
    static bool active() {
        return std::localeconv()->decimal_point == std::string(",");
    }

  private:
    static constexpr const char* kName = "de_DE.UTF-8";
    std::string previous_;
    std::filesystem::path folder_;
};

}  // namespace kelvane::testing
