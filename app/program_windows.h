// Every window of the program, created once at start-up in the fixed order TForm8
// (the main window), TForm3, TForm1, TForm2, TForm4, TForm5, TForm6, TForm7, TForm9,
// TForm10, all hidden, and wired together: which window shows, hides or ends what.
// main() makes one; the application tests make their own on an in-memory link.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/family_screens.h"
#include "app/tform8.h"
#include "app/tform9.h"
#include "link/dialog_service.h"
#include "link/link.h"
#include "link/port_list.h"
#include "link/program_state.h"
#include "scan/tform3.h"
#include "transmitter/tform2.h"
#include "ui/help_contents.h"
#include "ui/qt_translations.h"

namespace kelvane {

struct ProgramParts {
    Link& link;
    ProgramState& state;
    DialogService& dialogs;
    PortNameSource& ports;             // the names the scan reads, --port and --simulate's too
    std::function<void()> endProgram;  // ends the message loop
    bool autoStart = false;            // --auto-start: press Start after the splash
    std::function<std::optional<double>()> simulatedMeter = {};  // --simulate's output current
};

class ProgramWindows {
  public:
    explicit ProgramWindows(ProgramParts parts);
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    TForm8& form8() { return *form8_; }
    TForm3& form3() { return *form3_; }
    TForm2& form2() { return *form2_; }
    TForm9& form9() { return *form9_; }
    // The object names of the windows in the order they were created.
    const std::vector<QString>& creationOrder() const { return creationOrder_; }
    std::vector<QWidget*> all() const;

    // Ends the program by closing the main window, shown or hidden.
    void closeMainWindow();
    void showAbout();

  private:
    template <class Window>
    Window* created(Window* window);

    std::vector<QString> creationOrder_;
    QtTranslations qtTexts_;  // Qt's own texts follow the Language menu too
    std::unique_ptr<HelpKey> helpKey_;
    std::unique_ptr<TForm8> form8_;
    std::unique_ptr<TForm3> form3_;
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TForm2> form2_;
    std::unique_ptr<TForm4> form4_;
    std::unique_ptr<TForm5> form5_;
    std::unique_ptr<TForm6> form6_;
    std::unique_ptr<TForm7> form7_;
    std::unique_ptr<TForm9> form9_;
    std::unique_ptr<TForm10> form10_;
};

}  // namespace kelvane
