// The maker's lines, the same in every language: its name in Chinese and English,
// postal address, telephone and fax, web and e-mail. The splash and About screens
// show all six; the transmitter screen's title is the English name.
#pragma once

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

inline constexpr const char* kMakerName = kMakerLines[1];

}  // namespace kelvane
