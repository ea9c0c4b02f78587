// --report-windows: prints a line to standard output each time one of the program's
// windows is shown or hidden ("shown TForm3", "hidden TForm8"), so that a script or
// an end-to-end test can follow the program from the splash to the transmitter screen.
#pragma once

#include <QObject>
#include <cstdio>
#include <vector>

class QWidget;

namespace kelvane {

class WindowReport final : public QObject {
    Q_OBJECT
  public:
    WindowReport(const std::vector<QWidget*>& windows, std::FILE* out);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::FILE* out_;
};

}  // namespace kelvane
