// Reading the configuration: the identity re-read and the configuration request
// (BtnP1Click), and one second later the collection and decoding (Timer2Timer).
#include <algorithm>

#include "i18n/transmitter_texts.h"
#include "transmitter/identity_rules.h"
#include "transmitter/input_rules.h"
#include "transmitter/register_map.h"
#include "transmitter/tform2.h"

namespace kelvane {

namespace texts = transmitter_texts;

void TForm2::BtnP1Click() {
    for (QLineEdit* field : {static_cast<QLineEdit*>(ui.Edi3), static_cast<QLineEdit*>(ui.Edi4),
                             static_cast<QLineEdit*>(ui.Edi61)}) {
        markField(*field, false);
    }
    BtnAllOFF();
    showStatusMessage(StatusColour::Blue, texts::kTransmission);

    // A silent device is not taken for the one that answered the previous request.
    const auto identity = regmap::readIdentityBlock(link_, state_.deviceAddress)
                              ? acceptIdentity(link_.response(3), link_.response(4))
                              : std::nullopt;
    if (!identity) {
        showStatusMessage(StatusColour::Red, texts::kReadFail);
        BtnAllON();
        return;
    }

    state_.firmwareVersionIndex = static_cast<std::int16_t>(identity->firmwareIndex);
    ui.Item5->setItemVisible(regmap::kCutItem,
                             identity->firmwareIndex >= regmap::kFirstFirmwareWithCut);
    showFirmware(identity->firmwareIndex);
    showModel(identity->modelCode);
    // The serial number shown is the one just read; the program keeps the probe's.
    ui.Serial_Y->setText(QString::number(link_.RegisterPair(2)));

    link_.SendRequest(state_.deviceAddress, regmap::fn(FunctionCode::ReadHolding),
                      regmap::address(regmap::Register::InputType), regmap::kConfigurationCount);
    ui.Timer2->start();
}

void TForm2::Timer2Timer() {
    ui.Timer2->stop();
    link_.CollectResponse();
    if (!link_.ResponseCrcOk(regmap::kConfigurationCrcOffset)) {
        showStatusMessage(StatusColour::Red, texts::kReadFail);
        BtnAllON();
        return;
    }
    const auto reg = [this](regmap::Register r) { return regmap::address(r); };

    // Each change of choice runs the input type rules, as a click would; choices
    // past the last item take the last one.
    ui.Item1->setItemIndex(link_.RegisterValue(reg(regmap::Register::InputType)));
    ui.Item3->setItemIndex(link_.RegisterValue(reg(regmap::Register::Unit)));
    const int unit = ui.Item3->itemIndex();
    if (unit == regmap::kUnitCelsius || unit == regmap::kUnitFahrenheit) {
        showUnitLabel(unit == regmap::kUnitCelsius ? regmap::kCelsiusLabel
                                                   : regmap::kFahrenheitLabel);
    }
    const int type = ui.Item1->itemIndex();
    state_.currentInputType = static_cast<std::int16_t>(type);

    const regmap::Scaling scaling = regmap::scalingOf(regmap::familyOf(type));
    if (scaling.unitLabel != nullptr) {
        showUnitLabel(scaling.unitLabel);
    }
    ui.Edi3->setText(QString::fromStdString(
        rangeText(type, link_.SignedRegister(reg(regmap::Register::LowerLimit)))));
    ui.Edi4->setText(QString::fromStdString(
        rangeText(type, link_.SignedRegister(reg(regmap::Register::UpperLimit)))));
    ui.Edi61->setText(QString::fromStdString(
        offsetText(type, link_.SignedRegister(reg(regmap::Register::Offset)))));

    ui.Item4->setItemIndex(link_.RegisterValue(reg(regmap::Register::OutputDirection)));
    ui.Item5->setItemIndex(link_.RegisterValue(reg(regmap::Register::BreakSignal)));

    showTrimCount(link_.SignedRegister(reg(regmap::Register::Trim4mA)), *ui.Edit2, *ui.ScrollBar3,
                  *ui.Edi41, *ui.ScrollBar1);
    showTrimCount(link_.SignedRegister(reg(regmap::Register::Trim20mA)), *ui.Edit3, *ui.ScrollBar4,
                  *ui.Edi42, *ui.ScrollBar2);

    BtnAllON();
    showStatusMessage(StatusColour::Green, texts::kReadSuccess);
}

void TForm2::showTrimCount(int count, QLineEdit& field, ScrollBar& bar, QLineEdit& twinField,
                           ScrollBar& twinBar) {
    // The bars hold 0 … 32767; a count outside that shows as the end the bar takes,
    // so the fields and the bars never disagree.
    const int shown = std::clamp(count, bar.minimum(), bar.maximum());
    const QString text = QString::number(shown);
    field.setText(text);
    bar.setValue(shown);
    twinField.setText(text);
    twinBar.setValue(shown);
}

}  // namespace kelvane
