#include "app/tform9.h"

#include "app/maker_panel.h"

namespace kelvane {

TForm9::TForm9() : QWidget(nullptr) {
    setObjectName("TForm9");
    setWindowTitle(QString());
    setFixedSize(461, 330);
    move(446, 237);
    addMakerPanel(*this);
}

}  // namespace kelvane
