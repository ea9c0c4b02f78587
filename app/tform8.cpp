#include "app/tform8.h"

#include <QCloseEvent>

#include "app/maker_panel.h"
#include "ui/window_placement.h"

namespace kelvane {

TForm8::TForm8(std::function<void()> endProgram)
    : QWidget(nullptr), endProgram_(std::move(endProgram)) {
    setObjectName("TForm8");
    // No caption text: a blank title, since Qt would put the program's name into an
    // empty one.
    setWindowTitle(" ");
    setFixedSize(460, 331);
    centreOnScreen(*this);
    addMakerPanel(*this);

    timer1_.setObjectName("Timer1");
    timer1_.setInterval(5000);
    timer1_.setSingleShot(false);  // the handler disables it, as it was designed
    connect(&timer1_, &QTimer::timeout, this, [this] { Timer1Timer(); });
    FormCreate();
}

// Counting starts at creation, before the other windows are made and before the
// splash is first shown.
void TForm8::FormCreate() {
    timer1_.start();
}

void TForm8::Timer1Timer() {
    timer1_.stop();
    if (showScanScreen_) {
        showScanScreen_();
    }
    hide();
}

void TForm8::closeEvent(QCloseEvent* event) {
    event->accept();
    timer1_.stop();
    if (endProgram_) {
        endProgram_();
    }
}

}  // namespace kelvane
