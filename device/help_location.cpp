#include "device/help_location.h"

#include "i18n/help_files.h"

namespace kelvane {

std::optional<std::string> helpTarget(std::int16_t languageId, const HelpPlaces& places) {
    if (places.windows) {
        const std::string name = helpFileName(languageId);
        if (places.exists(places.currentFolder + "\\" + name)) {
            return name;
        }
        const std::string besideProgram = places.programFolder + "\\" + name;
        return places.exists(besideProgram) ? besideProgram : name;
    }
    const std::string page = std::string(manualFolder(languageId)) + "/index.html";
    for (const char* root : {"/../manual/", "/../share/doc/kelvane/manual/"}) {
        const std::string path = places.programFolder + root + page;
        if (places.exists(path)) {
            return path;
        }
    }
    return std::nullopt;
}

}  // namespace kelvane
