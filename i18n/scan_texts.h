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

// Why the adapter's device, which exists, could not be opened; %1 is the device. The
// advice on permission is each system's own; the manual names both.
inline constexpr Texts kCannotOpenPermissionWindows{
    "Cannot open %1: permission denied.\nAsk your administrator whether your account may use "
    "the adapter's COM port.",
    "無法開啟 %1: 權限不足。\n請向系統管理員確認您的帳號可否使用轉接器的 COM 埠。",
    "无法打开 %1: 权限不足。\n请向系统管理员确认您的账号可否使用转接器的 COM 端口。"};
inline constexpr Texts kCannotOpenPermissionLinux{
    "Cannot open %1: permission denied.\nAdd your user to the dialout group: sudo usermod -aG "
    "dialout $USER, then log in again.",
    "無法開啟 %1: 權限不足。\n請將您的帳號加入 dialout 群組: sudo usermod -aG dialout $USER,"
    "然後重新登入。",
    "无法打开 %1: 权限不足。\n请将您的账号加入 dialout 组: sudo usermod -aG dialout $USER,"
    "然后重新登录。"};
#ifdef _WIN32
inline constexpr const Texts& kCannotOpenPermission = kCannotOpenPermissionWindows;
#else
inline constexpr const Texts& kCannotOpenPermission = kCannotOpenPermissionLinux;
#endif
inline constexpr Texts kCannotOpenBusy{
    "Cannot open %1: another program is using it.\nClose that program, then press Start again.",
    "無法開啟 %1: 另一個程式正在使用。\n請關閉該程式,再按開始。",
    "无法打开 %1: 另一个程序正在使用。\n请关闭该程序,再按开始。"};

}  // namespace kelvane::scan_texts
