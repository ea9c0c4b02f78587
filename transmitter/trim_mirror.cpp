// The trim counts shown on both pages: moving a trim scroll bar, by the user or in
// code, shows its position in its count field and moves the twin on the other page.
// Nothing is sent from here; the trim controls write the device.
#include "transmitter/tform2.h"

namespace kelvane {

namespace {

void mirror(ScrollBar& bar, QLineEdit& field, QLineEdit& twinField, ScrollBar& twinBar) {
    field.setText(QString::number(bar.value()));
    twinField.setText(field.text());
    // The twin's own change handler runs once and finds nothing left to change.
    twinBar.setValue(bar.value());
}

}  // namespace

void TForm2::ScrollBar3Change() {
    mirror(*ui.ScrollBar3, *ui.Edit2, *ui.Edi41, *ui.ScrollBar1);
}
void TForm2::ScrollBar4Change() {
    mirror(*ui.ScrollBar4, *ui.Edit3, *ui.Edi42, *ui.ScrollBar2);
}
void TForm2::ScrollBar1Change() {
    mirror(*ui.ScrollBar1, *ui.Edi41, *ui.Edit2, *ui.ScrollBar3);
}
void TForm2::ScrollBar2Change() {
    mirror(*ui.ScrollBar2, *ui.Edi42, *ui.Edit3, *ui.ScrollBar4);
}

}  // namespace kelvane
