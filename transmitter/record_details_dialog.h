// The small dialog Export Report opens first: technician, tag or loop number,
// location, reference meter and notes for the configuration record, in the current
// language.
#pragma once

#include <QDialog>
#include <cstdint>

#include "transmitter/configuration_record.h"

class QLineEdit;
class QPlainTextEdit;

namespace kelvane {

class RecordDetailsDialog final : public QDialog {
  public:
    RecordDetailsDialog(QWidget* parent, std::int16_t languageId, const RecordDetails& details);
    RecordDetails details() const;

  private:
    QLineEdit* technician_;
    QLineEdit* tag_;
    QLineEdit* location_;
    QLineEdit* referenceMeter_;
    QPlainTextEdit* notes_;
};

// Shows the dialog filled with `details`; on OK puts what the user gave there and
// returns true.
bool askRecordDetails(QWidget* parent, std::int16_t languageId, RecordDetails& details);

}  // namespace kelvane
