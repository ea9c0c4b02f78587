#include "app/tform9.h"

#include "app/maker_panel.h"

namespace kelvane {

TForm9::TForm9() : QWidget(nullptr) {
    setObjectName("TForm9");
    // No caption text: a blank title, since Qt would put the program's name into an
    // empty one.
    setWindowTitle(" ");
    setFixedSize(461, 330);
    move(446, 237);
    addMakerPanel(*this);
}

}  // namespace kelvane
