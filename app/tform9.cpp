#include "app/tform9.h"

#include "app/maker_panel.h"

#include <QLabel>
#include <QLayout>

#include "kelvane_version.h"

namespace kelvane {

TForm9::TForm9() : QWidget(nullptr) {
    setObjectName("TForm9");
    // No caption text: a blank title, since Qt would put the program's name into an
    // empty one.
    setWindowTitle(" ");
    setFixedSize(461, 330);
    move(446, 237);
    addMakerPanel(*this);
    auto* version = new QLabel(QString("Version %1").arg(KELVANE_VERSION_TEXT), this);
    version->setObjectName("Version");
    version->setAlignment(Qt::AlignHCenter);
    layout()->addWidget(version);
}

}  // namespace kelvane
