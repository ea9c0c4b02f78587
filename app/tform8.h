// TForm8, the splash screen and the application's main window: shown at start,
// hands over to the Scan screen 5000 ms after its creation; closing it, also while
// hidden, ends the program.
#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>

namespace kelvane {

class TForm8 : public QWidget {
    Q_OBJECT
  public:
    // `endProgram` ends the message loop (QCoreApplication::quit in the program).
    explicit TForm8(std::function<void()> endProgram);

    // The Scan screen exists only after the splash, so it is wired afterwards.
    void setShowScanScreen(std::function<void()> showScanScreen) {
        showScanScreen_ = std::move(showScanScreen);
    }

    void FormCreate();
    void Timer1Timer();

    QTimer& timer1() { return timer1_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    std::function<void()> endProgram_;
    std::function<void()> showScanScreen_;
    QTimer timer1_;
};

}  // namespace kelvane
