#include "transmitter/tform2.h"

#include <QGuiApplication>
#include <QWindow>

#include "i18n/maker_texts.h"
#include "ui/handler_guard.h"
#include "ui/window_placement.h"

namespace kelvane {

TForm2::TForm2(Link& link, ProgramState& state, DialogService& dialogs, ScreenHooks hooks)
    : QMainWindow(nullptr),
      link_(link),
      state_(state),
      dialogs_(dialogs),
      hooks_(std::move(hooks)) {
    ui.build(*this);
    setWindowTitle(QString::fromUtf8(kMakerName));
    resize(825, 604);
    centreOnScreen(*this);
    connectHandlers();
}

template <class Handler>
void TForm2::run(Handler handler) {
    guarded(dialogs_, handler);
}

void TForm2::connectHandlers() {
    connect(ui.Exit1, &QAction::triggered, this, [this]() { run([this] { Exit1Click(); }); });
    connect(ui.English, &QAction::triggered, this, [this]() { run([this] { EnglishClick(); }); });
    connect(ui.Traditional, &QAction::triggered, this,
            [this]() { run([this] { TraditionalClick(); }); });
    connect(ui.Simplified, &QAction::triggered, this,
            [this]() { run([this] { SimplifiedClick(); }); });
    connect(ui.Start, &QAction::triggered, this, [this]() { run([this] { StartClick(); }); });
    connect(ui.Help, &QAction::triggered, this, [this]() { run([this] { HelpClick(); }); });

    connect(ui.Item1, &RadioGroup::clicked, this, [this]() { run([this] { Item1Click(); }); });
    connect(ui.Item3, &RadioGroup::clicked, this, [this]() { run([this] { Item3Click(); }); });
    connect(ui.Edi3, &ExitEdit::exited, this, [this]() { run([this] { Edi3Exit(); }); });
    connect(ui.Edi4, &ExitEdit::exited, this, [this]() { run([this] { Edi4Exit(); }); });
    connect(ui.Edi61, &ExitEdit::exited, this, [this]() { run([this] { Edi61Exit(); }); });

    connect(ui.BtnP1, &QPushButton::clicked, this, [this]() { run([this] { BtnP1Click(); }); });
    connect(ui.Timer2, &QTimer::timeout, this, [this]() { run([this] { Timer2Timer(); }); });

    connect(ui.ScrollBar1, &ScrollBar::positionChanged, this,
            [this]() { run([this] { ScrollBar1Change(); }); });
    connect(ui.ScrollBar2, &ScrollBar::positionChanged, this,
            [this]() { run([this] { ScrollBar2Change(); }); });
    connect(ui.ScrollBar3, &ScrollBar::positionChanged, this,
            [this]() { run([this] { ScrollBar3Change(); }); });
    connect(ui.ScrollBar4, &ScrollBar::positionChanged, this,
            [this]() { run([this] { ScrollBar4Change(); }); });

    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &TForm2::focusWindowChanged);
}

}  // namespace kelvane
