// The measured value over time: a window of its own with a line drawing of what the
// measurement polling shows (the last kMinutes minutes, the unit on the value axis)
// and "Save CSV..." with the columns of kelvane-cli measure. It sends nothing: the
// transmitter screen hands it each value its polling reads.
#pragma once

#include <QDateTime>
#include <QWidget>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "link/serial_port.h"

class QPushButton;

namespace kelvane {

class TrendPlot;

class TrendWindow final : public QWidget {
    Q_OBJECT
  public:
    explicit TrendWindow(QWidget* parent = nullptr);

    struct Sample {
        Micros steady;  // when it was read, on a clock that never steps
        QDateTime at;   // the same moment on the wall clock, for the labels and the CSV
        std::int16_t raw;
        std::string shown;  // as kelvane-cli measure writes it; "OPEN" for a broken sensor
        std::string unit;
    };
    static constexpr int kMinutes = 10;

    // A value the polling read; "OPEN" is kept in the samples but not plotted, and the
    // line breaks off there. Only the last kMinutes are kept, counted on the steady
    // clock, so that a day of polling takes no more memory than ten minutes and a step
    // of the wall clock neither empties nor stretches the drawing.
    void addValue(Micros steady, const QDateTime& at, std::int16_t raw, const std::string& shown,
                  const std::string& unit);
    // The next value starts a new stretch of line: a read that failed, or a new
    // measurement after a Stop.
    void breakLine();
    const std::deque<Sample>& samples() const { return samples_; }
    int plottedPoints() const;
    // Separate stretches of line: a value that cannot be drawn starts a new one.
    int plottedLines() const;
    void applyLanguage(std::int16_t languageId);

    // "time,raw,value,unit" and one line a sample; false when the file cannot be written.
    bool saveCsv(const std::string& path) const;
    void SaveCsvClick();
    // Asks for the file to save to; empty when the user cancels. Tests set it.
    void setFileChooser(std::function<std::string()> chooser) { chooseFile_ = std::move(chooser); }

  private:
    std::deque<Sample> samples_;
    TrendPlot* plot_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    std::function<std::string()> chooseFile_;
    std::int16_t languageId_ = 0;
};

}  // namespace kelvane
