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
// The File menu's configuration-file items, above Exit.
extern const std::array<CaptionEntry, 4> kConfigurationFileCaptions;

// What opening and saving a configuration file says.
// Open leaves the trim counts as they are: only the trim controls write them.
inline constexpr Texts kFileLoaded{
    "Configuration loaded from the file (trim counts not loaded): Write To Device sends it",
    "已載入設定檔(未載入調校值),按寫入送到裝置", "已载入设定档(未载入调校值),按写入送到装置"};

inline constexpr Texts kFileSaved{"Configuration saved", "設定已儲存", "设定已储存"};
inline constexpr Texts kCannotOpenFile{"Cannot open the configuration file", "無法開啟設定檔",
                                       "无法打开设定档"};
inline constexpr Texts kCannotSaveFields{
    "Some fields are outside their range: the configuration was not saved",
    "部分欄位超出範圍,設定未儲存", "部分栏位超出范围,设定未储存"};
inline constexpr Texts kDifferences{
    "The device differs from the file:", "裝置與設定檔不同:", "装置与设定档不同:"};
inline constexpr Texts kNoDifferences{"no differences", "沒有差異", "没有差异"};
// The View menu and the measuring value trend window.
extern const std::array<CaptionEntry, 4> kViewCaptions;
namespace trend {
inline constexpr Texts kTitle{"Measuring Value Trend", "量測值趨勢圖", "量测值趋势图"};
inline constexpr Texts kSaveCsv{"Save CSV...", "儲存 CSV...", "保存 CSV..."};
}  // namespace trend

// The configuration record that Export Report writes.
namespace report {
inline constexpr Texts kTitle{"Configuration record", "設定紀錄", "设定纪录"};
inline constexpr Texts kModel{"Model", "型號", "型号"};
inline constexpr Texts kFirmware{"Firmware", "韌體版本", "固件版本"};
inline constexpr Texts kSerial{"Serial number", "序號", "序号"};
inline constexpr Texts kDateTime{"Date and time", "日期時間", "日期时间"};
inline constexpr Texts kField{"Field", "項目", "项目"};
inline constexpr Texts kAsFound{"As found", "讀出時", "读出时"};
inline constexpr Texts kAsLeft{"As left", "完成時", "完成时"};
inline constexpr Texts kAsLeftNotStored{"As left (not stored)", "完成時 (未儲存)",
                                        "完成时 (未储存)"};
inline constexpr Texts kChanged{"Changed", "已變更", "已变更"};
inline constexpr Texts kTrim4mA{"4 mA trim count", "4mA 調整值", "4mA 调整值"};
inline constexpr Texts kTrim20mA{"20 mA trim count", "20mA 調整值", "20mA 调整值"};
inline constexpr Texts kLastWrite{"Last write", "最後寫入", "最后写入"};
inline constexpr Texts kNothingWritten{"nothing written", "未寫入", "未写入"};
inline constexpr Texts kStoreNotAsked{"Write Success (store not reported: firmware V04 or earlier)",
                                      "寫入成功 (韌體 V04 或更早不回報儲存)",
                                      "写入成功 (固件 V04 或更早不回报储存)"};
// %1: how many of the seven writes the device confirmed before one failed.
inline constexpr Texts kWriteFailAfter{"Write Fail after %1 of 7 writes",
                                       "寫入失敗 (7 項中已寫入 %1 項)",
                                       "写入失败 (7 项中已写入 %1 项)"};
// The record's details, asked for at export and kept for this run only.
inline constexpr Texts kDetailsTitle{"Configuration record details", "設定紀錄資料",
                                     "设定纪录资料"};
inline constexpr Texts kTechnician{"Technician", "技術人員", "技术人员"};
inline constexpr Texts kTag{"Tag / loop", "位號 / 迴路", "位号 / 回路"};
inline constexpr Texts kLocation{"Location", "地點", "地点"};
inline constexpr Texts kReferenceMeter{"Reference meter", "參考電表", "参考电表"};
inline constexpr Texts kNotes{"Notes", "備註", "备注"};
inline constexpr Texts kProgram{"Program", "程式", "程序"};
inline constexpr Texts kRecordWritten{"Record written to", "紀錄已寫入", "纪录已写入"};
inline constexpr Texts kDialogOk{"OK", "確定", "确定"};
inline constexpr Texts kDialogCancel{"Cancel", "取消", "取消"};
inline constexpr Texts kReadFirst{"Read the device first: the record starts with a read",
                                  "請先讀出裝置設定", "请先读出装置设定"};
}  // namespace report
inline constexpr Texts kSequenceRunning{
    "Wait until the running exchange ends, or stop the measurement",
    "請等待目前的傳輸結束,或停止量測", "请等待目前的传输结束,或停止量测"};
// A record or a trend's CSV that cannot be written (a PDF still open in a reader).
inline constexpr Texts kCannotWriteAFile{"Cannot write the file", "無法寫入檔案", "无法写入文件"};
inline constexpr Texts kCannotWriteFile{"Cannot write the configuration file", "無法寫入設定檔",
                                        "无法写入设定档"};

// The trim assistant (View > Trim With Meter...): %1, %2 and %3 as each text says.
namespace meter {
inline constexpr Texts kTitle{"Trim With Meter", "以電表調校", "以电表调校"};
inline constexpr Texts kPoint{"Point", "調校點", "调校点"};
inline constexpr Texts kMeter{"Meter", "電表", "电表"};
inline constexpr Texts kReading{"Meter reading (mA)", "電表讀值 (mA)", "电表读值 (mA)"};
inline constexpr Texts kTolerance{"Tolerance (mA)", "容許誤差 (mA)", "容许误差 (mA)"};
inline constexpr Texts kEnter{"Enter", "輸入", "输入"};
inline constexpr Texts kDone{"Done", "完成", "完成"};
inline constexpr Texts kChoosePoint{"Choose 4 mA or 20 mA, then enter the meter's reading",
                                    "請選擇 4 mA 或 20 mA,再輸入電表讀值",
                                    "请选择 4 mA 或 20 mA,再输入电表读值"};
// %1 the count on the output when a point is chosen.
inline constexpr Texts kReadingAt{"Enter the meter's reading at count %1",
                                  "請輸入調整值 %1 的電表讀值", "请输入调整值 %1 的电表读值"};
// %1 the count on the output, %2 the reading, %3 its error.
inline constexpr Texts kStep{"count %1   reading %2 mA   error %3 mA",
                             "調整值 %1   讀值 %2 mA   誤差 %3 mA",
                             "调整值 %1   读值 %2 mA   误差 %3 mA"};
// %1 the count written for the next reading.
inline constexpr Texts kWritten{"count %1 written: enter the new reading",
                                "已寫入調整值 %1,請輸入新讀值", "已写入调整值 %1,请输入新读值"};
// %1 the tolerance, %2 the count.
inline constexpr Texts kWithin{"Within %1 mA at count %2: the next point, or Done",
                               "誤差在 %1 mA 以內 (調整值 %2): 請調校下一點或按完成",
                               "误差在 %1 mA 以内 (调整值 %2): 请调校下一点或按完成"};
inline constexpr Texts kNotAReading{"'%1' is not a reading in mA: nothing was written",
                                    "'%1' 不是 mA 讀值: 未寫入", "'%1' 不是 mA 读值: 未写入"};
inline constexpr Texts kTooFarOff{
    "A reading of %1 mA gives no count within 0 … 32767: nothing was written. Check the meter "
    "and its range.",
    "讀值 %1 mA 無法得到 0 … 32767 內的調整值: 未寫入。請檢查電表及其檔位。",
    "读值 %1 mA 无法得到 0 … 32767 内的调整值: 未写入。请检查电表及其档位。"};
inline constexpr Texts kReadFirst{
    "Read the device first: the assistant starts from its trim counts",
    "請先讀出裝置設定: 調校由其調整值開始", "请先读出装置设定: 调校由其调整值开始"};
inline constexpr Texts kSimulatedMeter{"Simulated meter: %1 mA", "模擬電表: %1 mA",
                                       "模拟电表: %1 mA"};
// The configuration record's rows of the meter's readings; %1 is "4 mA" or "20 mA".
inline constexpr Texts kRecordRow{"%1 output (meter, mA)", "%1 輸出 (電表, mA)",
                                  "%1 输出 (电表, mA)"};
}  // namespace meter

// Status messages of Lab83.
inline constexpr Texts kTransmission{"Transmission...", "傳輸中...", "传输中..."};
inline constexpr Texts kReadSuccess{"Read Success", "讀出成功", "读出成功"};
inline constexpr Texts kReadFail{"Read Fail", "讀出失敗", "读出失败"};
inline constexpr Texts kWriteSuccess{"Write Success", "寫入成功", "写入成功"};
inline constexpr Texts kWriteFail{"Write Fail", "寫入失敗", "写入失败"};
inline constexpr Texts kWriteMemoryFail{"Write Memory Fail", "寫入Memory失敗", "写入Memory失败"};

}  // namespace kelvane::transmitter_texts
