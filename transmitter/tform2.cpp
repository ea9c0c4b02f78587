#include "transmitter/tform2.h"

namespace kelvane {

TForm2::TForm2(Link& link, ProgramState& state, DialogService& dialogs, ScreenHooks hooks)
    : QMainWindow(nullptr), link_(link), state_(state), dialogs_(dialogs), hooks_(std::move(hooks)) {
    setObjectName("TForm2");
    resize(825, 604);
}

void TForm2::applyLanguage(std::int16_t) {}

}  // namespace kelvane
