// The configuration record: what was found on a device and what was left on it,
// written as a PDF by Qt's own PDF writer in the current language, the Han forms of
// the language drawn with its own CJK font (embedded in the file).
#include <QBuffer>
#include <QDateTime>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

#include "device/register_map.h"
#include "i18n/transmitter_texts.h"
#include "transmitter/tform2.h"

namespace kelvane {

namespace texts = transmitter_texts;

namespace {

QString escaped(const std::string& text) {
    return QString::fromStdString(text).toHtmlEscaped();
}

// A choice's caption, the same in every language, as the page shows it.
template <std::size_t N>
std::string captionOf(const std::array<const char*, N>& captions, int code) {
    return code >= 0 && code < static_cast<int>(N) ? captions[static_cast<std::size_t>(code)] : "";
}

std::string inputCaption(int code) {
    return regmap::isInputType(code) ? regmap::kInputTypes[static_cast<std::size_t>(code)].caption
                                     : "";
}

const Texts& catalogueText(const char* control) {
    for (const auto& entry : texts::kConfigurationCaptions) {
        if (std::string(entry.control) == control) {
            return entry.texts;
        }
    }
    return texts::kConfigurationCaptions.front().texts;
}

}  // namespace

void TForm2::recordRead() {
    Recorded read{pageConfiguration(),
                  static_cast<std::uint32_t>(ui.Serial_Y->text().toULongLong())};
    // Another device: its record starts afresh.
    if (!asFound_ || asFound_->serialNumber != read.serialNumber) {
        asFound_ = read;
        lastWritten_.reset();
        storeCheckResult_ = nullptr;
    }
    lastRead_ = read;
}

void TForm2::recordWrite(const Texts& storeCheck) {
    if (!beingWritten_ || !lastRead_) {
        return;
    }
    lastWritten_ = Recorded{*beingWritten_, lastRead_->serialNumber};
    storeCheckResult_ = &storeCheck;
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
    const std::string path = chosenFile(true, QStringLiteral("PDF (*.pdf)"));
    if (path.empty()) {
        return;
    }
    const Configuration& found = asFound_->configuration;
    const Configuration& left =
        lastWritten_ ? lastWritten_->configuration : (lastRead_ ? lastRead_->configuration : found);
    const auto row = [](const QString& label, const std::string& before, const std::string& after) {
        return QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td></tr>")
            .arg(label.toHtmlEscaped(), escaped(before), escaped(after));
    };
    const auto caption = [&](const char* control) {
        QString text = say(catalogueText(control)).trimmed();
        return text.endsWith(':') ? text.chopped(1).trimmed() : text;
    };
    QString rows;
    rows += row(caption("Item1"), inputCaption(found.inputType), inputCaption(left.inputType));
    rows += row(caption("Item3"), captionOf(regmap::kUnits, found.unit),
                captionOf(regmap::kUnits, left.unit));
    rows += row(caption("Lab21"), found.lower, left.lower);
    rows += row(caption("Lab22"), found.upper, left.upper);
    rows += row(caption("Item6"), found.offset, left.offset);
    rows += row(caption("Item4"), captionOf(regmap::kOutputDirections, found.outputDirection),
                captionOf(regmap::kOutputDirections, left.outputDirection));
    rows += row(caption("Item5"), captionOf(regmap::kBreakSignals, found.breakSignal),
                captionOf(regmap::kBreakSignals, left.breakSignal));
    rows += row(say(texts::report::kTrim4mA), std::to_string(found.trim4mA),
                std::to_string(left.trim4mA));
    rows += row(say(texts::report::kTrim20mA), std::to_string(found.trim20mA),
                std::to_string(left.trim20mA));

    const char* model = regmap::modelName(state_.modelCode);
    const QString storeCheck = storeCheckResult_ != nullptr ? say(*storeCheckResult_)
                                                            : say(texts::report::kNothingWritten);
    const QString html =
        QStringLiteral(
            "<h2>%1</h2><table cellpadding='3'>"
            "<tr><td>%2</td><td>%3</td></tr><tr><td>%4</td><td>%5</td></tr>"
            "<tr><td>%6</td><td>%7</td></tr><tr><td>%8</td><td>%9</td></tr></table><br/>"
            "<table border='1' cellspacing='0' cellpadding='4'>"
            "<tr><th>%10</th><th>%11</th><th>%12</th></tr>%13</table><br/>"
            "<table cellpadding='3'><tr><td>%14</td><td>%15</td></tr></table>")
            .arg(say(texts::report::kTitle), say(texts::report::kModel),
                 QString::fromUtf8(model != nullptr ? model : "-"), say(texts::report::kFirmware),
                 QString::fromStdString(regmap::firmwareCaption(state_.firmwareVersionIndex)),
                 say(texts::report::kSerial), QString::number(asFound_->serialNumber),
                 say(texts::report::kDateTime),
                 QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
            .arg(say(texts::report::kField), say(texts::report::kAsFound),
                 say(texts::report::kAsLeft), rows, say(texts::report::kStoreCheck),
                 storeCheck.toHtmlEscaped());

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
    }
}

}  // namespace kelvane
