// The calibration page's sensor calibration: the Start and Done of every point, the
// 0 mV zero, the coefficient and zero polls (Timer4Timer, Timer5Timer) and the
// reference edit rules. What each point sends comes from kCalibrationPoints.
#include "device/calibration_rules.h"
#include "device/number_text.h"
#include "device/register_map.h"
#include "transmitter/tform2.h"

namespace kelvane {

namespace {
// Poll replies: three coefficients (11 bytes before the CRC is 9 + 2) or one.
constexpr int kCoefficientsCrcOffset = 9;
constexpr int kZeroCrcOffset = 5;
constexpr std::int16_t kCoefficientCount = 3;
}  // namespace

TForm2::CalibrationControls TForm2::calibrationControls(CalibrationPointId id) const {
    switch (id) {
        case CalibrationPointId::RtdLo:
            return {ui.Btn13, ui.RTD_Lo, ui.rtd_lo_a0, ui.rtd_lo_a1};
        case CalibrationPointId::RtdHi:
            return {ui.Btn14, ui.RTD_Hi, ui.rtd_hi_a0, ui.rtd_hi_a1};
        case CalibrationPointId::TcLo:
            return {ui.Btn33, ui.TC_Lo, ui.tc_lo_a0, ui.tc_lo_a2};
        case CalibrationPointId::TcHi:
            return {ui.Btn34, ui.TC_Hi, ui.tc_hi_a0, ui.tc_hi_a2};
        case CalibrationPointId::VoltageLo:
            return {ui.Btn23, ui.VLo1, ui.v_lo_a0, nullptr};
        case CalibrationPointId::VoltageHi:
            return {ui.Btn24, ui.VHi1, ui.v_hi_a0, nullptr};
        case CalibrationPointId::CurrentLo:
            return {ui.Button11, ui.mALo1, ui.mA_lo_a0, nullptr};
        case CalibrationPointId::CurrentHi:
            break;
    }
    return {ui.Button12, ui.mAHi1, ui.mA_hi_a0, nullptr};
}

bool TForm2::calibrationWrite(FunctionCode function, regmap::Register reg, std::int16_t value,
                              bool drainFirst, bool drainRepeat) {
    if (drainFirst) {
        link_.Drain();
    }
    link_.SendRequest(state_.deviceAddress, regmap::fn(function), regmap::address(reg), value);
    link_.CollectResponse();
    if (link_.EchoOk()) {
        return true;
    }
    if (drainRepeat) {
        link_.Drain();
    }
    link_.SendRequest(state_.deviceAddress, regmap::fn(function), regmap::address(reg), value);
    link_.CollectResponse();
    return link_.EchoOk();
}

bool TForm2::prepareInput(int inputType, FunctionCode unitFunction) {
    // Chosen as a user would choose them: the input type rules run.
    ui.Item1->setItemIndex(inputType);
    ui.Item3->setItemIndex(regmap::kUnitCelsius);
    // The input type's repeat goes out without a drain.
    if (!calibrationWrite(FunctionCode::WriteAnyValue, regmap::Register::InputType,
                          static_cast<std::int16_t>(ui.Item1->itemIndex()), true, false)) {
        return false;
    }
    return calibrationWrite(unitFunction, regmap::Register::Unit,
                            static_cast<std::int16_t>(ui.Item3->itemIndex()), true, true);
}

void TForm2::startCalibration(CalibrationPointId id) {
    const CalibrationPoint& point = calibrationPoint(id);
    const CalibrationControls controls = calibrationControls(id);
    std::int16_t reference = 0;
    try {
        // Read before anything is sent, so that a reference that is not a number
        // leaves the device as it was and the screen usable.
        reference = referenceValue(controls.reference->text().toStdString(), point.reference);
    } catch (const ConversionError&) {
        BtnAllON();
        throw;
    }
    if (point.preparesInput && !prepareInput(point.inputType, FunctionCode::WriteAnyValue)) {
        BtnAllON();
        return;
    }
    activeCalibrationPoint_ = point.activePoint;
    BtnAllOFF();
    controls.done->setEnabled(true);
    ui.Item1->setItemIndex(point.inputType);
    state_.currentInputType = static_cast<std::int16_t>(point.inputType);

    calibrationWrite(FunctionCode::WriteAnyValue, regmap::Register::CalibrationReference, reference,
                     point.drainsFirst, true);
    calibrationWrite(point.beginFunction, regmap::Register::Command, regmap::code(point.begin),
                     point.drainsFirst, true);
    // The first tick only asks; coefficients show from the second tick on.
    ui.Timer4->start();
}

void TForm2::finishCalibration(regmap::Command store) {
    BtnAllON();
    TimerAllOFF();
    calibrationWrite(FunctionCode::WriteAnyValue, regmap::Register::Command, regmap::code(store),
                     true, true);
}

void TForm2::Timer4Timer() {
    link_.CollectResponse();
    if (link_.ResponseCrcOk(kCoefficientsCrcOffset)) {
        const auto show = [this](QLineEdit* edit, int i) {
            edit->setText(QString::number(link_.SignedRegister(i)));
        };
        for (const CalibrationPoint& point : kCalibrationPoints) {
            if (point.activePoint != activeCalibrationPoint_) {
                continue;
            }
            const auto id = static_cast<CalibrationPointId>(&point - kCalibrationPoints.data());
            const CalibrationControls controls = calibrationControls(id);
            show(controls.a0, 0);
            if (point.shown == CoefficientsShown::A0AndA1) {
                show(controls.second, 1);
            } else if (point.shown == CoefficientsShown::A0AndA2) {
                show(controls.second, 2);
            }
        }
    }
    link_.SendRequest(state_.deviceAddress, regmap::fn(FunctionCode::ReadInput),
                      regmap::address(regmap::Register::CoefficientA0), kCoefficientCount);
}

void TForm2::Button2Click() {
    if (!prepareInput(kZeroInputType, kZeroUnitFunction)) {
        BtnAllON();
        return;
    }
    BtnAllOFF();
    ui.Button3->setEnabled(true);
    requestZero();  // the zero shows from the first tick
    ui.Timer5->start();
}

void TForm2::Timer5Timer() {
    link_.CollectResponse();
    if (link_.ResponseCrcOk(kZeroCrcOffset)) {
        ui.Edit5->setText(QString::number(link_.SignedRegister(0)));
    }
    requestZero();
}

void TForm2::requestZero() {
    link_.SendRequest(state_.deviceAddress, regmap::fn(FunctionCode::ReadInput),
                      regmap::address(regmap::Register::CoefficientA0), 1);
}

void TForm2::Btn11Click() {
    startCalibration(CalibrationPointId::RtdLo);
}
void TForm2::Btn12Click() {
    startCalibration(CalibrationPointId::RtdHi);
}
void TForm2::Btn31Click() {
    startCalibration(CalibrationPointId::TcLo);
}
void TForm2::Btn32Click() {
    startCalibration(CalibrationPointId::TcHi);
}
void TForm2::Btn21Click() {
    startCalibration(CalibrationPointId::VoltageLo);
}
void TForm2::Btn22Click() {
    startCalibration(CalibrationPointId::VoltageHi);
}
void TForm2::Button9Click() {
    startCalibration(CalibrationPointId::CurrentLo);
}
void TForm2::Button10Click() {
    startCalibration(CalibrationPointId::CurrentHi);
}

void TForm2::Btn13Click() {
    finishCalibration(calibrationPoint(CalibrationPointId::RtdLo).store);
}
void TForm2::Btn14Click() {
    finishCalibration(calibrationPoint(CalibrationPointId::RtdHi).store);
}
void TForm2::Btn33Click() {
    finishCalibration(calibrationPoint(CalibrationPointId::TcLo).store);
}
void TForm2::Btn34Click() {
    finishCalibration(calibrationPoint(CalibrationPointId::TcHi).store);
}
void TForm2::Btn23Click() {
    finishCalibration(calibrationPoint(CalibrationPointId::VoltageLo).store);
}
void TForm2::Btn24Click() {
    finishCalibration(calibrationPoint(CalibrationPointId::VoltageHi).store);
}
void TForm2::Button11Click() {
    finishCalibration(calibrationPoint(CalibrationPointId::CurrentLo).store);
}
void TForm2::Button12Click() {
    finishCalibration(calibrationPoint(CalibrationPointId::CurrentHi).store);
}
void TForm2::Button3Click() {
    finishCalibration(regmap::Command::StoreZero);
}

void TForm2::checkReference(QLineEdit& edit, const ReferenceRule& rule) {
    edit.setText(QString::fromStdString(checkedReference(edit.text().toStdString(), rule)));
}

void TForm2::RTD_LoExit() {
    checkReference(*ui.RTD_Lo, kRtdLoRule);
}
void TForm2::RTD_HiExit() {
    checkReference(*ui.RTD_Hi, kRtdHiRule);
}
void TForm2::TC_LoExit() {
    checkReference(*ui.TC_Lo, kTcLoRule);
}
void TForm2::TC_HiExit() {
    checkReference(*ui.TC_Hi, kTcHiRule);
}
void TForm2::VLo1Exit() {
    checkReference(*ui.VLo1, kVoltageLoRule);
}
void TForm2::VHi1Exit() {
    checkReference(*ui.VHi1, kVoltageHiRule);
}
void TForm2::mALo1Exit() {
    checkReference(*ui.mALo1, kCurrentLoRule);
}
void TForm2::mAHi1Exit() {
    checkReference(*ui.mAHi1, kCurrentHiRule);
}

}  // namespace kelvane
