#include "transmitter/trim_assistant.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "device/number_text.h"
#include "i18n/transmitter_texts.h"
#include "transmitter/tform2.h"

namespace kelvane {

namespace texts = transmitter_texts;

namespace {

std::string trimmed(const QLineEdit& edit) {
    return edit.text().trimmed().toStdString();
}

}  // namespace

TrimAssistant::TrimAssistant(TForm2& screen, std::int16_t languageId)
    : QDialog(&screen), screen_(screen), languageId_(languageId) {
    setObjectName(QStringLiteral("TrimAssistant"));
    auto* grid = new QGridLayout(this);
    const auto label = [this](const char* name) {
        auto* made = new QLabel(this);
        made->setObjectName(QString::fromLatin1(name));
        return made;
    };
    pointLabel_ = label("PointLabel");
    four_ = new QRadioButton(screen.design().RadioButton1->text(), this);
    four_->setObjectName(QStringLiteral("Four"));
    twenty_ = new QRadioButton(screen.design().RadioButton2->text(), this);
    twenty_->setObjectName(QStringLiteral("Twenty"));
    auto* points = new QHBoxLayout;
    points->addWidget(four_);
    points->addWidget(twenty_);
    points->addStretch();
    grid->addWidget(pointLabel_, 0, 0);
    grid->addLayout(points, 0, 1, 1, 2);
    const auto field = [&](QLabel*& caption, const char* captionName, const char* name, int row,
                           const QString& text) {
        caption = label(captionName);
        auto* edit = new QLineEdit(text, this);
        edit->setObjectName(QString::fromLatin1(name));
        grid->addWidget(caption, row, 0);
        grid->addWidget(edit, row, 1);
        return edit;
    };
    meter_ = field(meterLabel_, "MeterLabel", "Meter", 1, QString());
    tolerance_ = field(toleranceLabel_, "ToleranceLabel", "Tolerance", 2,
                       QString::fromStdString(formatFixed(kMeterTolerance, 3)));
    reading_ = field(readingLabel_, "ReadingLabel", "Reading", 3, QString());
    enter_ = new QPushButton(this);
    enter_->setObjectName(QStringLiteral("Enter"));
    enter_->setDefault(true);  // Return in the reading's field enters it
    grid->addWidget(enter_, 3, 2);
    simulated_ = label("SimulatedMeter");
    grid->addWidget(simulated_, 4, 1, 1, 2);
    steps_ = new QListWidget(this);
    steps_->setObjectName(QStringLiteral("Steps"));
    grid->addWidget(steps_, 5, 0, 1, 3);
    status_ = label("Status");
    status_->setWordWrap(true);
    grid->addWidget(status_, 6, 0, 1, 3);
    done_ = new QPushButton(this);
    done_->setObjectName(QStringLiteral("Done"));
    cancel_ = new QPushButton(this);
    cancel_->setObjectName(QStringLiteral("Cancel"));
    // A click gives a button the focus, and a focused auto-default button takes Return
    // from then on, also when the assistant opens again: Return must stay with Enter.
    done_->setAutoDefault(false);
    cancel_->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(done_);
    buttons->addWidget(cancel_);
    grid->addLayout(buttons, 7, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    setMinimumWidth(440);

    connect(four_, &QRadioButton::clicked, this, &TrimAssistant::FourClick);
    connect(twenty_, &QRadioButton::clicked, this, &TrimAssistant::TwentyClick);
    connect(enter_, &QPushButton::clicked, this, &TrimAssistant::EnterClick);
    connect(done_, &QPushButton::clicked, this, &TrimAssistant::DoneClick);
    connect(cancel_, &QPushButton::clicked, this, &TrimAssistant::CancelClick);
    simulatedTimer_.setInterval(250);
    connect(&simulatedTimer_, &QTimer::timeout, this, &TrimAssistant::showSimulatedMeter);
    applyLanguage(languageId);
}

void TrimAssistant::start() {
    trim4mA_ = screen_.pageTrimCount(TrimPoint::FourMilliamp);
    trim20mA_ = screen_.pageTrimCount(TrimPoint::TwentyMilliamp);
    point_.reset();
    readings_.clear();
    asFound_.clear();
    steps_->clear();
    {
        const QSignalBlocker quiet4(four_);
        const QSignalBlocker quiet20(twenty_);
        four_->setAutoExclusive(false);
        four_->setChecked(false);
        twenty_->setChecked(false);
        four_->setAutoExclusive(true);
    }
    say(QString::fromUtf8(chooseText(languageId_, texts::meter::kChoosePoint)));
    showSimulatedMeter();
    if (screen_.simulatedMeter()) {
        simulatedTimer_.start();
    }
}

void TrimAssistant::applyLanguage(std::int16_t languageId) {
    languageId_ = languageId;
    const auto text = [languageId](const Texts& t) {
        return QString::fromUtf8(chooseText(languageId, t));
    };
    setWindowTitle(text(texts::meter::kTitle));
    pointLabel_->setText(text(texts::meter::kPoint));
    meterLabel_->setText(text(texts::meter::kMeter));
    readingLabel_->setText(text(texts::meter::kReading));
    toleranceLabel_->setText(text(texts::meter::kTolerance));
    enter_->setText(text(texts::meter::kEnter));
    done_->setText(text(texts::meter::kDone));
    cancel_->setText(text(texts::report::kDialogCancel));
    showSimulatedMeter();
}

void TrimAssistant::say(const QString& text) {
    status_->setText(text);
}

QString TrimAssistant::status() const {
    return status_->text();
}

QStringList TrimAssistant::steps() const {
    QStringList lines;
    for (int i = 0; i < steps_->count(); ++i) {
        lines << steps_->item(i)->text();
    }
    return lines;
}

QString TrimAssistant::simulatedReadout() const {
    return simulated_->isVisibleTo(this) ? simulated_->text() : QString();
}

void TrimAssistant::showSimulatedMeter() {
    const auto milliamps = screen_.simulatedMeter();
    simulated_->setVisible(milliamps.has_value());
    if (milliamps) {
        simulated_->setText(QString::fromStdString(fillText(
            chooseText(languageId_, texts::meter::kSimulatedMeter), {formatFixed(*milliamps, 3)})));
    }
}

void TrimAssistant::FourClick() {
    choose(TrimPoint::FourMilliamp);
}

void TrimAssistant::TwentyClick() {
    choose(TrimPoint::TwentyMilliamp);
}

void TrimAssistant::choose(TrimPoint point) {
    (point == TrimPoint::FourMilliamp ? four_ : twenty_)->setChecked(true);
    point_ = point;
    readings_.clear();
    asFound_.emplace(point, screen_.pageTrimCount(point));
    screen_.meterChoosePoint(point);
    say(QString::fromStdString(fillText(chooseText(languageId_, texts::meter::kReadingAt),
                                        {std::to_string(screen_.pageTrimCount(point))})));
    reading_->setFocus();
}

void TrimAssistant::EnterClick() {
    if (!point_) {
        say(QString::fromUtf8(chooseText(languageId_, texts::meter::kChoosePoint)));
        return;
    }
    const auto refuse = [this](const Texts& message, const std::string& text) {
        say(QString::fromStdString(fillText(chooseText(languageId_, message), {text})));
    };
    if (trimmed(*reading_).empty()) {
        return;  // Return on an empty field: nothing to take
    }
    double reading = 0.0;
    double tolerance = 0.0;
    try {
        reading = textToFloat(trimmed(*reading_));
    } catch (const ConversionError&) {
        refuse(texts::meter::kNotAReading, trimmed(*reading_));
        return;
    }
    try {
        tolerance = textToFloat(trimmed(*tolerance_));
    } catch (const ConversionError&) {
        tolerance = -1.0;
    }
    if (!(tolerance > 0.0)) {
        refuse(texts::meter::kNotAReading, trimmed(*tolerance_));
        return;
    }
    const TrimPoint point = *point_;
    const int count = screen_.pageTrimCount(point);
    const bool within = withinTolerance(reading, point, tolerance);
    std::optional<int> next;
    if (!within) {
        readings_.push_back({count, reading});
        next = nextMeterCount(readings_, point, trim4mA_, trim20mA_);
        if (!next) {
            readings_.pop_back();
            refuse(texts::meter::kTooFarOff, trimmed(*reading_));
            return;
        }
    }
    const double error = reading - targetMilliamps(point);
    steps_->addItem(
        QString::fromStdString(fillText(chooseText(languageId_, texts::meter::kStep),
                                        {std::to_string(count), formatFixed(reading, 3),
                                         (error >= 0 ? "+" : "") + formatFixed(error, 3)})));
    steps_->scrollToBottom();
    screen_.recordMeterReading(point, reading, trimmed(*meter_));
    reading_->clear();
    if (within) {
        say(QString::fromStdString(fillText(chooseText(languageId_, texts::meter::kWithin),
                                            {formatFixed(tolerance, 3), std::to_string(count)})));
        return;
    }
    screen_.meterWriteCount(point, *next);
    say(QString::fromStdString(
        fillText(chooseText(languageId_, texts::meter::kWritten), {std::to_string(*next)})));
}

void TrimAssistant::DoneClick() {
    simulatedTimer_.stop();
    screen_.meterNormalOutput();
    hide();
}

void TrimAssistant::CancelClick() {
    simulatedTimer_.stop();
    // Each point touched gets its count as found back: the chosen one by its write,
    // another by choosing it again, which sends the count the page now shows.
    std::optional<TrimPoint> chosen = point_;
    for (const auto& [point, count] : asFound_) {
        if (screen_.pageTrimCount(point) == count) {
            continue;
        }
        screen_.meterWriteCount(point, count);
        if (point != chosen) {
            screen_.meterChoosePoint(point);
            chosen = point;
        }
    }
    screen_.meterNormalOutput();
    hide();
}

void TrimAssistant::reject() {
    CancelClick();
}

}  // namespace kelvane
