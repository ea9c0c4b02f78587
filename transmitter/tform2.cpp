#include "transmitter/tform2.h"

#include <QGuiApplication>
#include <QWindow>
#include <utility>

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
    // Each handler runs through the conversion-error guard.
    const auto onClick = [this](auto* control, auto signal, void (TForm2::*handler)()) {
        connect(control, signal, this,
                [this, handler]() { run([this, handler] { (this->*handler)(); }); });
    };
    onClick(ui.Exit1, &QAction::triggered, &TForm2::Exit1Click);
    onClick(ui.OpenConfiguration1, &QAction::triggered, &TForm2::OpenConfigurationClick);
    onClick(ui.SaveConfiguration1, &QAction::triggered, &TForm2::SaveConfigurationClick);
    onClick(ui.CompareWithDevice1, &QAction::triggered, &TForm2::CompareWithDeviceClick);
    onClick(ui.ExportReport1, &QAction::triggered, &TForm2::ExportReportClick);
    onClick(ui.MeasuringValueTrend1, &QAction::triggered, &TForm2::MeasuringValueTrendClick);
    onClick(ui.TrimWithMeter1, &QAction::triggered, &TForm2::TrimWithMeterClick);
    onClick(ui.Manual1, &QAction::triggered, &TForm2::ConentsClick);
    onClick(ui.CompareTimer, &QTimer::timeout, &TForm2::CompareTimerTimer);
    onClick(ui.English, &QAction::triggered, &TForm2::EnglishClick);
    onClick(ui.Traditional, &QAction::triggered, &TForm2::TraditionalClick);
    onClick(ui.Simplified, &QAction::triggered, &TForm2::SimplifiedClick);
    onClick(ui.Start, &QAction::triggered, &TForm2::StartClick);
    onClick(ui.Help, &QAction::triggered, &TForm2::HelpClick);

    onClick(ui.Item1, &RadioGroup::clicked, &TForm2::Item1Click);
    onClick(ui.Item3, &RadioGroup::clicked, &TForm2::Item3Click);
    const std::pair<ExitEdit*, void (TForm2::*)()> exits[] = {
        {ui.Edi3, &TForm2::Edi3Exit},     {ui.Edi4, &TForm2::Edi4Exit},
        {ui.Edi61, &TForm2::Edi61Exit},   {ui.RTD_Lo, &TForm2::RTD_LoExit},
        {ui.RTD_Hi, &TForm2::RTD_HiExit}, {ui.TC_Lo, &TForm2::TC_LoExit},
        {ui.TC_Hi, &TForm2::TC_HiExit},   {ui.VLo1, &TForm2::VLo1Exit},
        {ui.VHi1, &TForm2::VHi1Exit},     {ui.mALo1, &TForm2::mALo1Exit},
        {ui.mAHi1, &TForm2::mAHi1Exit},
    };
    for (const auto& [edit, handler] : exits) {
        onClick(edit, &ExitEdit::exited, handler);
    }

    const std::pair<QPushButton*, void (TForm2::*)()> buttons[] = {
        {ui.BtnP1, &TForm2::BtnP1Click},       {ui.BtnP2, &TForm2::BtnP2Click},
        {ui.Btn71, &TForm2::Btn71Click},       {ui.Btn72, &TForm2::Btn72Click},
        {ui.Btn51, &TForm2::Btn51Click},       {ui.Btn52, &TForm2::Btn52Click},
        {ui.Btn11, &TForm2::Btn11Click},       {ui.Btn12, &TForm2::Btn12Click},
        {ui.Btn31, &TForm2::Btn31Click},       {ui.Btn32, &TForm2::Btn32Click},
        {ui.Btn21, &TForm2::Btn21Click},       {ui.Btn22, &TForm2::Btn22Click},
        {ui.Button9, &TForm2::Button9Click},   {ui.Button10, &TForm2::Button10Click},
        {ui.Button2, &TForm2::Button2Click},   {ui.Btn13, &TForm2::Btn13Click},
        {ui.Btn14, &TForm2::Btn14Click},       {ui.Btn33, &TForm2::Btn33Click},
        {ui.Btn34, &TForm2::Btn34Click},       {ui.Btn23, &TForm2::Btn23Click},
        {ui.Btn24, &TForm2::Btn24Click},       {ui.Button11, &TForm2::Button11Click},
        {ui.Button12, &TForm2::Button12Click}, {ui.Button3, &TForm2::Button3Click},
        {ui.Button1, &TForm2::Button1Click},
    };
    for (const auto& [button, handler] : buttons) {
        onClick(button, &QPushButton::clicked, handler);
    }

    const std::pair<QTimer*, void (TForm2::*)()> timers[] = {
        {ui.Timer1, &TForm2::Timer1Timer}, {ui.Timer2, &TForm2::Timer2Timer},
        {ui.Timer3, &TForm2::Timer3Timer}, {ui.Timer4, &TForm2::Timer4Timer},
        {ui.Timer5, &TForm2::Timer5Timer}, {ui.Timer6, &TForm2::Timer6Timer},
    };
    for (const auto& [timer, handler] : timers) {
        onClick(timer, &QTimer::timeout, handler);
    }

    // A trim choice runs when its button becomes checked, by the user or by code.
    const std::pair<QRadioButton*, void (TForm2::*)()> choices[] = {
        {ui.RadioButton1, &TForm2::RadioButton1Click},
        {ui.RadioButton2, &TForm2::RadioButton2Click},
        {ui.RadioButton3, &TForm2::RadioButton3Click},
        {ui.Rad1, &TForm2::Rad1Click},
        {ui.Rad2, &TForm2::Rad2Click},
        {ui.Rad3, &TForm2::Rad3Click},
    };
    for (const auto& [button, handler] : choices) {
        connect(button, &QRadioButton::toggled, this, [this, handler = handler](bool checked) {
            if (checked) {
                run([this, handler] { (this->*handler)(); });
            }
        });
    }

    const std::pair<ScrollBar*, void (TForm2::*)()> changes[] = {
        {ui.ScrollBar1, &TForm2::ScrollBar1Change},
        {ui.ScrollBar2, &TForm2::ScrollBar2Change},
        {ui.ScrollBar3, &TForm2::ScrollBar3Change},
        {ui.ScrollBar4, &TForm2::ScrollBar4Change},
    };
    for (const auto& [bar, handler] : changes) {
        onClick(bar, &ScrollBar::positionChanged, handler);
    }
    const std::pair<ScrollBar*, void (TForm2::*)(ScrollCode)> scrolls[] = {
        {ui.ScrollBar1, &TForm2::ScrollBar1Scroll},
        {ui.ScrollBar2, &TForm2::ScrollBar2Scroll},
        {ui.ScrollBar3, &TForm2::ScrollBar3Scroll},
        {ui.ScrollBar4, &TForm2::ScrollBar4Scroll},
    };
    for (const auto& [bar, handler] : scrolls) {
        connect(bar, &ScrollBar::scrolled, this, [this, handler = handler](ScrollCode code) {
            run([this, handler, code] { (this->*handler)(code); });
        });
    }
    const std::pair<UpDown*, void (TForm2::*)(UpDownDirection)> steps[] = {
        {ui.UpDown1, &TForm2::UpDown1ChangingEx},
        {ui.UpDown2, &TForm2::UpDown2ChangingEx},
        {ui.UpDown3, &TForm2::UpDown3ChangingEx},
        {ui.UpDown4, &TForm2::UpDown4ChangingEx},
    };
    for (const auto& [upDown, handler] : steps) {
        connect(upDown, &UpDown::changingEx, this,
                [this, handler = handler](UpDownDirection direction) {
                    run([this, handler, direction] { (this->*handler)(direction); });
                });
    }

    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &TForm2::focusWindowChanged);
}

void TForm2::setServiceAccess(bool enabled) {
    ui.PageCont->setTabVisible(ui.PageCont->indexOf(ui.TabSheet1), enabled);
    ui.GroupBox6->setVisible(enabled);
}

}  // namespace kelvane
