// Live measurement on both pages: Start puts the device into measurement mode and
// sends the first process value request (Btn71Click, Btn51Click), each 500 ms step
// collects the last reply and asks for the next (Timer1Timer), Stop ends the polling
// (Btn72Click, Btn52Click).
#include <QSignalBlocker>

#include "device/config_file.h"
#include "device/measurement_rules.h"
#include "device/register_map.h"
#include "i18n/transmitter_texts.h"
#include "transmitter/tform2.h"

namespace kelvane {

namespace texts = transmitter_texts;

void TForm2::Btn71Click() {
    BtnAllOFF();
    // Only the two Stop buttons of the locked set stay usable while polling.
    ui.Btn72->setEnabled(true);
    ui.Btn52->setEnabled(true);
    state_.currentInputType = static_cast<std::int16_t>(ui.Item1->itemIndex());
    if (trend_ != nullptr) {
        trend_->breakLine();  // a new measurement: no line across the pause before it
    }

    link_.Drain();
    // Polling starts whether or not the device confirms measurement mode.
    link_.ConfirmedWrite(regmap::fn(FunctionCode::WriteAnyValue),
                         regmap::address(regmap::Register::Command),
                         regmap::code(regmap::Command::Measure), state_.deviceAddress);
    showNormalOutputChosen();
    requestProcessValue();
    ui.Timer1->start();
}

void TForm2::Timer1Timer() {
    // The reply to the request the previous step (or Start) left outstanding.
    const int cappedBefore = link_.cappedCollections();
    link_.CollectResponse();
    if (link_.cappedCollections() != cappedBefore) {
        // A line that streams: draining it and asking again would only hold the window
        // longer. This step fails; the next one collects again.
        if (trend_ != nullptr) {
            trend_->breakLine();
        }
        showStatusMessage(StatusColour::Red, texts::kReadFail);
        return;
    }
    if (link_.ResponseCrcOk(regmap::kProcessValueCrcOffset)) {
        const ProcessValueTexts shown =
            processValueTexts(state_.currentInputType, link_.SignedRegister(0));
        ui.PV1_Edit->setText(QString::fromStdString(shown.configuration));
        ui.PV1_Edit2->setText(QString::fromStdString(shown.calibration));
        if (trend_ != nullptr) {
            // The value just read, as kelvane-cli measure shows it; no request of its own.
            Configuration page;
            page.inputType = state_.currentInputType;
            page.unit = std::max(0, ui.Item3->itemIndex());
            trend_->addValue(link_.now(), QDateTime::currentDateTime(), link_.SignedRegister(0),
                             shown.calibration, unitLabelOf(page));
        }
        showStatusMessage(StatusColour::Green, texts::kReadSuccess);
    } else {
        if (trend_ != nullptr) {
            trend_->breakLine();  // no line across a stretch of failed reads
        }
        showStatusMessage(StatusColour::Red, texts::kReadFail);
    }
    requestProcessValue();  // polling goes on after failures too
}

void TForm2::showNormalOutputChosen() {
    // Measurement takes the device out of a trim point: the page must not go on showing
    // one, or a later step would trim a count while the output is not at its point.
    // Only the page changes; choosing the point again sends its command as usual.
    const QSignalBlocker quiet1(ui.RadioButton3);
    const QSignalBlocker quiet2(ui.RadioButton1);
    const QSignalBlocker quiet3(ui.RadioButton2);
    const QSignalBlocker quiet4(ui.Rad3);
    const QSignalBlocker quiet5(ui.Rad1);
    const QSignalBlocker quiet6(ui.Rad2);
    ui.RadioButton3->setChecked(true);
    ui.Rad3->setChecked(true);
}

void TForm2::requestProcessValue() {
    regmap::requestProcessValue(link_, state_.deviceAddress);
}

void TForm2::MeasuringValueTrendClick() {
    if (trend_ == nullptr) {
        trend_ = new TrendWindow(this);
        trend_->applyLanguage(state_.languageId);
    }
    trend_->show();
    trend_->raise();
}

void TForm2::Btn72Click() {
    TimerAllOFF();
    link_.Drain();  // the reply to the last request is read and thrown away
    BtnAllON();
}

void TForm2::Btn51Click() {
    Btn71Click();
}

void TForm2::Btn52Click() {
    Btn72Click();
}

}  // namespace kelvane
