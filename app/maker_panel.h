// The maker's picture and six lines (Chinese name, English name, address, telephone
// and fax, web, e-mail) that the splash screen (TForm8) and the About screen (TForm9)
// both show.
#pragma once

#include <QWidget>

#include "i18n/maker_texts.h"

namespace kelvane {

// Fills `window` with the logo (169 × 97) at the top and the six lines below it.
void addMakerPanel(QWidget& window);

}  // namespace kelvane
