#include "app/maker_panel.h"

#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

// The logo lives in a static library; naming its resource keeps the linker from
// dropping it.
static void initMakerResources() {
    Q_INIT_RESOURCE(app);
}

namespace kelvane {

void addMakerPanel(QWidget& window) {
    initMakerResources();
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(4);

    auto* picture = new QLabel(&window);
    picture->setObjectName("Image1");
    picture->setPixmap(QPixmap(":/kelvane/logo.jpg"));
    picture->setFixedSize(169, 97);
    layout->addWidget(picture, 0, Qt::AlignHCenter);
    layout->addSpacing(12);

    for (size_t i = 0; i < kMakerLines.size(); ++i) {
        auto* line = new QLabel(QString::fromUtf8(kMakerLines[i]), &window);
        line->setObjectName(QString("Label%1").arg(i + 1));
        line->setAlignment(Qt::AlignHCenter);
        if (i < 2) {
            QFont font = line->font();
            font.setBold(true);
            font.setPixelSize(15);
            if (i == 0) {
                // The maker's name is Traditional Chinese: drawn in its own Han forms
                // whatever the locale's fallback would pick.
                font.setFamilies({font.family(), "Noto Sans CJK TC"});
            }
            line->setFont(font);
        }
        layout->addWidget(line);
    }
    layout->addStretch(1);
}

}  // namespace kelvane
