// Configuration files on the transmitter screen: Save writes the page as it stands,
// with the identity of the device it was read from, in the JSON that kelvane-cli read
// writes; Open loads a file into the page as a user's choices and typing would, and
// sends nothing: Write To Device sends it. A file the page cannot take changes nothing.
// Compare reads the device as Read From Device does and shows where a file differs.
#include <QFileInfo>
#include <charconv>
#include <fstream>

#include "device/config_file.h"
#include "device/configuration_rules.h"
#include "device/extended.h"
#include "device/file_paths.h"
#include "device/identity_rules.h"
#include "device/number_text.h"
#include "device/register_map.h"
#include "i18n/transmitter_texts.h"
#include "transmitter/tform2.h"
#include "ui/qt_dialogs.h"

namespace kelvane {

namespace texts = transmitter_texts;

namespace {

// A number the page holds, as JSON writes numbers: the shortest text that reads back
// as the same value ("1e3" and ".5" are numbers on the page, not in JSON).
std::string jsonNumber(const std::string& number) {
    const double value = Extended::fromText(number).toDouble();
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

}  // namespace

std::string TForm2::chosenFile(bool save, const QAction& item, const QString& filter) {
    if (chooseFile_) {
        return chooseFile_(save);
    }
    const QString path = askForFile(this, save, item.text(), lastFolder_, filter);
    if (!path.isEmpty()) {
        lastFolder_ = QFileInfo(path).absolutePath();  // remembered for this run only
    }
    return path.toStdString();
}

Configuration TForm2::pageConfiguration() const {
    Configuration c;
    c.inputType = ui.Item1->itemIndex();
    c.unit = ui.Item3->itemIndex();
    c.lower = ui.Edi3->text().toStdString();
    c.upper = ui.Edi4->text().toStdString();
    c.offset = ui.Edi61->text().toStdString();
    c.outputDirection = ui.Item4->itemIndex();
    c.breakSignal = ui.Item5->itemIndex();
    c.trim4mA = ui.Edit2->text().toInt();
    c.trim20mA = ui.Edit3->text().toInt();
    return c;
}

void TForm2::SaveConfigurationClick() {
    // Refused as Write To Device refuses: the failing fields turn red.
    if (!choicesMade() || !InputCheck()) {
        dialogs_.showMessage(chooseText(state_.languageId, texts::kCannotSaveFields));
        return;
    }
    const std::string path = chosenFile(true, *ui.SaveConfiguration1);
    if (path.empty()) {
        return;
    }
    ConfigurationFile file;
    file.configuration = pageConfiguration();
    for (std::string* number :
         {&file.configuration.lower, &file.configuration.upper, &file.configuration.offset}) {
        *number = jsonNumber(*number);
    }
    file.identity = Identity{state_.modelCode, state_.firmwareVersionIndex,
                             static_cast<std::uint32_t>(ui.Serial_Y->text().toULongLong())};
    std::ofstream out(pathFromUtf8(path));
    out << configurationJson(file);
    out.close();
    if (!out) {
        dialogs_.showMessage(std::string(chooseText(state_.languageId, texts::kCannotWriteFile)) +
                             ": " + path);
        return;
    }
    showStatusMessage(StatusColour::Green, texts::kFileSaved);
}

bool TForm2::sequenceRunning() {
    for (const QTimer* timer :
         {ui.Timer1, ui.Timer2, ui.Timer3, ui.Timer4, ui.Timer5, ui.Timer6, ui.CompareTimer}) {
        if (timer->isActive()) {
            // Its exchanges and the page it fills must not be crossed.
            dialogs_.showMessage(chooseText(state_.languageId, texts::kSequenceRunning));
            return true;
        }
    }
    return false;
}

void TForm2::OpenConfigurationClick() {
    if (sequenceRunning()) {
        return;
    }
    const std::string path = chosenFile(false, *ui.OpenConfiguration1);
    if (path.empty()) {
        return;
    }
    Configuration c;
    std::optional<FileProblem> problem;
    try {
        const ConfigurationFile file = readConfigurationFile(path);
        c = file.configuration;
        problem = modelMismatch(file.identity, state_.modelCode);
        if (!problem) {
            problem = validationProblem(c);
        }
        if (!problem) {
            problem = choiceNotOffered(c, state_.modelCode, state_.firmwareVersionIndex);
        }
    } catch (const BadFile& error) {
        problem = error.problem();
    }
    if (problem) {
        dialogs_.showMessage(std::string(chooseText(state_.languageId, texts::kCannotOpenFile)) +
                             ": " + describe(*problem, state_.languageId));
        return;
    }
    // The choices first, each running its rules as a click would; then the numbers,
    // each put in the page's own pattern as leaving its field does.
    ui.Item1->setItemIndex(c.inputType);
    ui.Item3->setItemIndex(c.unit);
    ui.Item4->setItemIndex(c.outputDirection);
    ui.Item5->setItemIndex(c.breakSignal);
    ui.Edi3->setText(QString::fromStdString(c.lower));
    Edi3Exit();
    ui.Edi4->setText(QString::fromStdString(c.upper));
    Edi4Exit();
    ui.Edi61->setText(QString::fromStdString(c.offset));
    Edi61Exit();
    showStatusMessage(StatusColour::Green, texts::kFileLoaded);
}

void TForm2::CompareWithDeviceClick() {
    if (sequenceRunning()) {
        return;
    }
    const std::string path = chosenFile(false, *ui.CompareWithDevice1);
    if (path.empty()) {
        return;
    }
    try {
        comparedFile_ = readConfigurationFile(path).configuration;
    } catch (const BadFile& error) {
        dialogs_.showMessage(std::string(chooseText(state_.languageId, texts::kCannotOpenFile)) +
                             ": " + describe(error.problem(), state_.languageId));
        return;
    }
    // The exchanges of Read From Device, into nothing on the page.
    BtnAllOFF();
    showStatusMessage(StatusColour::Blue, texts::kTransmission);
    const bool identified =
        regmap::readIdentityBlock(link_, state_.deviceAddress) == regmap::ReplyCheck::Good &&
        acceptIdentity(link_.response(3), link_.response(4));
    if (!identified) {
        showStatusMessage(StatusColour::Red, texts::kReadFail);
        BtnAllON();
        return;
    }
    regmap::requestConfiguration(link_, state_.deviceAddress);
    ui.CompareTimer->start();
}

void TForm2::CompareTimerTimer() {
    ui.CompareTimer->stop();
    link_.CollectResponse();
    if (!link_.ResponseCrcOk(regmap::kConfigurationCrcOffset) || !comparedFile_) {
        showStatusMessage(StatusColour::Red, texts::kReadFail);
        BtnAllON();
        return;
    }
    const Configuration device = decodeConfiguration(regmap::configurationRegisters(link_));
    const std::vector<FileProblem> differences = configurationDifferences(device, *comparedFile_);
    showStatusMessage(StatusColour::Green, texts::kReadSuccess);
    BtnAllON();
    std::string shown = chooseText(
        state_.languageId, differences.empty() ? texts::kNoDifferences : texts::kDifferences);
    for (const FileProblem& difference : differences) {
        shown += "\n" + describe(difference, state_.languageId);
    }
    dialogs_.showMessage(shown);
}

}  // namespace kelvane
