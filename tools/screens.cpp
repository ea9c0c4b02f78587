// kelvane-screens FOLDER: renders the transmitter screen, talking to the simulated
// transmitter on the in-memory link, in the states a reviewer looks at (a failed
// validation, live measurement, the calibration page in the three languages) and
// saves each as FOLDER/<state>.png, and the configuration record after a write in the
// three languages as FOLDER/report-<language>.pdf. Run it offscreen or under Xvfb.
// `kelvane-screens --manual SOURCE OUT` builds the manual (tools/manual_builder.h).
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <cstdio>
#include <functional>
#include <string>

#include "device/number_text.h"
#include "tools/manual_builder.h"
#include "tools/screen_bench.h"

using namespace kelvane;

namespace {

using Bench = tools::ScreenBench;

bool save(QWidget& window, const QString& path) {
    return tools::saveWindow(window, path);
}

}  // namespace

int main(int argc, char* argv[]) {
    // The offscreen platform says for every window shown that it cannot place it.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& message) {
        if (!message.startsWith(QLatin1String("This plugin does not support"))) {
            std::fprintf(stderr, "%s\n", qPrintable(message));
        }
    });
    QApplication application(argc, argv);
    if (argc == 4 && std::string(argv[1]) == "--manual") {
        return tools::buildManual(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]))
                   ? 0
                   : 1;
    }
    if (argc != 2) {
        std::fprintf(stderr,
                     "usage: kelvane-screens FOLDER\n"
                     "       kelvane-screens --manual SOURCE OUT\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(folder.path());
    bool ok = true;
    {
        Bench bench;
        bench.refusedWrite();
        ok &= save(bench.screen, folder.filePath("failed-validation.png"));
    }
    {
        // Measuring after the 4 mA point was chosen: both pages show normal output.
        Bench bench;
        bench.ui().RadioButton1->setChecked(true);
        bench.measuring();
        ok &= save(bench.screen, folder.filePath("measuring.png"));
        bench.screen.setServiceAccess(true);
        bench.ui().PageCont->setCurrentWidget(bench.ui().TabSheet1);
        ok &= save(bench.screen, folder.filePath("measuring-calibration-page.png"));
    }
    const std::pair<std::int16_t, const char*> languages[] = {
        {kLanguageEnglish, "calibration-en.png"},
        {kLanguageTraditionalChinese, "calibration-zh-tw.png"},
        {kLanguageSimplifiedChinese, "calibration-zh-cn.png"},
    };
    for (const auto& [language, name] : languages) {
        Bench bench;
        bench.state.languageId = language;
        bench.screen.applyLanguage(language);
        bench.screen.setServiceAccess(true);
        bench.ui().PageCont->setCurrentWidget(bench.ui().TabSheet1);
        bench.screen.Btn71Click();
        bench.screen.Timer1Timer();
        bench.screen.Btn11Click();
        for (int tick = 0; tick < 3; ++tick) {
            bench.screen.Timer4Timer();
        }
        ok &= save(bench.screen, folder.filePath(name));
    }
    {
        Bench bench;
        ok &= save(bench.trendAfterTwoMinutes(), folder.filePath("trend.png"));
    }
    // The File and View menus in each language.
    for (const auto& [language, name] :
         {std::pair{kLanguageEnglish, "menus-en.png"},
          std::pair{kLanguageTraditionalChinese, "menus-zh-tw.png"},
          std::pair{kLanguageSimplifiedChinese, "menus-zh-cn.png"}}) {
        Bench bench;
        bench.state.languageId = language;
        bench.screen.applyLanguage(language);
        QMenu* file = bench.screen.findChild<QMenu*>("File1");
        QMenu* view = bench.screen.findChild<QMenu*>("View1");
        file->popup(QPoint(0, 0));
        view->popup(QPoint(0, 0));
        QApplication::processEvents();
        QImage both(file->width() + view->width() + 10, std::max(file->height(), view->height()),
                    QImage::Format_ARGB32);
        both.fill(Qt::white);
        QPainter painter(&both);
        painter.drawPixmap(0, 0, file->grab());
        painter.drawPixmap(file->width() + 10, 0, view->grab());
        painter.end();
        file->close();
        view->close();
        ok &= both.save(folder.filePath(name));
        std::printf("saved %s\n", qPrintable(folder.filePath(name)));
    }
    // The configuration record after a write, in each language.
    const std::pair<std::int16_t, const char*> reports[] = {
        {kLanguageEnglish, "report-en.pdf"},
        {kLanguageTraditionalChinese, "report-zh-tw.pdf"},
        {kLanguageSimplifiedChinese, "report-zh-cn.pdf"},
    };
    for (const auto& [language, name] : reports) {
        Bench bench;
        bench.ui().Edi4->setText("750");
        bench.screen.BtnP2Click();
        bench.screen.Timer3Timer();
        bench.screen.Timer6Timer();
        bench.state.languageId = language;
        bench.screen.applyLanguage(language);
        const std::string path = folder.filePath(name).toStdString();
        bench.screen.setFileChooser([path](bool) { return path; });
        bench.screen.setDetailsAsker([](RecordDetails& details) {
            details = {"A. Chen", "TT-101 / loop 12", "Boiler house, line 2",
                       "Fluke 87V, s/n 40120077", "Range raised for the new burner."};
            return true;
        });
        bench.screen.ExportReportClick();
        ok &= QFileInfo::exists(QString::fromStdString(path));
        std::printf("saved %s\n", path.c_str());
    }
    return ok ? 0 : 1;
}
