// Writing the configuration: the validation and start (BtnP2Click, InputCheck), the
// seven confirmed writes in one tick (Timer3Timer) and, for firmware that reports
// it, the store check two seconds later (Timer6Timer).
#include <optional>

#include "device/extended.h"
#include "device/number_text.h"
#include "device/register_map.h"
#include "device/write_rules.h"
#include "i18n/transmitter_texts.h"
#include "transmitter/tform2.h"

namespace kelvane {

namespace texts = transmitter_texts;

namespace {

std::string textOf(const QLineEdit& edit) {
    return edit.text().toStdString();
}

}  // namespace

bool TForm2::choicesMade() const {
    for (const RadioGroup* group : {ui.Item1, ui.Item3, ui.Item4, ui.Item5}) {
        if (group->itemIndex() < 0) {
            return false;
        }
    }
    return true;
}

void TForm2::BtnP2Click() {
    TimerAllOFF();
    // With a choice missing (no read has succeeded yet) there is nothing to write:
    // the device would receive 0xFFFF for every empty choice.
    if (!choicesMade() || !InputCheck()) {
        showStatusMessage(StatusColour::Red, texts::kWriteFail);
        return;
    }
    BtnAllOFF();
    showStatusMessage(StatusColour::Blue, texts::kTransmission);
    ui.Timer3->start();
}

bool TForm2::InputCheck() {
    validationFailed_ = false;
    const auto limits = validationLimits(ui.Item1->itemIndex(), ui.Item3->itemIndex());
    if (!limits) {
        validationFailed_ = true;
        return false;
    }
    // Every check runs, so that every failing field is marked at once.
    const auto check = [this](QLineEdit& field, bool passes) {
        if (!passes) {
            validationFailed_ = true;
            markField(field, true);
        }
    };
    check(*ui.Edi3, rangeFieldPasses(textOf(*ui.Edi3), *limits));
    check(*ui.Edi4, rangeFieldPasses(textOf(*ui.Edi4), *limits));
    check(*ui.Edi61, offsetFieldPasses(textOf(*ui.Edi61), *limits));
    return !validationFailed_;
}

std::optional<std::int16_t> TForm2::configurationValue(WriteSource source) {
    const WriteScales scales = writeScales(state_.currentInputType);
    const auto choice = [](const RadioGroup& group) -> std::optional<std::int16_t> {
        if (group.itemIndex() < 0) {
            return std::nullopt;
        }
        return static_cast<std::int16_t>(group.itemIndex());
    };
    // A value that no longer fits its register fails as an out-of-range one.
    const auto scaled = [this](QLineEdit& field, int scale) {
        const auto value = scaledRegisterValue(textOf(field), scale);
        if (!value) {
            markField(field, true);
        }
        return value;
    };
    switch (source) {
        case WriteSource::LowerLimit:
            return scaled(*ui.Edi3, scales.range);
        case WriteSource::UpperLimit:
            return scaled(*ui.Edi4, scales.range);
        case WriteSource::Offset:
            return scaled(*ui.Edi61, scales.offset);
        case WriteSource::Unit:
            return choice(*ui.Item3);
        case WriteSource::OutputDirection:
            return choice(*ui.Item4);
        case WriteSource::BreakSignal:
            return choice(*ui.Item5);
        case WriteSource::InputType:
            return choice(*ui.Item1);
    }
    return std::nullopt;
}

void TForm2::Timer3Timer() {
    ui.Timer3->stop();
    bool written = false;
    try {
        written = writeConfiguration();
    } catch (const ConversionError& error) {
        // A field changed between the click and this tick: say so, and leave the
        // screen usable rather than locked under "Transmission...".
        dialogs_.showError(error.what());
    }
    beingWritten_ = pageConfiguration();  // the values the writes carried
    if (!written) {
        recordWrite(WriteOutcome::Failed);
        showStatusMessage(StatusColour::Red, texts::kWriteFail);
        BtnAllON();
        return;
    }
    if (state_.firmwareVersionIndex > regmap::kLastFirmwareWithoutStoreCheck) {
        ui.Timer6->start();  // locked and blue until the store check
        return;
    }
    recordWrite(WriteOutcome::StoreNotAsked);
    showStatusMessage(StatusColour::Green, texts::kWriteSuccess);
    BtnAllON();
}

bool TForm2::writeConfiguration() {
    // Upper below lower: the two texts change places; equal values stay.
    if (Extended::fromText(textOf(*ui.Edi4)) < Extended::fromText(textOf(*ui.Edi3))) {
        ui.Edit4->setText(ui.Edi3->text());
        ui.Edi3->setText(ui.Edi4->text());
        ui.Edi4->setText(ui.Edit4->text());
    }
    writesConfirmed_ = 0;
    for (const ConfigurationWrite& write : kConfigurationWrites) {
        // Each value is taken from the page just before its write.
        const auto value = configurationValue(write.source);
        if (!value || !link_.ConfirmedWrite(regmap::fn(write.function), regmap::address(write.reg),
                                            *value, state_.deviceAddress)) {
            return false;
        }
        ++writesConfirmed_;
    }
    return true;
}

void TForm2::Timer6Timer() {
    ui.Timer6->stop();
    // A failed store and an answer that cannot be read both leave the store unconfirmed.
    if (regmap::checkConfigurationStored(link_, state_.deviceAddress) ==
        regmap::StoreCheck::Stored) {
        recordWrite(WriteOutcome::Stored);
        showStatusMessage(StatusColour::Green, texts::kWriteSuccess);
    } else {
        recordWrite(WriteOutcome::StoreFailed);
        showStatusMessage(StatusColour::Red, texts::kWriteMemoryFail);
    }
    BtnAllON();
}

}  // namespace kelvane
