// What the transmitter screen asks of the rest of the program: end it, show the
// About screen, go back to the Scan screen and scan, re-apply the current language
// or choose another.
// The application shell wires these when it creates the windows.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace kelvane {

struct ScreenHooks {
    std::function<void()> closeMainWindow;
    std::function<void()> showAbout;
    // Shows the Scan screen and runs its Start exactly as if the user pressed it.
    std::function<void()> startScan;
    // Runs the language routine that belongs to the current language id.
    std::function<void()> applyCurrentLanguage;
    // Runs the language routine of a language id (50, 1028, 2052) on every screen;
    // the transmitter screen's Language items call it.
    std::function<void(std::int16_t)> chooseLanguage;
    // The output current of --simulate's transmitter, as a meter would read it; empty
    // (or nothing) without one.
    std::function<std::optional<double>()> simulatedMeter;
};

}  // namespace kelvane
