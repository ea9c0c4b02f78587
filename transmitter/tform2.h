// TForm2, the transmitter screen: a top-level window of its own (no owner, its own
// taskbar button) with the Configuration page and the hidden calibration page.
#pragma once

#include <QMainWindow>

#include "i18n/language_aware.h"
#include "link/dialog_service.h"
#include "link/link.h"
#include "link/program_state.h"
#include "transmitter/screen_hooks.h"

namespace kelvane {

class TForm2 : public QMainWindow, public LanguageAware {
    Q_OBJECT
public:
    TForm2(Link& link, ProgramState& state, DialogService& dialogs, ScreenHooks hooks);

    void applyLanguage(std::int16_t languageId) override;

private:
    Link& link_;
    ProgramState& state_;
    DialogService& dialogs_;
    ScreenHooks hooks_;
};

}  // namespace kelvane
