// The trim assistant's side of the transmitter screen: opening it, and the steps it
// takes through the page's own trim handlers, so that the device receives exactly what
// the same clicks would send.
#include "device/number_text.h"
#include "i18n/transmitter_texts.h"
#include "transmitter/tform2.h"
#include "transmitter/trim_assistant.h"

namespace kelvane {

void TForm2::TrimWithMeterClick() {
    if (sequenceRunning()) {
        return;
    }
    if (!asFound_) {  // the counts on the page are not yet the device's
        dialogs_.showMessage(chooseText(state_.languageId, transmitter_texts::meter::kReadFirst));
        return;
    }
    if (assistant_ == nullptr) {
        assistant_ = new TrimAssistant(*this, state_.languageId);
    }
    assistant_->applyLanguage(state_.languageId);
    assistant_->start();
    assistant_->show();
    assistant_->raise();
}

void TForm2::meterChoosePoint(TrimPoint point) {
    // Checking the button runs its handler, as the user's click does; a point already
    // chosen sends nothing.
    (point == TrimPoint::FourMilliamp ? ui.RadioButton1 : ui.RadioButton2)->setChecked(true);
}

void TForm2::meterWriteCount(TrimPoint point, int count) {
    // As an up-down step on the Configuration page: its drain, then the count.
    if (trimDrains(TrimPage::Configuration, point).beforeStep) {
        link_.Drain();
    }
    setTrimCount(TrimPage::Configuration, point, count);
}

void TForm2::meterNormalOutput() {
    ui.RadioButton3->setChecked(true);  // its handler, unless the output is normal already
}

int TForm2::pageTrimCount(TrimPoint point) const {
    try {
        return textToInt(
            (point == TrimPoint::FourMilliamp ? ui.Edit2 : ui.Edit3)->text().toStdString());
    } catch (const ConversionError&) {
        return 0;  // the assistant opens only over counts a read put there
    }
}

std::optional<double> TForm2::simulatedMeter() const {
    return hooks_.simulatedMeter ? hooks_.simulatedMeter() : std::nullopt;
}

void TForm2::recordMeterReading(TrimPoint point, double reading, const std::string& meter) {
    const auto [at, first] = meterReadings_.try_emplace(point, reading, reading);
    if (!first) {
        at->second.second = reading;
    }
    if (!meter.empty()) {
        details_.referenceMeter = meter;
    }
}

}  // namespace kelvane
