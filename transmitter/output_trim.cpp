// The output current trim on both pages: choosing the 4 mA, 20 mA or normal point,
// the end of a scroll gesture and the up-down steps. Each Configuration-page handler
// and its calibration-page twin share one routine; where they differ on the wire
// (which of them drain the line) trimDrains says so. The count fields and bars are
// mirrored by trim_mirror.cpp.
#include "device/number_text.h"
#include "device/trim_rules.h"
#include "transmitter/tform2.h"

namespace kelvane {

namespace {

StepDirection stepDirectionOf(UpDownDirection direction) {
    switch (direction) {
        case UpDownDirection::Up:
            return StepDirection::Up;
        case UpDownDirection::Down:
            return StepDirection::Down;
        case UpDownDirection::None:
            break;
    }
    return StepDirection::None;
}

}  // namespace

TForm2::TrimControls TForm2::trimControls(TrimPage page, TrimPoint point) const {
    const bool four = point == TrimPoint::FourMilliamp;
    const TrimControls configuration{
        four ? ui.RadioButton1 : ui.RadioButton2, four ? ui.Edit2 : ui.Edit3,
        four ? ui.ScrollBar3 : ui.ScrollBar4, four ? ui.Rad1 : ui.Rad2};
    const TrimControls calibration{four ? ui.Rad1 : ui.Rad2, four ? ui.Edi41 : ui.Edi42,
                                   four ? ui.ScrollBar1 : ui.ScrollBar2,
                                   four ? ui.RadioButton1 : ui.RadioButton2};
    return page == TrimPage::Configuration ? configuration : calibration;
}

void TForm2::sendUnchecked(regmap::Register reg, std::int16_t value) {
    link_.SendRequest(state_.deviceAddress, regmap::fn(FunctionCode::WriteAnyValue),
                      regmap::address(reg), value);
    link_.CollectResponse();
    // A trim count the device echoed is what the record shows as left.
    if (asLeft_ && link_.EchoOk()) {
        if (reg == regmap::Register::Trim4mA) {
            asLeft_->trim4mA = value;
        } else if (reg == regmap::Register::Trim20mA) {
            asLeft_->trim20mA = value;
        }
    }
}

std::int16_t TForm2::trimCount(const QLineEdit& field) {
    return static_cast<std::int16_t>(textToInt(field.text().toStdString()));
}

void TForm2::chooseTrimPoint(TrimPage page, TrimPoint point) {
    const TrimControls controls = trimControls(page, point);
    // Checking the twin runs the twin's handler now, before this one goes on, so the
    // device hears the count and the command once from each page.
    controls.twinChoice->setChecked(true);
    if (controls.count->text().isEmpty()) {
        return;
    }
    const TrimPointRegisters registers = trimRegisters(point);
    sendUnchecked(registers.count, trimCount(*controls.count));
    sendUnchecked(regmap::Register::Command, regmap::code(registers.command));
}

void TForm2::chooseNormalOutput(TrimPage page) {
    (page == TrimPage::Configuration ? ui.Rad3 : ui.RadioButton3)->setChecked(true);
    // The output returns to normal whether or not the device confirms it.
    link_.ConfirmedWrite(regmap::fn(FunctionCode::WriteRegister),
                         regmap::address(regmap::Register::Command),
                         regmap::code(regmap::Command::NormalOutput), state_.deviceAddress);
}

void TForm2::trimScrolled(TrimPage page, TrimPoint point, ScrollCode code) {
    const TrimControls controls = trimControls(page, point);
    if (trimDrains(page, point).everyScrollNotification) {
        link_.Drain();
    }
    // One write per gesture, when the user lets go, and only at the chosen point.
    if (code == ScrollCode::EndScroll && controls.choice->isChecked()) {
        sendUnchecked(trimRegisters(point).count, trimCount(*controls.count));
    }
}

void TForm2::trimStepped(TrimPage page, TrimPoint point, UpDownDirection direction) {
    const TrimControls controls = trimControls(page, point);
    const TrimDrains drains = trimDrains(page, point);
    if (drains.beforeStep) {
        link_.Drain();
    }
    const int count =
        steppedCount(trimCount(*controls.count), stepDirectionOf(direction), lastStepDirection_);
    setTrimCount(page, point, count);
}

void TForm2::setTrimCount(TrimPage page, TrimPoint point, int count) {
    const TrimControls controls = trimControls(page, point);
    controls.count->setText(QString::number(count));
    controls.bar->setValue(count);  // its change handler mirrors the count to the twin
    if (controls.choice->isChecked()) {
        if (trimDrains(page, point).beforeStepWrite) {
            link_.Drain();
        }
        sendUnchecked(trimRegisters(point).count, trimCount(*controls.count));
    }
}

void TForm2::RadioButton1Click() {
    chooseTrimPoint(TrimPage::Configuration, TrimPoint::FourMilliamp);
}
void TForm2::RadioButton2Click() {
    chooseTrimPoint(TrimPage::Configuration, TrimPoint::TwentyMilliamp);
}
void TForm2::RadioButton3Click() {
    chooseNormalOutput(TrimPage::Configuration);
}
void TForm2::Rad1Click() {
    chooseTrimPoint(TrimPage::Calibration, TrimPoint::FourMilliamp);
}
void TForm2::Rad2Click() {
    chooseTrimPoint(TrimPage::Calibration, TrimPoint::TwentyMilliamp);
}
void TForm2::Rad3Click() {
    chooseNormalOutput(TrimPage::Calibration);
}

void TForm2::ScrollBar3Scroll(ScrollCode code) {
    trimScrolled(TrimPage::Configuration, TrimPoint::FourMilliamp, code);
}
void TForm2::ScrollBar4Scroll(ScrollCode code) {
    trimScrolled(TrimPage::Configuration, TrimPoint::TwentyMilliamp, code);
}
void TForm2::ScrollBar1Scroll(ScrollCode code) {
    trimScrolled(TrimPage::Calibration, TrimPoint::FourMilliamp, code);
}
void TForm2::ScrollBar2Scroll(ScrollCode code) {
    trimScrolled(TrimPage::Calibration, TrimPoint::TwentyMilliamp, code);
}

void TForm2::UpDown3ChangingEx(UpDownDirection direction) {
    trimStepped(TrimPage::Configuration, TrimPoint::FourMilliamp, direction);
}
void TForm2::UpDown4ChangingEx(UpDownDirection direction) {
    trimStepped(TrimPage::Configuration, TrimPoint::TwentyMilliamp, direction);
}
void TForm2::UpDown1ChangingEx(UpDownDirection direction) {
    trimStepped(TrimPage::Calibration, TrimPoint::FourMilliamp, direction);
}
void TForm2::UpDown2ChangingEx(UpDownDirection direction) {
    trimStepped(TrimPage::Calibration, TrimPoint::TwentyMilliamp, direction);
}

}  // namespace kelvane
