// The transmitter screen's texts in the three languages: the caption catalogue the
// language routines apply to TForm2 (6 menu entries, 19 on the Configuration page,
// 38 on the calibration page) and the six status messages of its status label.
// TForm2 picks among them with chooseText.
#pragma once

#include <array>

#include "i18n/message_choice.h"

namespace kelvane::transmitter_texts {

// How a caption is put on its control.
enum class CaptionKind {
    Menu,   // a menu's title or a menu item's text
    Tab,    // the tab text of a page
    Frame,  // a group box's or radio group's frame title
    Text,   // a label's or button's caption
};

struct CaptionEntry {
    const char* control;  // the control's object name
    CaptionKind kind;
    Texts texts;
};

extern const std::array<CaptionEntry, 6> kMenuCaptions;
extern const std::array<CaptionEntry, 19> kConfigurationCaptions;
extern const std::array<CaptionEntry, 38> kCalibrationCaptions;

// Status messages of Lab83.
inline constexpr Texts kTransmission{"Transmission...", "傳輸中...", "传输中..."};
inline constexpr Texts kReadSuccess{"Read Success", "讀出成功", "读出成功"};
inline constexpr Texts kReadFail{"Read Fail", "讀出失敗", "读出失败"};
inline constexpr Texts kWriteSuccess{"Write Success", "寫入成功", "写入成功"};
inline constexpr Texts kWriteFail{"Write Fail", "寫入失敗", "写入失败"};
inline constexpr Texts kWriteMemoryFail{"Write Memory Fail", "寫入Memory失敗", "写入Memory失败"};

}  // namespace kelvane::transmitter_texts
