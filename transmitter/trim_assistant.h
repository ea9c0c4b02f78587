// The trim assistant (View > Trim With Meter...): a window over the transmitter screen
// that trims the 4 mA and 20 mA points from a current meter's readings. Choosing a point
// chooses it on the page; each reading gives the count that should put the output at
// the point's current (device/meter_trim.h), written as an up-down step writes; it asks
// again until a reading is within the tolerance. Done returns the output to normal;
// Cancel writes back each point's count as found first. With --simulate a small
// "Simulated meter" readout shows what a meter in the loop would.
#pragma once

#include <QDialog>
#include <QTimer>
#include <cstdint>
#include <map>
#include <vector>

#include "device/meter_trim.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace kelvane {

class TForm2;

class TrimAssistant final : public QDialog {
  public:
    TrimAssistant(TForm2& screen, std::int16_t languageId);

    // The counts the slope is taken from: the page's two counts when the assistant opens.
    void start();
    void applyLanguage(std::int16_t languageId);

    void FourClick();
    void TwentyClick();
    void EnterClick();
    void DoneClick();
    void CancelClick();

    // For tests: the controls a technician uses.
    QLineEdit& reading() const { return *reading_; }
    QLineEdit& tolerance() const { return *tolerance_; }
    QLineEdit& meter() const { return *meter_; }
    QString status() const;
    QStringList steps() const;
    QString simulatedReadout() const;

  protected:
    void reject() override;  // Esc and the window's close button cancel

  private:
    void choose(TrimPoint point);
    void say(const QString& text);
    void showSimulatedMeter();

    TForm2& screen_;
    std::int16_t languageId_;
    QRadioButton* four_;
    QRadioButton* twenty_;
    QLineEdit* meter_;
    QLineEdit* reading_;
    QLineEdit* tolerance_;
    QPushButton* enter_;
    QPushButton* done_;
    QPushButton* cancel_;
    QListWidget* steps_;
    QLabel* status_;
    QLabel* simulated_;
    QLabel* pointLabel_;
    QLabel* meterLabel_;
    QLabel* readingLabel_;
    QLabel* toleranceLabel_;
    QTimer simulatedTimer_;
    std::optional<TrimPoint> point_;
    std::vector<MeterReading> readings_;
    std::map<TrimPoint, int> asFound_;
    int trim4mA_ = 0;
    int trim20mA_ = 0;
};

}  // namespace kelvane
