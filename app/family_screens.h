// The screens of the other device families: created hidden at start-up and never
// shown. The five with a Language menu (TForm1, TForm4, TForm5, TForm7, TForm10)
// follow the language routines' check marks; TForm6 is the zero/span confirmation
// dialog those families use.
#pragma once

#include <QMainWindow>
#include <QWidget>

#include "i18n/language_aware.h"

class QAction;

namespace kelvane {

class FamilyScreen : public QMainWindow, public LanguageAware {
    Q_OBJECT
  public:
    explicit FamilyScreen(const char* objectName);
    // Sets the check marks of the Language menu; this screen has no catalogue captions.
    void applyLanguage(std::int16_t languageId) override;

  private:
    QAction* English = nullptr;
    QAction* Traditional = nullptr;
    QAction* Simplified = nullptr;
};

// Two-channel signal conditioner screen.
class TForm1 final : public FamilyScreen {
  public:
    TForm1() : FamilyScreen("TForm1") {}
};
// Transmitter with multi-point calibration.
class TForm4 final : public FamilyScreen {
  public:
    TForm4() : FamilyScreen("TForm4") {}
};
// Two-channel distributor screen.
class TForm5 final : public FamilyScreen {
  public:
    TForm5() : FamilyScreen("TForm5") {}
};
// Two-channel isolator screen.
class TForm7 final : public FamilyScreen {
  public:
    TForm7() : FamilyScreen("TForm7") {}
};
// Resistance-input transmitter with multi-point calibration.
class TForm10 final : public FamilyScreen {
  public:
    TForm10() : FamilyScreen("TForm10") {}
};

// Zero/span confirmation dialog of the multi-point transmitters.
class TForm6 final : public QWidget {
    Q_OBJECT
  public:
    TForm6();
};

}  // namespace kelvane
