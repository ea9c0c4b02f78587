#include "app/program_windows.h"

#include <QApplication>

namespace kelvane {

template <class Window>
Window* ProgramWindows::created(Window* window) {
    window->hide();
    creationOrder_.push_back(window->objectName());
    return window;
}

ProgramWindows::ProgramWindows(ProgramParts parts) {
    form8_.reset(created(new TForm8(std::move(parts.endProgram))));

    ScanHooks scanHooks;
    scanHooks.closeMainWindow = [this] { closeMainWindow(); };
    scanHooks.showAbout = [this] { showAbout(); };
    scanHooks.showTransmitterScreen = [this] {
        form2_->show();
        form2_->raise();
        form2_->activateWindow();
    };
    form3_.reset(created(
        new TForm3(parts.link, parts.state, parts.dialogs, parts.ports, std::move(scanHooks))));
    form1_.reset(created(new TForm1()));

    ScreenHooks screenHooks;
    screenHooks.closeMainWindow = [this] { closeMainWindow(); };
    screenHooks.showAbout = [this] { showAbout(); };
    screenHooks.startScan = [this] {
        form3_->show();
        form3_->Button1Click();
    };
    screenHooks.applyCurrentLanguage = [this] { form3_->applyCurrentLanguage(); };
    screenHooks.simulatedMeter = parts.simulatedMeter;
    screenHooks.chooseLanguage = [this](std::int16_t languageId) {
        form3_->chooseLanguage(languageId);
    };
    form2_.reset(
        created(new TForm2(parts.link, parts.state, parts.dialogs, std::move(screenHooks))));
    form4_.reset(created(new TForm4()));
    form5_.reset(created(new TForm5()));
    form6_.reset(created(new TForm6()));
    form7_.reset(created(new TForm7()));
    form9_.reset(created(new TForm9()));
    form10_.reset(created(new TForm10()));

    // The language routines reach Qt's own texts, then every screen with a Language menu.
    form3_->addLanguageScreen(qtTexts_);
    form3_->addLanguageScreen(*form1_);
    form3_->addLanguageScreen(*form2_);
    form3_->addLanguageScreen(*form4_);
    form3_->addLanguageScreen(*form5_);
    form3_->addLanguageScreen(*form7_);
    form3_->addLanguageScreen(*form10_);

    // F1 in every window opens the manual of the language chosen.
    helpKey_ = std::make_unique<HelpKey>([&state = parts.state] { return state.languageId; });
    qApp->installEventFilter(helpKey_.get());

    form8_->setShowScanScreen([this, autoStart = parts.autoStart] {
        form3_->show();
        if (autoStart) {
            form3_->Button1Click();
        }
    });
}

ProgramWindows::~ProgramWindows() = default;

std::vector<QWidget*> ProgramWindows::all() const {
    return {form8_.get(), form3_.get(), form1_.get(), form2_.get(), form4_.get(),
            form5_.get(), form6_.get(), form7_.get(), form9_.get(), form10_.get()};
}

void ProgramWindows::closeMainWindow() {
    form8_->close();
}

void ProgramWindows::showAbout() {
    form9_->show();
    form9_->raise();
    // Activated, so that closing it hands focus back to the screen it was opened from
    // whatever the window manager does.
    form9_->activateWindow();
}

}  // namespace kelvane
