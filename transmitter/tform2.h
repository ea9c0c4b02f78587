// TForm2, the transmitter screen: a top-level window of its own (no owner, its own
// taskbar button) with the Configuration page and the hidden calibration page. The
// design lives in tform2_design.cpp; the behaviour is split over files by concern:
// life_cycle.cpp (activation, lock, status, menus, language), range_fields.cpp
// (input type rules and field checks), read_sequence.cpp (reading the configuration),
// write_sequence.cpp (writing it), measurement.cpp (live value), output_trim.cpp and
// trim_mirror.cpp (output trim on both pages), calibration.cpp (sensor calibration)
// serial_loader.cpp (serial number loading) and configuration_files.cpp (opening and
// saving configuration files).
#pragma once

#include <QMainWindow>
#include <array>
#include <functional>
#include <map>
#include <optional>

#include "device/calibration_rules.h"
#include "device/configuration_rules.h"
#include "device/trim_rules.h"
#include "device/write_rules.h"
#include "i18n/language_aware.h"
#include "i18n/message_choice.h"
#include "link/dialog_service.h"
#include "link/link.h"
#include "link/program_state.h"
#include "transmitter/activation_tracker.h"
#include "transmitter/configuration_record.h"
#include "transmitter/screen_hooks.h"
#include "transmitter/tform2_design.h"
#include "transmitter/trend_window.h"
#include "ui/status_label.h"

namespace kelvane {

class TrimAssistant;

class TForm2 : public QMainWindow, public LanguageAware {
    Q_OBJECT
  public:
    TForm2(Link& link, ProgramState& state, DialogService& dialogs, ScreenHooks hooks);

    void applyLanguage(std::int16_t languageId) override;

    const TForm2Design& design() const { return ui; }

    // Life cycle, lock and status.
    void FormActivate();
    void BtnAllOFF();
    void BtnAllON();
    void TimerAllOFF();
    // The 28 controls of the screen lock, in the order the lock sets them.
    std::array<QWidget*, 28> lockedControls() const;
    // Colour first, then the text chosen by the language id.
    void showStatusMessage(StatusColour colour, const Texts& texts);
    // A field that failed validation is red until it is checked again or a read starts.
    static void markField(QLineEdit& field, bool failed);

    // Menus.
    void Exit1Click();
    // Configuration files (configuration_files.cpp): the page to a JSON file, as
    // kelvane-cli read writes it, and a file to the page, as a user's choices would.
    void OpenConfigurationClick();
    void SaveConfigurationClick();
    // Reads the device as Read From Device does, without changing the page, and shows
    // each field where a file differs from it, as kelvane-cli diff does.
    void CompareWithDeviceClick();
    void CompareTimerTimer();
    // A PDF configuration record (configuration_report.cpp): the device as found, the
    // date, the details the technician gives, the configuration as found (the first
    // read of this device in this run) and as left (what the device last confirmed, by
    // a read or the writes of the last write), and the outcome of the last write.
    void ExportReportClick();
    // View > Trim With Meter...: the trim assistant over this screen; refused while a
    // sequence runs (meter_assistant.cpp).
    void TrimWithMeterClick();
    TrimAssistant* trimAssistant() const { return assistant_; }
    // The assistant's steps, each through the page's own handlers: a point chosen as
    // a click on "4 mA" or "20mA" chooses it, a count written as an up-down step writes
    // it (its drain first), the output returned by the "Normal(4 ~ 20mA)" handler.
    void meterChoosePoint(TrimPoint point);
    void meterWriteCount(TrimPoint point, int count);
    void meterNormalOutput();
    int pageTrimCount(TrimPoint point) const;
    std::optional<double> simulatedMeter() const;
    // A reading for the record: the first of a point as found, the latest as left.
    void recordMeterReading(TrimPoint point, double reading, const std::string& meter);
    // View > Measuring Value Trend: the window that plots what the polling reads.
    void MeasuringValueTrendClick();
    TrendWindow* trend() const { return trend_; }
    // Asks for a file to open or to save to; empty when the user cancels. Tests set it.
    using FileChooser = std::function<std::string(bool save)>;
    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
    // Asks for the record's details, filled with the last ones given; false when the
    // user cancels. The record details dialog unless a test sets another.
    using DetailsAsker = std::function<bool(RecordDetails& details)>;
    void setDetailsAsker(DetailsAsker asker) { askDetails_ = std::move(asker); }
    void EnglishClick();
    void TraditionalClick();
    void SimplifiedClick();
    void StartClick();
    void HelpClick();
    // Help contents: opens the current language's help file with the desktop's viewer.
    // No menu is bound to it; a missing file or viewer reports nothing.
    void ConentsClick();

    // Input type rules and field checks.
    void hilo_set(int type, int unit);
    void Item1Click();
    void Item3Click();
    void Edi3Exit();
    void Edi4Exit();
    void Edi61Exit();

    // Reading the configuration.
    void BtnP1Click();
    void Timer2Timer();

    // Writing the configuration. InputCheck marks failing fields and says whether
    // all passed (the validation flag is its negation).
    void BtnP2Click();
    bool InputCheck();
    void Timer3Timer();
    void Timer6Timer();

    // Live measurement.
    void Btn71Click();
    void Timer1Timer();
    void Btn72Click();
    void Btn51Click();
    void Btn52Click();

    // Output trim, Configuration page and calibration page.
    void RadioButton1Click();
    void RadioButton2Click();
    void RadioButton3Click();
    void Rad1Click();
    void Rad2Click();
    void Rad3Click();
    void ScrollBar1Change();
    void ScrollBar2Change();
    void ScrollBar3Change();
    void ScrollBar4Change();
    void ScrollBar1Scroll(ScrollCode code);
    void ScrollBar2Scroll(ScrollCode code);
    void ScrollBar3Scroll(ScrollCode code);
    void ScrollBar4Scroll(ScrollCode code);
    void UpDown1ChangingEx(UpDownDirection direction);
    void UpDown2ChangingEx(UpDownDirection direction);
    void UpDown3ChangingEx(UpDownDirection direction);
    void UpDown4ChangingEx(UpDownDirection direction);

    // Sensor calibration: Starts, Dones, polls and reference edit rules.
    void Btn11Click();
    void Btn12Click();
    void Btn31Click();
    void Btn32Click();
    void Btn21Click();
    void Btn22Click();
    void Button9Click();
    void Button10Click();
    void Button2Click();
    void Btn13Click();
    void Btn14Click();
    void Btn33Click();
    void Btn34Click();
    void Btn23Click();
    void Btn24Click();
    void Button11Click();
    void Button12Click();
    void Button3Click();
    void Timer4Timer();
    void Timer5Timer();
    void RTD_LoExit();
    void RTD_HiExit();
    void TC_LoExit();
    void TC_HiExit();
    void VLo1Exit();
    void VHi1Exit();
    void mALo1Exit();
    void mAHi1Exit();
    int activeCalibrationPoint() const { return activeCalibrationPoint_; }

    // Serial number loading.
    void Button1Click();

    // For service staff: shows the calibration page's tab and the serial number group,
    // which the design hides.
    void setServiceAccess(bool enabled);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    // The first frame already shows the identity and "Transmission...", not the design.
    void showEvent(QShowEvent* event) override;

  private:
    void connectHandlers();
    void focusWindowChanged(QWindow* window);
    void chooseLanguage(std::int16_t languageId);
    void useHanForms(std::int16_t languageId);
    void showModel(int modelCode);
    // Activation's first steps: page, identity captions, language.
    void showIdentity();
    void showFirmware(int firmwareIndex);
    // The unit label after the maximal range, the range fields and the offset field.
    void showUnitLabel(const QString& unitText);
    void showTrimCount(int count, QLineEdit& field, ScrollBar& bar, QLineEdit& twinField,
                       ScrollBar& twinBar);
    // Writing: every radio group has a choice; the value of one configuration write.
    bool choicesMade() const;
    bool writeConfiguration();
    std::optional<std::int16_t> configurationValue(WriteSource source);

    void showNormalOutputChosen();
    void requestProcessValue();

    // The controls of one trim point on one page, and its twin on the other page.
    struct TrimControls {
        QRadioButton* choice;
        QLineEdit* count;
        ScrollBar* bar;
        QRadioButton* twinChoice;
    };
    TrimControls trimControls(TrimPage page, TrimPoint point) const;
    void chooseTrimPoint(TrimPage page, TrimPoint point);
    void chooseNormalOutput(TrimPage page);
    void trimScrolled(TrimPage page, TrimPoint point, ScrollCode code);
    void trimStepped(TrimPage page, TrimPoint point, UpDownDirection direction);
    // Shows a count at a point on both pages and, at the chosen point, writes it as an
    // up-down step does.
    void setTrimCount(TrimPage page, TrimPoint point, int count);
    // A trim write: no drain, no echo check.
    void sendUnchecked(regmap::Register reg, std::int16_t value);
    static std::int16_t trimCount(const QLineEdit& field);

    // The controls of one calibration point: its Done button, reference edit and the
    // coefficient edits the poll fills (A0, then A1 or A2 where it shows one).
    struct CalibrationControls {
        QPushButton* done;
        QLineEdit* reference;
        QLineEdit* a0;
        QLineEdit* second;
    };
    CalibrationControls calibrationControls(CalibrationPointId id) const;
    // Drain, send, collect, echo check; once more on failure. True when confirmed.
    bool calibrationWrite(FunctionCode function, regmap::Register reg, std::int16_t value,
                          bool drainFirst, bool drainRepeat);
    bool prepareInput(int inputType, FunctionCode unitFunction);
    void startCalibration(CalibrationPointId id);
    void finishCalibration(regmap::Command store);
    void requestZero();
    static void checkReference(QLineEdit& edit, const ReferenceRule& rule);

    // Runs a handler through the conversion-error guard.
    template <class Handler>
    void run(Handler handler);

    Link& link_;
    ProgramState& state_;
    DialogService& dialogs_;
    FileChooser chooseFile_;
    QString lastFolder_;
    std::optional<kelvane::Configuration> comparedFile_;
    // What the configuration record holds: the device is known by model and serial
    // number together.
    struct Recorded {
        kelvane::Configuration configuration;
        int modelCode = 0;
        int firmwareIndex = 0;
        std::uint32_t serialNumber = 0;
    };
    std::optional<Recorded> asFound_;
    std::optional<kelvane::Configuration> asLeft_;  // what the device last confirmed
    std::optional<LastWrite> lastWrite_;
    std::optional<kelvane::Configuration> beingWritten_;  // until the store check
    int writesConfirmed_ = 0;
    RecordDetails details_;  // for this run only: the program stores nothing
    DetailsAsker askDetails_;
    TrendWindow* trend_ = nullptr;
    TrimAssistant* assistant_ = nullptr;
    // The meter's readings per point this run, as found and as left.
    std::map<TrimPoint, std::pair<double, double>> meterReadings_;
    kelvane::Configuration pageConfiguration() const;
    void recordRead();
    void recordWrite(WriteOutcome outcome);
    // True, and says so, while a sequence's timer runs (read, write, measurement, ...).
    bool sequenceRunning();
    // The file dialog, titled by the menu item that opened it.
    std::string chosenFile(bool save, const QAction& item,
                           const QString& filter = QStringLiteral("JSON (*.json)"));
    ScreenHooks hooks_;
    TForm2Design ui;
    ActivationTracker activation_;
    bool validationFailed_ = false;
    // Shared by the four trim up-down buttons.
    StepDirection lastStepDirection_ = StepDirection::Down;
    int activeCalibrationPoint_ = 0;
};

}  // namespace kelvane
