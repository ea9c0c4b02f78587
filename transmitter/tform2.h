// TForm2, the transmitter screen: a top-level window of its own (no owner, its own
// taskbar button) with the Configuration page and the hidden calibration page. The
// design lives in tform2_design.cpp; the behaviour is split over files by concern:
// life_cycle.cpp (activation, lock, status, menus, language), range_fields.cpp
// (input type rules and field checks), read_sequence.cpp (reading the configuration)
// and trim_mirror.cpp (trim counts shown on both pages).
#pragma once

#include <QMainWindow>
#include <array>

#include "i18n/language_aware.h"
#include "i18n/message_choice.h"
#include "link/dialog_service.h"
#include "link/link.h"
#include "link/program_state.h"
#include "transmitter/activation_tracker.h"
#include "transmitter/screen_hooks.h"
#include "transmitter/tform2_design.h"
#include "ui/status_label.h"

namespace kelvane {

class TForm2 : public QMainWindow, public LanguageAware {
    Q_OBJECT
  public:
    TForm2(Link& link, ProgramState& state, DialogService& dialogs, ScreenHooks hooks);

    void applyLanguage(std::int16_t languageId) override;

    const TForm2Design& design() const { return ui; }

    // Life cycle, lock and status.
    void FormActivate();
    void BtnAllOFF();
    void BtnAllON();
    void TimerAllOFF();
    // The 28 controls of the screen lock, in the order the lock sets them.
    std::array<QWidget*, 28> lockedControls() const;
    // Colour first, then the text chosen by the language id.
    void showStatusMessage(StatusColour colour, const Texts& texts);
    // A field that failed validation is red until it is checked again or a read starts.
    static void markField(QLineEdit& field, bool failed);

    // Menus.
    void Exit1Click();
    void EnglishClick();
    void TraditionalClick();
    void SimplifiedClick();
    void StartClick();
    void HelpClick();

    // Input type rules and field checks.
    void hilo_set(int type, int unit);
    void Item1Click();
    void Item3Click();
    void Edi3Exit();
    void Edi4Exit();
    void Edi61Exit();

    // Reading the configuration.
    void BtnP1Click();
    void Timer2Timer();

    // Trim counts shown on both pages.
    void ScrollBar1Change();
    void ScrollBar2Change();
    void ScrollBar3Change();
    void ScrollBar4Change();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void connectHandlers();
    void focusWindowChanged(QWindow* window);
    void chooseLanguage(std::int16_t languageId);
    void useHanForms(std::int16_t languageId);
    void showModel(int modelCode);
    void showFirmware(int firmwareIndex);
    // The unit label after the maximal range, the range fields and the offset field.
    void showUnitLabel(const QString& unitText);
    void showTrimCount(int count, QLineEdit& field, ScrollBar& bar, QLineEdit& twinField,
                       ScrollBar& twinBar);
    // Runs a handler through the conversion-error guard.
    template <class Handler>
    void run(Handler handler);

    Link& link_;
    ProgramState& state_;
    DialogService& dialogs_;
    ScreenHooks hooks_;
    TForm2Design ui;
    ActivationTracker activation_;
};

}  // namespace kelvane
