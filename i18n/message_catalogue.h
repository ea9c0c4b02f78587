// Every status and message text the program and kelvane-cli's shared rules can show,
// by name, for the manual: its troubleshooting pages explain each one, in each
// language. The captions (titles, labels, menu items) are not here.
#pragma once

#include <array>

#include "i18n/message_choice.h"

namespace kelvane {

struct CatalogueMessage {
    const char* name;
    const Texts& texts;
};

extern const std::array<CatalogueMessage, 54> kMessageCatalogue;

}  // namespace kelvane
