// What reading, checking and comparing a configuration file says, in the three
// languages: %1 is the file's field name ("upper"), %2 the value the file or device
// has, %3 what the field allows or the other value. kelvane-cli says the English ones.
#pragma once

#include "i18n/message_choice.h"

namespace kelvane::file_texts {

inline constexpr Texts kNotJson{"not JSON: %3", "不是 JSON: %3", "不是 JSON: %3"};
inline constexpr Texts kNotAnObject{"a JSON object with the configuration's fields is wanted",
                                    "需要含設定欄位的 JSON 物件", "需要含设定栏位的 JSON 对象"};
inline constexpr Texts kNewerFormat{
    "the file was made by a newer Kelvane (format %2; this Kelvane reads formats 1 to %3)",
    "此檔案由較新版的 Kelvane 建立 (格式 %2;此版本可讀格式 1 至 %3)",
    "此文件由较新版的 Kelvane 建立 (格式 %2;此版本可读格式 1 至 %3)"};
inline constexpr Texts kFormatWanted{"format: a whole number from 1 is wanted",
                                     "format: 需要 1 以上的整數", "format: 需要 1 以上的整数"};
inline constexpr Texts kUnknownField{"unknown field \"%1\"", "未知欄位 \"%1\"", "未知栏位 \"%1\""};
inline constexpr Texts kMissingField{"missing field \"%1\"", "缺少欄位 \"%1\"", "缺少栏位 \"%1\""};
inline constexpr Texts kTextWanted{"%1: a text is wanted", "%1: 需要文字", "%1: 需要文字"};
inline constexpr Texts kTextWantedOneOf{"%1: a text is wanted, one of %3", "%1: 需要文字,可為 %3",
                                        "%1: 需要文字,可为 %3"};
inline constexpr Texts kNotOneOf{"%1: %2 is not one of %3", "%1: %2 不是 %3 之一",
                                 "%1: %2 不是 %3 之一"};
inline constexpr Texts kNumberWanted{"%1: a number is wanted", "%1: 需要數字", "%1: 需要数字"};
// %2 and %3: the lowest and highest whole number allowed.
inline constexpr Texts kWholeNumberWanted{"%1: a whole number from %2 to %3 is wanted",
                                          "%1: 需要 %2 至 %3 的整數", "%1: 需要 %2 至 %3 的整数"};
// An entry of read's array for a port whose read failed: %2 the port, %3 why.
inline constexpr Texts kFailedRead{"no configuration: the read on %2 failed (%3)",
                                   "沒有設定: %2 讀出失敗 (%3)", "没有设定: %2 读出失败 (%3)"};
inline constexpr Texts kCannotRead{"cannot read %2", "無法讀取 %2", "无法读取 %2"};
inline constexpr Texts kNotAnInputType{"input: not an input type", "input: 不是輸入類型",
                                       "input: 不是输入类型"};
inline constexpr Texts kOutside{"%1: %2 is outside %3", "%1: %2 超出 %3", "%1: %2 超出 %3"};
inline constexpr Texts kNotANumber{"%1: '%2' is not a number", "%1: '%2' 不是數字",
                                   "%1: '%2' 不是数字"};
// %2: the device's firmware version.
inline constexpr Texts kCutNeedsV04{"break: \"Cut\" needs firmware V04 or later; the device has %2",
                                    "break: \"Cut\" 需要韌體 V04 或更新;此裝置為 %2",
                                    "break: \"Cut\" 需要固件 V04 或更新;此装置为 %2"};
inline constexpr Texts kNoVoltageOrCurrent{"input: a QTN-H has no voltage or current input",
                                           "input: QTN-H 沒有電壓或電流輸入",
                                           "input: QTN-H 没有电压或电流输入"};
// %2: the file's model, %3: the device's.
inline constexpr Texts kAnotherModel{"model: the file was read from a %2, the device is a %3",
                                     "model: 此設定檔讀自 %2,裝置為 %3",
                                     "model: 此设定档读自 %2,装置为 %3"};
// A field where writing the file would change the device: %2 the device's value, %3 the
// file's.
inline constexpr Texts kDiffers{"%1: device %2, file %3", "%1: 裝置 %2,設定檔 %3",
                                "%1: 装置 %2,设定档 %3"};

}  // namespace kelvane::file_texts
