#include "i18n/transmitter_texts.h"

namespace kelvane::transmitter_texts {

namespace {
constexpr Texts kStart{"Start", "校正", "校正"};
constexpr Texts kDone{"Done", "完成", "完成"};
constexpr Texts kLo{"LO", "低點", "低点"};
constexpr Texts kHi{"Hi", "高點", "高点"};
}  // namespace

const std::array<CaptionEntry, 6> kMenuCaptions{{
    {"File1", CaptionKind::Menu, {"File", "檔案&", "文件&"}},
    {"Exit1", CaptionKind::Menu, {"Exit", "離開&", "离开&"}},
    {"Language", CaptionKind::Menu, {"Language", "語言&", "语言&"}},
    {"Scan", CaptionKind::Menu, {"Scan", "掃描&", "扫描&"}},
    {"Start", CaptionKind::Menu, {"Start", "開始&", "开始&"}},
    {"Help", CaptionKind::Menu, {"Help", "Help&", "Help"}},
}};

const std::array<CaptionEntry, 4> kConfigurationFileCaptions{{
    {"OpenConfiguration1",
     CaptionKind::Menu,
     {"Open Configuration...", "開啟設定檔...", "打开设定档..."}},
    {"SaveConfiguration1",
     CaptionKind::Menu,
     {"Save Configuration...", "儲存設定檔...", "储存设定档..."}},
    {"CompareWithDevice1",
     CaptionKind::Menu,
     {"Compare With Device...", "與裝置比較...", "与装置比较..."}},
    {"ExportReport1", CaptionKind::Menu, {"Export Report...", "匯出報告...", "导出报告..."}},
}};

const std::array<CaptionEntry, 4> kViewCaptions{{
    {"View1", CaptionKind::Menu, {"View", "檢視", "查看"}},
    {"MeasuringValueTrend1",
     CaptionKind::Menu,
     {"Measuring Value Trend", "量測值趨勢圖", "量测值趋势图"}},
    {"TrimWithMeter1", CaptionKind::Menu, {"Trim With Meter...", "以電表調校...", "以电表调校..."}},
    {"Manual1", CaptionKind::Menu, {"Manual\tF1", "使用手冊\tF1", "使用手册\tF1"}},
}};

const std::array<CaptionEntry, 19> kConfigurationCaptions{{
    {"Configuration", CaptionKind::Tab, {"Configuration", "設定", "设定"}},
    {"Item1", CaptionKind::Frame, {"Input Signal Type", "輸入訊號", "输入讯号"}},
    {"Item3", CaptionKind::Frame, {"Unit", "單位", "单位"}},
    {"Item2", CaptionKind::Frame, {"Measuring Range", "量測範圍", "量测范围"}},
    {"Lab21", CaptionKind::Text, {"Lower Limit", "低點", "低点"}},
    {"Lab22", CaptionKind::Text, {"Upper Limit", "高點", "高点"}},
    {"Lab23", CaptionKind::Text, {"Maximal Measuring Range", "最大量測範圍", "最大量测范围"}},
    {"Item4", CaptionKind::Frame, {"Output Direction", "輸出方向", "输出方向"}},
    {"Item5", CaptionKind::Frame, {"Fault Signal On Sensor Break", "開路限制", "开路限制"}},
    {"Item8", CaptionKind::Frame, {"Device Information", "裝置資訊", "装置资讯"}},
    {"Lab81", CaptionKind::Text, {"Device    :", "裝置名稱    :", "装置名称    :"}},
    {"Lab82", CaptionKind::Text, {"Serial No :", "序號        :", "序号        :"}},
    {"Item6", CaptionKind::Frame, {"Offset Correction", "偏差校正", "偏差校正"}},
    {"Item7", CaptionKind::Frame, {"Measuring Value", "量測值", "量测值"}},
    {"Btn71", CaptionKind::Text, {"Read", "讀取", "读取"}},
    {"Btn72", CaptionKind::Text, {"Stop", "停止", "停止"}},
    {"GroupBox7",
     CaptionKind::Frame,
     {" 4~20mA Output Signal Adjustment", "4~20mA輸出訊號調整", "4~20mA输出讯号调整"}},
    {"BtnP1", CaptionKind::Text, {"Read From Device", "讀出", "读出"}},
    {"BtnP2", CaptionKind::Text, {"Write To Device", "寫入", "写入"}},
}};

const std::array<CaptionEntry, 38> kCalibrationCaptions{{
    {"TabSheet1", CaptionKind::Tab, {"Cablibration", "校正", "校正"}},
    {"GroupBox1", CaptionKind::Frame, {"RTD Calibration", "RTD 校正", "RTD 校正"}},
    {"GroupBox8", CaptionKind::Frame, {"0mV Calibration", "0mV 校正", "0mV 校正"}},
    {"GroupBox3", CaptionKind::Frame, {"T/C Calibration", "T/C 校正", "T/C 校正"}},
    {"GroupBox2", CaptionKind::Frame, {"Voltage Calibration", "電壓校正", "电压校正"}},
    {"GroupBox10", CaptionKind::Frame, {"Current Calibration", "電流校正", "电流校正"}},
    {"Lab_11", CaptionKind::Text, kLo},
    {"Lab_31", CaptionKind::Text, kLo},
    {"Lab_21", CaptionKind::Text, kLo},
    {"Label27", CaptionKind::Text, kLo},
    {"Lab_12", CaptionKind::Text, kHi},
    {"Lab_32", CaptionKind::Text, kHi},
    {"Lab_22", CaptionKind::Text, kHi},
    {"Label28", CaptionKind::Text, kHi},
    {"Btn11", CaptionKind::Text, kStart},
    {"Btn12", CaptionKind::Text, kStart},
    {"Button2", CaptionKind::Text, kStart},
    {"Btn31", CaptionKind::Text, kStart},
    {"Btn32", CaptionKind::Text, kStart},
    {"Btn21", CaptionKind::Text, kStart},
    {"Btn22", CaptionKind::Text, kStart},
    {"Button9", CaptionKind::Text, kStart},
    {"Button10", CaptionKind::Text, kStart},
    {"Btn13", CaptionKind::Text, kDone},
    {"Btn14", CaptionKind::Text, kDone},
    {"Button3", CaptionKind::Text, kDone},
    {"Btn33", CaptionKind::Text, kDone},
    {"Btn34", CaptionKind::Text, kDone},
    {"Btn23", CaptionKind::Text, kDone},
    {"Btn24", CaptionKind::Text, kDone},
    {"Button11", CaptionKind::Text, kDone},
    {"Button12", CaptionKind::Text, kDone},
    {"GroupBox4",
     CaptionKind::Frame,
     {" 4~20mA Output Signal Adjustment", " 4~20mA 輸出訊號調整", " 4~20mA 输出讯号调整"}},
    {"GroupBox5", CaptionKind::Frame, {"Measuring Value", "量測值", "量测值"}},
    {"Btn51", CaptionKind::Text, {"Read", "讀取", "读取"}},
    {"Btn52", CaptionKind::Text, {"Stop", "停止", "停止"}},
    {"GroupBox6", CaptionKind::Frame, {"Serial Number", "序號", "序号"}},
    {"Button1", CaptionKind::Text, {"Load Serial Number", "寫入序號", "写入序号"}},
}};

}  // namespace kelvane::transmitter_texts
