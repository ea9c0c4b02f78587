// Reading the configuration: the identity re-read and the configuration request
// (BtnP1Click), and one second later the collection and decoding (Timer2Timer).
#include <algorithm>

#include "device/configuration_rules.h"
#include "device/identity_rules.h"
#include "device/input_rules.h"
#include "device/register_map.h"
#include "i18n/transmitter_texts.h"
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

    // A silent device is not taken for the one that answered the previous request, nor
    // a reply shifted by noise for another model.
    const auto identity =
        regmap::readIdentityBlock(link_, state_.deviceAddress) == regmap::ReplyCheck::Good
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

    regmap::requestConfiguration(link_, state_.deviceAddress);
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
    const Configuration read = decodeConfiguration(regmap::configurationRegisters(link_));

    // Each change of choice runs the input type rules, as a click would.
    ui.Item1->setItemIndex(read.inputType);
    ui.Item3->setItemIndex(read.unit);
    if (read.unit == regmap::kUnitCelsius || read.unit == regmap::kUnitFahrenheit) {
        showUnitLabel(read.unit == regmap::kUnitCelsius ? regmap::kCelsiusLabel
                                                        : regmap::kFahrenheitLabel);
    }
    state_.currentInputType = static_cast<std::int16_t>(read.inputType);
    const regmap::Scaling scaling = regmap::scalingOf(regmap::familyOf(read.inputType));
    if (scaling.unitLabel != nullptr) {
        showUnitLabel(scaling.unitLabel);
    }
    ui.Edi3->setText(QString::fromStdString(read.lower));
    ui.Edi4->setText(QString::fromStdString(read.upper));
    ui.Edi61->setText(QString::fromStdString(read.offset));
    ui.Item4->setItemIndex(read.outputDirection);
    ui.Item5->setItemIndex(read.breakSignal);
    showTrimCount(read.trim4mA, *ui.Edit2, *ui.ScrollBar3, *ui.Edi41, *ui.ScrollBar1);
    showTrimCount(read.trim20mA, *ui.Edit3, *ui.ScrollBar4, *ui.Edi42, *ui.ScrollBar2);

    BtnAllON();
    recordRead();
    showStatusMessage(StatusColour::Green, texts::kReadSuccess);
}

void TForm2::showTrimCount(int count, QLineEdit& field, ScrollBar& bar, QLineEdit& twinField,
                           ScrollBar& twinBar) {
    // The decoding holds counts to 0 … 32767, what the bars take, so the fields and
    // the bars never disagree.
    const QString text = QString::number(count);
    field.setText(text);
    bar.setValue(count);
    twinField.setText(text);
    twinBar.setValue(count);
}

}  // namespace kelvane
