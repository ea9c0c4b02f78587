// The transmitter screen's life cycle: activation, the screen lock, the timers, the
// status label, the identity captions, the menus and the language captions.
#include <QApplication>
#include <QCloseEvent>
#include <QWindow>

#include "device/register_map.h"
#include "i18n/transmitter_texts.h"
#include "transmitter/tform2.h"
#include "transmitter/trim_assistant.h"
#include "ui/handler_guard.h"
#include "ui/help_contents.h"
#include "ui/language_marks.h"

namespace kelvane {

namespace texts = transmitter_texts;

void TForm2::focusWindowChanged(QWindow* window) {
    // Message boxes, menus and tool tips come and go over the screen without
    // activating it; only windows of the program and other applications count.
    if (window != nullptr && (window->modality() != Qt::NonModal || window->type() == Qt::Popup ||
                              window->type() == Qt::ToolTip)) {
        return;
    }
    if (activation_.focusMoved(window, windowHandle())) {
        guarded(dialogs_, [this] { FormActivate(); });
    }
}

void TForm2::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    activation_.screenHidden(windowHandle());
}

void TForm2::showEvent(QShowEvent* event) {
    // Shown by the program (not restored from a minimised state): before the window is
    // first painted. The activation that follows repeats these steps and starts the
    // read, but the first frame must not show the design state or an old identity.
    if (!event->spontaneous()) {
        showIdentity();
        showStatusMessage(StatusColour::Blue, texts::kTransmission);
    }
    QMainWindow::showEvent(event);
}

void TForm2::FormActivate() {
    TimerAllOFF();
    showIdentity();
    BtnP1Click();
    ui.Item5->setItemVisible(regmap::kCutItem,
                             state_.firmwareVersionIndex >= regmap::kFirstFirmwareWithCut);
}

void TForm2::showIdentity() {
    ui.PageCont->setCurrentWidget(ui.Configuration);
    const QString serial = QString::number(state_.serialNumber);
    ui.Serial_Y->setText(serial);
    showFirmware(state_.firmwareVersionIndex);
    ui.Edit1->setText(serial);
    showModel(state_.modelCode);
    if (hooks_.applyCurrentLanguage) {
        hooks_.applyCurrentLanguage();
    } else {
        applyLanguage(state_.languageId);
    }
}

void TForm2::showFirmware(int firmwareIndex) {
    // An index past the table ("V00" … "V20") shows no caption rather than garbage.
    ui.Label7->setText(QString::fromStdString(regmap::firmwareCaption(firmwareIndex)));
}

void TForm2::showModel(int modelCode) {
    const char* name = regmap::modelName(modelCode);
    if (name == nullptr) {
        return;  // other codes keep the name and mask they had
    }
    ui.Label18->setText(name);
    ui.GroupBox9->setVisible(regmap::masksVoltageAndCurrent(modelCode));
}

std::array<QWidget*, 28> TForm2::lockedControls() const {
    return {ui.Btn11,   ui.Btn12,    ui.Btn13,        ui.Btn14,        ui.Btn21,   ui.Btn22,
            ui.Btn23,   ui.Btn24,    ui.Btn31,        ui.Btn32,        ui.Btn33,   ui.Btn34,
            ui.BtnP1,   ui.BtnP2,    ui.Btn51,        ui.Btn52,        ui.Btn71,   ui.Btn72,
            ui.Rad1,    ui.Rad2,     ui.RadioButton1, ui.RadioButton2, ui.Button2, ui.Button3,
            ui.Button9, ui.Button10, ui.Button11,     ui.Button12};
}

void TForm2::BtnAllOFF() {
    for (QWidget* control : lockedControls()) {
        control->setEnabled(false);
    }
}

void TForm2::BtnAllON() {
    for (QWidget* control : lockedControls()) {
        control->setEnabled(true);
    }
}

void TForm2::TimerAllOFF() {
    // The store check (Timer6) still runs: a write already made deserves its answer.
    for (QTimer* timer : {ui.Timer1, ui.Timer2, ui.Timer3, ui.Timer4, ui.Timer5, ui.CompareTimer}) {
        timer->stop();
    }
}

void TForm2::showStatusMessage(StatusColour colour, const Texts& messages) {
    showStatus(*ui.Lab83, colour, QString::fromUtf8(chooseText(state_.languageId, messages)));
}

void TForm2::markField(QLineEdit& field, bool failed) {
    QPalette palette = field.palette();
    palette.setColor(QPalette::Base, failed ? QColor(255, 0, 0)
                                            : QApplication::palette(&field).color(QPalette::Base));
    field.setPalette(palette);
}

void TForm2::Exit1Click() {
    if (hooks_.closeMainWindow) {
        hooks_.closeMainWindow();
    }
}

void TForm2::closeEvent(QCloseEvent* event) {
    event->accept();
    Exit1Click();
}

void TForm2::chooseLanguage(std::int16_t languageId) {
    if (hooks_.chooseLanguage) {
        hooks_.chooseLanguage(languageId);
        return;
    }
    // Without the shell's routines (tests, tools) the screen switches alone.
    state_.languageId = languageId;
    applyLanguage(languageId);
}

void TForm2::EnglishClick() {
    chooseLanguage(kLanguageEnglish);
}
void TForm2::TraditionalClick() {
    chooseLanguage(kLanguageTraditionalChinese);
}
void TForm2::SimplifiedClick() {
    chooseLanguage(kLanguageSimplifiedChinese);
}

void TForm2::StartClick() {
    TimerAllOFF();
    hide();
    if (hooks_.startScan) {
        hooks_.startScan();
    }
}

void TForm2::ConentsClick() {
    openHelp(state_.languageId);
}

void TForm2::HelpClick() {
    if (hooks_.showAbout) {
        hooks_.showAbout();
    }
}

void TForm2::useHanForms(std::int16_t languageId) {
    for (QWidget* widget : std::initializer_list<QWidget*>{this, ui.File1, ui.Language, ui.Scan}) {
        kelvane::useHanForms(*widget, formFamilies(), languageId);
    }
    for (QWidget* widget : std::initializer_list<QWidget*>{ui.Lab83, ui.PV1_Edit, ui.PV1_Edit2}) {
        kelvane::useHanForms(*widget, kDesignFamilies, languageId);
    }
}

void TForm2::applyLanguage(std::int16_t languageId) {
    checkLanguageItem(*ui.English, *ui.Traditional, *ui.Simplified, languageId);

    useHanForms(languageId);

    const auto apply = [&](const texts::CaptionEntry& entry) {
        const QString text = QString::fromUtf8(chooseText(languageId, entry.texts));
        switch (entry.kind) {
            case texts::CaptionKind::Menu:
                if (auto* menu = findChild<QMenu*>(entry.control)) {
                    menu->setTitle(text);
                } else if (auto* action = findChild<QAction*>(entry.control)) {
                    action->setText(text);
                }
                break;
            case texts::CaptionKind::Tab:
                ui.PageCont->setTabText(ui.PageCont->indexOf(findChild<QWidget*>(entry.control)),
                                        text);
                break;
            case texts::CaptionKind::Frame:
                if (auto* box = findChild<QGroupBox*>(entry.control)) {
                    box->setTitle(text);
                }
                break;
            case texts::CaptionKind::Text:
                if (auto* label = findChild<QLabel*>(entry.control)) {
                    label->setText(text);
                } else if (auto* button = findChild<QAbstractButton*>(entry.control)) {
                    button->setText(text);
                }
                break;
        }
    };
    for (const auto& entry : texts::kConfigurationFileCaptions) {
        apply(entry);
    }
    for (const auto& entry : texts::kViewCaptions) {
        apply(entry);
    }
    if (trend_ != nullptr) {
        trend_->applyLanguage(languageId);
    }
    if (assistant_ != nullptr) {
        assistant_->applyLanguage(languageId);
    }
    for (const auto& entry : texts::kMenuCaptions)
        apply(entry);
    for (const auto& entry : texts::kConfigurationCaptions)
        apply(entry);
    for (const auto& entry : texts::kCalibrationCaptions)
        apply(entry);
}

}  // namespace kelvane
