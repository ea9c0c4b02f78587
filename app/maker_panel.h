// The maker's picture and six lines (Chinese name, English name, address, telephone
// and fax, web, e-mail) that the splash screen (TForm8) and the About screen (TForm9)
// both show.
#pragma once

#include <QWidget>
#include <array>

namespace kelvane {

inline constexpr std::array<const char*, 6> kMakerLines = {
    "凱維恩儀器股份有限公司",
    "Kelvane Instruments Co., Ltd.",
    "No. 18, Lane 52, Gongye 3rd Rd., Xitun Dist., Taichung 40768, Taiwan",
    "Tel: +886-4-2358-1420    Fax: +886-4-2358-1421",
    "Web: www.kelvane.com.tw",
    "E-mail: service@kelvane.com.tw",
};

// Fills `window` with the logo (169 × 97) at the top and the six lines below it.
void addMakerPanel(QWidget& window);

}  // namespace kelvane
