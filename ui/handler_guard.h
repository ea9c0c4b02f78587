// The one guard every event handler runs through: a conversion error (text that is
// not a number) ends the handler and is shown in the application's error box, as
// the platform's default handler would; exceptions never cross a Qt signal.
#pragma once

#include <exception>
#include <utility>

#include "device/number_text.h"
#include "link/dialog_service.h"

namespace kelvane {

template <class Handler>
void guarded(DialogService& dialogs, Handler&& handler) {
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception& error) {
        // ConversionError among them: its text is the platform's own wording.
        dialogs.showError(error.what());
    }
}

}  // namespace kelvane
