// The Scan screen's texts in the three languages: its captions (window title,
// status label, Start button, File, Exit, Language, About) and the status messages
// of the scan and the probe. TForm3 picks among them with chooseText.
#pragma once

#include "i18n/message_choice.h"

namespace kelvane::scan_texts {

// Captions the language routines set on the Scan screen.
inline constexpr Texts kTitle{"Scan", "掃描", "扫描"};
inline constexpr Texts kPressStart{"Press Start", "請按開始", "请按开始"};
inline constexpr Texts kStartButton{"Start", "開始", "开始"};
inline constexpr Texts kFileMenu{"File", "檔案&", "文件&"};
inline constexpr Texts kExitItem{"Exit", "離開&", "离开&"};
inline constexpr Texts kLanguageMenu{"Language", "語言&", "语言&"};
inline constexpr Texts kAboutMenu{"Help", "Help", "Help"};

// Status messages of the scan and the probe.
inline constexpr Texts kScanning{"Scan...", "掃描...", "扫描..."};
inline constexpr Texts kCommunicationError{"Communication Error", "通訊錯誤", "通讯错误"};
inline constexpr Texts kDeviceNotFound{"Device Not Found", "找不到裝置", "找不到装置"};
// An adapter was found, but Windows reports its driver as not working; %1 is the
// device's problem code (10: the device cannot start, 28: no driver installed).
inline constexpr Texts kDriverNotWorking{
    "Driver not working (code %1)", "驅動程式無法運作 (代碼 %1)", "驱动程序无法工作 (代码 %1)"};

}  // namespace kelvane::scan_texts
