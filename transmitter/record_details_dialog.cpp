#include "transmitter/record_details_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "i18n/transmitter_texts.h"

namespace kelvane {

namespace report = transmitter_texts::report;

RecordDetailsDialog::RecordDetailsDialog(QWidget* parent, std::int16_t languageId,
                                         const RecordDetails& details)
    : QDialog(parent) {
    const auto say = [languageId](const Texts& t) {
        return QString::fromUtf8(chooseText(languageId, t));
    };
    setObjectName(QStringLiteral("RecordDetails"));
    setWindowTitle(say(report::kDetailsTitle));
    auto* form = new QFormLayout(this);
    const auto field = [&](const Texts& label, const std::string& text, const char* name) {
        auto* edit = new QLineEdit(QString::fromStdString(text), this);
        edit->setObjectName(QString::fromLatin1(name));
        form->addRow(say(label), edit);
        return edit;
    };
    technician_ = field(report::kTechnician, details.technician, "Technician");
    tag_ = field(report::kTag, details.tag, "Tag");
    location_ = field(report::kLocation, details.location, "Location");
    referenceMeter_ = field(report::kReferenceMeter, details.referenceMeter, "ReferenceMeter");
    notes_ = new QPlainTextEdit(QString::fromStdString(details.notes), this);
    notes_->setObjectName(QStringLiteral("Notes"));
    notes_->setTabChangesFocus(true);
    notes_->setFixedHeight(notes_->fontMetrics().lineSpacing() * 4 + 12);
    form->addRow(say(report::kNotes), notes_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(say(report::kDialogOk));
    buttons->button(QDialogButtonBox::Cancel)->setText(say(report::kDialogCancel));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    setMinimumWidth(360);
}

RecordDetails RecordDetailsDialog::details() const {
    return {technician_->text().toStdString(), tag_->text().toStdString(),
            location_->text().toStdString(), referenceMeter_->text().toStdString(),
            notes_->toPlainText().toStdString()};
}

bool askRecordDetails(QWidget* parent, std::int16_t languageId, RecordDetails& details) {
    RecordDetailsDialog dialog(parent, languageId, details);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    details = dialog.details();
    return true;
}

}  // namespace kelvane
