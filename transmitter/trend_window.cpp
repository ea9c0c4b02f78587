#include "transmitter/trend_window.h"

#include <QMessageBox>
#include <QPainter>
#include <QPolygonF>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <deque>
#include <fstream>
#include <optional>

#include "device/file_paths.h"
#include "device/number_text.h"
#include "i18n/transmitter_texts.h"
#include "ui/qt_dialogs.h"

namespace kelvane {

namespace texts = transmitter_texts;

// The drawing: values against time, with value and time labels, drawn with QPainter.
class TrendPlot final : public QWidget {
  public:
    explicit TrendPlot(QWidget* parent) : QWidget(parent) { setMinimumSize(320, 200); }

    // A value at a steady time, or none (a broken sensor): the line breaks off there.
    // Points older than kMinutes before the newest one leave the drawing. The time
    // labels are the wall clock's, as it stands at the newest point.
    void add(qint64 ms, qint64 wallMs, std::optional<double> value, const QString& unit) {
        unit_ = unit;
        wallOffset_ = wallMs - ms;
        while (!points_.empty() && points_.front().ms < ms - 60'000LL * TrendWindow::kMinutes) {
            points_.pop_front();
            if (!points_.empty()) {
                points_.front().startsLine = true;
            }
        }
        if (!value) {
            breakNext_ = true;
        } else {
            points_.push_back({ms, *value, breakNext_ || points_.empty()});
            breakNext_ = false;
        }
        update();
    }
    void breakLine() { breakNext_ = true; }
    int points() const { return static_cast<int>(points_.size()); }
    int lines() const {
        return static_cast<int>(std::count_if(points_.begin(), points_.end(),
                                              [](const Point& p) { return p.startsLine; }));
    }

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    struct Point {
        qint64 ms;
        double value;
        bool startsLine;
    };
    std::deque<Point> points_;
    bool breakNext_ = false;
    qint64 wallOffset_ = 0;
    QString unit_;
};

void TrendPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const QFontMetrics metrics = fontMetrics();
    const int textHeight = metrics.height();
    const QRect area = rect().adjusted(
        metrics.horizontalAdvance(QStringLiteral("-00000.00")) + textHeight + 10,
        textHeight / 2 + 6, -metrics.horizontalAdvance('0') * 4, -(textHeight + 10));
    const QColor ink = palette().text().color();
    painter.save();
    painter.translate(4, area.center().y());
    painter.rotate(-90);
    painter.setPen(ink);
    painter.drawText(QRect(-area.height() / 2, 0, area.height(), textHeight), Qt::AlignCenter,
                     unit_);
    painter.restore();
    if (points_.empty()) {
        painter.setPen(ink);
        painter.drawRect(area);
        return;
    }

    // Values with a margin of a tenth (at least one unit); at least ten seconds of time.
    const auto [low, high] =
        std::minmax_element(points_.begin(), points_.end(),
                            [](const Point& a, const Point& b) { return a.value < b.value; });
    const double margin = std::max(1.0, (high->value - low->value) * 0.1);
    const double bottom = low->value - margin;
    const double top = high->value + margin;
    const qint64 first = points_.front().ms;
    const qint64 last = std::max(points_.back().ms, first + 10'000);
    const auto xOf = [&](qint64 ms) {
        return area.left() + static_cast<double>(ms - first) * area.width() / (last - first);
    };
    const auto yOf = [&](double value) {
        return area.bottom() - (value - bottom) * area.height() / (top - bottom);
    };

    const int decimals = top - bottom >= 20 ? 0 : top - bottom >= 2 ? 1 : 2;
    QColor grid = ink;
    grid.setAlpha(50);
    for (int i = 0; i <= 4; ++i) {
        const double value = bottom + (top - bottom) * i / 4;
        const int y = static_cast<int>(yOf(value));
        painter.setPen(grid);
        painter.drawLine(area.left(), y, area.right(), y);
        painter.setPen(ink);
        painter.drawText(QRect(0, y - textHeight / 2, area.left() - 6, textHeight),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(value, 'f', decimals));
    }
    for (int i = 0; i <= 3; ++i) {
        const qint64 ms = first + (last - first) * i / 3;
        const int x = static_cast<int>(xOf(ms));
        painter.setPen(grid);
        painter.drawLine(x, area.top(), x, area.bottom());
        painter.setPen(ink);
        const QString label =
            QDateTime::fromMSecsSinceEpoch(ms + wallOffset_).toString(QStringLiteral("HH:mm:ss"));
        const int width = metrics.horizontalAdvance(label);
        painter.drawText(QRect(std::min(x - width / 2, rect().right() - width), area.bottom() + 6,
                               width, textHeight),
                         Qt::AlignCenter, label);
    }
    painter.drawRect(area);

    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().highlight().color(), 2));
    QPolygonF line;
    const auto drawLine = [&] {
        if (line.size() == 1) {
            painter.drawEllipse(line.front(), 1.5, 1.5);
        } else {
            painter.drawPolyline(line);
        }
        line.clear();
    };
    for (const Point& point : points_) {
        if (point.startsLine && !line.isEmpty()) {
            drawLine();
        }
        line << QPointF(xOf(point.ms), yOf(point.value));
    }
    drawLine();
}

TrendWindow::TrendWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("TrendWindow");
    resize(640, 400);
    plot_ = new TrendPlot(this);
    saveButton_ = new QPushButton(QStringLiteral("Save CSV..."), this);
    saveButton_->setObjectName("SaveCsv");
    connect(saveButton_, &QPushButton::clicked, this, &TrendWindow::SaveCsvClick);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(plot_);
    layout->addWidget(saveButton_, 0, Qt::AlignRight);
    applyLanguage(languageId_);
}

void TrendWindow::addValue(Micros steady, const QDateTime& at, std::int16_t raw,
                           const std::string& shown, const std::string& unit) {
    while (!samples_.empty() && samples_.front().steady < steady - std::chrono::minutes(kMinutes)) {
        samples_.pop_front();
    }
    samples_.push_back({steady, at, raw, shown, unit});
    std::optional<double> value;
    try {
        value = textToFloat(shown);
    } catch (const ConversionError&) {
        // "OPEN": no value to draw.
    }
    plot_->add(std::chrono::duration_cast<std::chrono::milliseconds>(steady).count(),
               at.toMSecsSinceEpoch(), value, QString::fromStdString(unit));
}

void TrendWindow::breakLine() {
    plot_->breakLine();
}

int TrendWindow::plottedPoints() const {
    return plot_->points();
}

int TrendWindow::plottedLines() const {
    return plot_->lines();
}

void TrendWindow::applyLanguage(std::int16_t languageId) {
    languageId_ = languageId;
    setWindowTitle(QString::fromUtf8(chooseText(languageId, texts::trend::kTitle)));
    saveButton_->setText(QString::fromUtf8(chooseText(languageId, texts::trend::kSaveCsv)));
}

bool TrendWindow::saveCsv(const std::string& path) const {
    std::ofstream out(pathFromUtf8(path));
    out << "time,raw,value,unit\n";
    for (const Sample& sample : samples_) {
        out << sample.at.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ")).toStdString()
            << "," << sample.raw << "," << sample.shown << "," << sample.unit << "\n";
    }
    out.close();
    return static_cast<bool>(out);
}

void TrendWindow::SaveCsvClick() {
    std::string path;
    if (chooseFile_) {
        path = chooseFile_();
    } else {
        path = askForFile(this, true, saveButton_->text(), QString(), QStringLiteral("CSV (*.csv)"))
                   .toStdString();
    }
    if (!path.empty() && !saveCsv(path)) {
        QMessageBox::warning(this, windowTitle(),
                             QString::fromUtf8(chooseText(languageId_, texts::kCannotWriteAFile)) +
                                 QStringLiteral(": ") + QString::fromStdString(path));
    }
}

}  // namespace kelvane
