#include "transmitter/trend_window.h"

#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QFileDialog>
#include <QLineSeries>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <fstream>

#include "device/number_text.h"
#include "i18n/transmitter_texts.h"

namespace kelvane {

namespace texts = transmitter_texts;

TrendWindow::TrendWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("TrendWindow");
    resize(640, 400);
    series_ = new QLineSeries(this);
    chart_ = new QChart();
    chart_->addSeries(series_);
    chart_->legend()->hide();
    timeAxis_ = new QDateTimeAxis(this);
    timeAxis_->setFormat(QStringLiteral("HH:mm:ss"));
    valueAxis_ = new QValueAxis(this);
    chart_->addAxis(timeAxis_, Qt::AlignBottom);
    chart_->addAxis(valueAxis_, Qt::AlignLeft);
    series_->attachAxis(timeAxis_);
    series_->attachAxis(valueAxis_);
    auto* view = new QChartView(chart_, this);
    view->setRenderHint(QPainter::Antialiasing);
    saveButton_ = new QPushButton(QStringLiteral("Save CSV..."), this);
    saveButton_->setObjectName("SaveCsv");
    connect(saveButton_, &QPushButton::clicked, this, &TrendWindow::SaveCsvClick);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view);
    layout->addWidget(saveButton_, 0, Qt::AlignRight);
    applyLanguage(languageId_);
}

void TrendWindow::addValue(const QDateTime& at, std::int16_t raw, const std::string& shown,
                           const std::string& unit) {
    samples_.push_back({at, raw, shown, unit});
    // Only the last kMinutes minutes are drawn; the samples stay for the CSV.
    const QDateTime oldest = at.addSecs(-60 * kMinutes);
    while (series_->count() > 0 &&
           QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(series_->at(0).x())) < oldest) {
        series_->remove(0);
    }
    try {
        const double value = textToFloat(shown);
        series_->append(static_cast<double>(at.toMSecsSinceEpoch()), value);
    } catch (const ConversionError&) {
        // "OPEN": no value to draw; the line breaks off there.
    }
    valueAxis_->setTitleText(QString::fromStdString(unit));
    if (series_->count() > 0) {
        const auto points = series_->points();
        const auto [low, high] =
            std::minmax_element(points.begin(), points.end(),
                                [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
        const double margin = std::max(1.0, (high->y() - low->y()) * 0.1);
        valueAxis_->setRange(low->y() - margin, high->y() + margin);
        timeAxis_->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(points.front().x())),
                            std::max(at, QDateTime::fromMSecsSinceEpoch(
                                             static_cast<qint64>(points.front().x()) + 10'000)));
    }
}

int TrendWindow::plottedPoints() const {
    return series_->count();
}

void TrendWindow::applyLanguage(std::int16_t languageId) {
    languageId_ = languageId;
    setWindowTitle(QString::fromUtf8(chooseText(languageId, texts::trend::kTitle)));
    saveButton_->setText(QString::fromUtf8(chooseText(languageId, texts::trend::kSaveCsv)));
}

bool TrendWindow::saveCsv(const std::string& path) const {
    std::ofstream out(path);
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
        path =
            QFileDialog::getSaveFileName(this, QString(), QString(), QStringLiteral("CSV (*.csv)"))
                .toStdString();
    }
    if (!path.empty() && !saveCsv(path)) {
        QMessageBox::warning(this, windowTitle(),
                             QString::fromUtf8(chooseText(languageId_, texts::kCannotWriteFile)) +
                                 QStringLiteral(": ") + QString::fromStdString(path));
    }
}

}  // namespace kelvane
