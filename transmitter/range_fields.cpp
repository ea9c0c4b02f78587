// The input type rules and the field checks of the Configuration page, applied to
// its controls; the rules themselves are in input_rules.cpp.
#include "device/input_rules.h"
#include "transmitter/tform2.h"

namespace kelvane {

namespace {
std::string textOf(const QLineEdit& edit) {
    return edit.text().toStdString();
}
std::string textOf(const QLabel& label) {
    return label.text().toStdString();
}
}  // namespace

void TForm2::hilo_set(int type, int unit) {
    const auto display = rangeDisplay(type, unit);
    if (!display) {
        // No input type chosen yet: there is no range to show, so nothing changes.
        return;
    }
    state_.currentInputType = static_cast<std::int16_t>(type);
    if (display->unitLabel) {
        showUnitLabel(QString::fromStdString(*display->unitLabel));
    }
    if (display->lowerText) {
        ui.Edi1->setText(QString::fromStdString(*display->lowerText));
    }
    if (display->upperText) {
        ui.Edi2->setText(QString::fromStdString(*display->upperText));
    }
    ui.Label1->setText(QString::fromStdString(display->offsetLowText));
    ui.Label3->setText(QString::fromStdString(display->offsetHighText));
}

void TForm2::showUnitLabel(const QString& unitText) {
    ui.Label4->setText(unitText);
    ui.Label5->setText(unitText);
    ui.Label6->setText(unitText);
}

void TForm2::Item1Click() {
    hilo_set(ui.Item1->itemIndex(), ui.Item3->itemIndex());
}

void TForm2::Item3Click() {
    hilo_set(ui.Item1->itemIndex(), ui.Item3->itemIndex());
}

void TForm2::Edi3Exit() {
    markField(*ui.Edi3, false);
    ui.Edi3->setText(QString::fromStdString(checkedLowerLimit(
        textOf(*ui.Edi3), textOf(*ui.Edi1), textOf(*ui.Edi2), state_.currentInputType)));
}

void TForm2::Edi4Exit() {
    markField(*ui.Edi4, false);
    ui.Edi4->setText(QString::fromStdString(checkedUpperLimit(
        textOf(*ui.Edi4), textOf(*ui.Edi1), textOf(*ui.Edi2), state_.currentInputType)));
}

void TForm2::Edi61Exit() {
    markField(*ui.Edi61, false);
    ui.Edi61->setText(QString::fromStdString(checkedOffset(
        textOf(*ui.Edi61), textOf(*ui.Label1), textOf(*ui.Label3), state_.currentInputType)));
}

}  // namespace kelvane
