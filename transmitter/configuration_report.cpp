// The configuration record: what was found on a device and what was left on it,
// written as a PDF by Qt's own PDF writer in the current language, the Han forms of
// the language drawn with its own CJK font (embedded in the file).
#include <QBuffer>
#include <QDateTime>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

#include <cstdlib>

#include "device/number_text.h"
#include "device/register_map.h"
#include "i18n/transmitter_texts.h"
#include "kelvane_version.h"
#include "transmitter/record_details_dialog.h"
#include "transmitter/tform2.h"

namespace kelvane {

namespace texts = transmitter_texts;

namespace {

QString escaped(const std::string& text) {
    return QString::fromStdString(text).toHtmlEscaped().replace('\n', QStringLiteral("<br/>"));
}

// "2026-12-11 14:05:09 UTC+08:00": local time with its offset, so that records made in
// different places and seasons sort and compare.
QString dateTimeWithOffset(const QDateTime& now) {
    const int offset = now.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
           QStringLiteral(" UTC%1%2:%3")
               .arg(offset < 0 ? '-' : '+')
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

void TForm2::recordRead() {
    Recorded read{pageConfiguration(), state_.modelCode, state_.firmwareVersionIndex,
                  static_cast<std::uint32_t>(ui.Serial_Y->text().toULongLong())};
    // Another device: its record starts afresh.
    if (!asFound_ || asFound_->serialNumber != read.serialNumber ||
        asFound_->modelCode != read.modelCode) {
        asFound_ = read;
        lastWrite_.reset();
    }
    asLeft_ = read.configuration;
}

void TForm2::recordWrite(WriteOutcome outcome) {
    if (!beingWritten_ || !asLeft_) {
        return;
    }
    const int confirmed = outcome == WriteOutcome::Failed
                              ? writesConfirmed_
                              : static_cast<int>(kConfigurationWrites.size());
    asLeft_ = confirmedConfiguration(*asLeft_, *beingWritten_, confirmed);
    lastWrite_ = LastWrite{outcome, confirmed, *asLeft_};
    beingWritten_.reset();
}

void TForm2::ExportReportClick() {
    const std::int16_t language = state_.languageId;
    const auto say = [language](const Texts& t) {
        return QString::fromUtf8(chooseText(language, t));
    };
    if (!asFound_) {
        dialogs_.showMessage(chooseText(language, texts::report::kReadFirst));
        return;
    }
    RecordDetails details = details_;
    if (!(askDetails_ ? askDetails_(details) : askRecordDetails(this, language, details))) {
        return;
    }
    details_ = details;
    const std::string path = chosenFile(true, *ui.ExportReport1, QStringLiteral("PDF (*.pdf)"));
    if (path.empty()) {
        return;
    }
    const Configuration& found = asFound_->configuration;
    const Configuration& left = asLeft_ ? *asLeft_ : found;
    QString rows;
    for (const RecordRow& row : recordRows(found, left, language)) {
        rows += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td></tr>")
                    .arg(escaped(row.field), escaped(row.asFound), escaped(row.asLeft),
                         row.changed ? QStringLiteral("*") : QString());
    }
    // The meter's readings of the output at each point trimmed, as found and as left.
    for (const auto& [point, readings] : meterReadings_) {
        const std::string label = fillText(
            chooseText(language, texts::meter::kRecordRow),
            {point == TrimPoint::FourMilliamp ? std::string("4 mA") : std::string("20 mA")});
        rows += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td></tr>")
                    .arg(escaped(label), escaped(formatFixed(readings.first, 3)),
                         escaped(formatFixed(readings.second, 3)),
                         readings.first != readings.second ? QStringLiteral("*") : QString());
    }
    const auto line = [](const QString& label, const QString& value) {
        return QStringLiteral("<tr><td>%1</td><td>%2</td></tr>")
            .arg(label.toHtmlEscaped(), value.toHtmlEscaped().replace('\n', "<br/>"));
    };
    const char* model = regmap::modelName(asFound_->modelCode);
    QString device;
    device += line(say(texts::report::kModel), QString::fromUtf8(model != nullptr ? model : "-"));
    device += line(say(texts::report::kFirmware),
                   QString::fromStdString(regmap::firmwareCaption(asFound_->firmwareIndex)));
    device += line(say(texts::report::kSerial), QString::number(asFound_->serialNumber));
    device += line(say(texts::report::kDateTime), dateTimeWithOffset(QDateTime::currentDateTime()));
    device +=
        line(say(texts::report::kProgram), QStringLiteral("Kelvane %1").arg(KELVANE_VERSION_TEXT));
    for (const auto& [label, value] :
         {std::pair{&texts::report::kTechnician, &details.technician},
          std::pair{&texts::report::kTag, &details.tag},
          std::pair{&texts::report::kLocation, &details.location},
          std::pair{&texts::report::kReferenceMeter, &details.referenceMeter},
          std::pair{&texts::report::kNotes, &details.notes}}) {
        if (!value->empty()) {
            device += line(say(*label), QString::fromStdString(*value));
        }
    }
    const QString html =
        QStringLiteral(
            "<h2>%1</h2><table cellpadding='3'>%2</table><br/>"
            "<table border='1' cellspacing='0' cellpadding='4'>"
            "<tr><th>%3</th><th>%4</th><th>%5</th><th>%6</th></tr>%7</table><br/>"
            "<table cellpadding='3'>%8</table>")
            .arg(say(texts::report::kTitle), device, say(texts::report::kField),
                 say(texts::report::kAsFound),
                 QString::fromStdString(asLeftHeading(lastWrite_, language)).toHtmlEscaped(),
                 say(texts::report::kChanged), rows,
                 line(say(texts::report::kLastWrite),
                      QString::fromStdString(lastWriteText(lastWrite_, language))));
    // Made in memory, then saved whole: a file that cannot be written (a PDF still open
    // in a reader on Windows) is reported, and never left half-written or silently old.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    QPdfWriter writer(&pdf);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setTitle(say(texts::report::kTitle));
    QTextDocument document;
    QFont font(QStringLiteral("DejaVu Sans"), 10);
    QStringList families{QStringLiteral("DejaVu Sans")};
    // The language's own Han forms: Windows' fonts first where they are, then Noto.
    if (language == kLanguageTraditionalChinese) {
        families = QStringList{QStringLiteral("Noto Sans CJK TC")} + families;
#ifdef Q_OS_WIN
        families = QStringList{QStringLiteral("Microsoft JhengHei"), QStringLiteral("PMingLiU")} +
                   families;
#endif
    } else if (language == kLanguageSimplifiedChinese) {
        families = QStringList{QStringLiteral("Noto Sans CJK SC")} + families;
#ifdef Q_OS_WIN
        families =
            QStringList{QStringLiteral("Microsoft YaHei"), QStringLiteral("SimSun")} + families;
#endif
    }
    font.setFamilies(families);
    // No ligatures: a record's words stay searchable and copyable as they are written.
    font.setStyleStrategy(QFont::PreferNoShaping);
    document.setDefaultFont(font);
    document.setHtml(html);
    document.print(&writer);

    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf.data()) != pdf.data().size() ||
        !file.commit()) {
        dialogs_.showMessage(std::string(chooseText(language, texts::kCannotWriteAFile)) + ": " +
                             path);
        return;
    }
    dialogs_.showMessage(std::string(chooseText(language, texts::report::kRecordWritten)) + ": " +
                         path);
}

}  // namespace kelvane
