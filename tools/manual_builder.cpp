#include "tools/manual_builder.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "device/input_rules.h"
#include "device/register_map.h"
#include "i18n/help_files.h"
#include "i18n/message_choice.h"
#include "tools/manual_pictures.h"

namespace kelvane::tools {
namespace {

struct ManualLanguage {
    std::int16_t languageId;
    const char* helpLanguage;  // the help project's locale, as chmcmd and hh.exe read it
};

constexpr ManualLanguage kLanguages[] = {
    {kLanguageEnglish, "0x409 English (United States)"},
    {kLanguageTraditionalChinese, "0x404 Chinese (Taiwan)"},
    {kLanguageSimplifiedChinese, "0x804 Chinese (PRC)"},
};

// The pages in the order of the contents.
constexpr const char* kPages[] = {
    "index.html",         "connecting.html",      "finding.html",
    "configuration.html", "input-ranges.html",    "measuring.html",
    "trim.html",          "files.html",           "simulate.html",
    "cli.html",           "troubleshooting.html",
};

namespace words {
constexpr Texts kTitle{"Ranges and offsets of each input type", "各輸入類型的範圍與偏差",
                       "各输入类型的范围与偏差"};
constexpr Texts kIntro{
    "What the Configuration page allows for each input type and unit: the range fields "
    "lie within the maximal range, the offset within its limits (5 % of the maximal "
    "range). Temperatures are whole degrees.",
    "設定頁面對各輸入類型與單位所允許的值: 範圍欄位須在最大量測範圍內,偏差須在其限制內"
    "(最大量測範圍的 5 %)。溫度為整數度。",
    "设定页面对各输入类型与单位所允许的值: 范围栏位须在最大量测范围内,偏差须在其限制内"
    "(最大量测范围的 5 %)。温度为整数度。"};
constexpr Texts kInput{"Input type", "輸入類型", "输入类型"};
constexpr Texts kUnit{"Unit", "單位", "单位"};
constexpr Texts kLowest{"Lowest", "最低", "最低"};
constexpr Texts kHighest{"Highest", "最高", "最高"};
constexpr Texts kOffset{"Offset limits", "偏差限制", "偏差限制"};
constexpr Texts kContents{"Contents", "目錄", "目录"};
}  // namespace words

QString text(std::int16_t languageId, const Texts& texts) {
    return QString::fromUtf8(chooseText(languageId, texts));
}

QString readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

bool writeAll(const QString& path, const QString& contents) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(contents.toUtf8()) < 0) {
        std::fprintf(stderr, "kelvane-screens: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

QString escaped(const QString& plain) {
    return plain.toHtmlEscaped();
}

// The ranges page, from the rules the Configuration page applies.
QString rangesPage(const ManualLanguage& language) {
    const std::int16_t id = language.languageId;
    QString rows;
    for (int type = 0; type < static_cast<int>(regmap::kInputTypes.size()); ++type) {
        const bool temperature = regmap::kInputTypes[static_cast<size_t>(type)].family ==
                                 regmap::InputFamily::Temperature;
        for (const int unit : {regmap::kUnitCelsius, regmap::kUnitFahrenheit}) {
            if (!temperature && unit == regmap::kUnitFahrenheit) {
                continue;
            }
            const auto display = rangeDisplay(type, unit);
            rows += QStringLiteral(
                        "<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td><td>%5 ~ %6</td></tr>\n")
                        .arg(escaped(QString::fromUtf8(
                                 regmap::kInputTypes[static_cast<size_t>(type)].caption)),
                             escaped(QString::fromStdString(display->unitLabel.value_or(""))),
                             QString::fromStdString(display->lowerText.value_or("")),
                             QString::fromStdString(display->upperText.value_or("")),
                             QString::fromStdString(display->offsetLowText),
                             QString::fromStdString(display->offsetHighText));
        }
    }
    return QStringLiteral(
               "<!DOCTYPE html>\n<html lang=\"%1\">\n<head><meta "
               "charset=\"utf-8\"><title>%2</title>"
               "<link rel=\"stylesheet\" href=\"manual.css\"></head>\n<body>\n"
               "<nav><a href=\"index.html\">%3</a></nav>\n<h1>%2</h1>\n<p>%4</p>\n<table>\n"
               "<tr><th>%5</th><th>%6</th><th>%7</th><th>%8</th><th>%9</th></tr>\n")
               .arg(QString::fromLatin1(manualFolder(language.languageId)), text(id, words::kTitle),
                    text(id, words::kContents), escaped(text(id, words::kIntro)),
                    text(id, words::kInput), text(id, words::kUnit), text(id, words::kLowest),
                    text(id, words::kHighest), text(id, words::kOffset)) +
           rows + QStringLiteral("</table>\n</body>\n</html>\n");
}

QString plainText(QString html) {
    html.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    html.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    html.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    html.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    html.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return html.simplified();
}

struct Heading {
    QString name;
    QString local;  // page, or page#id
};

// A sitemap entry of the contents or the index.
QString sitemapEntry(const Heading& heading) {
    return QStringLiteral(
               "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"%1\">"
               "<param name=\"Local\" value=\"%2\"></OBJECT>\n")
        .arg(heading.name.toHtmlEscaped(), heading.local);
}

QString sitemap(const std::vector<Heading>& entries) {
    QString body = QStringLiteral(
        "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\">\n<HTML><HEAD></HEAD><BODY>\n<UL>\n");
    for (const Heading& entry : entries) {
        body += sitemapEntry(entry);
    }
    return body + QStringLiteral("</UL>\n</BODY></HTML>\n");
}

// The help project of one language's folder: every file in it, the contents by page
// title, the index by page title and section heading.
bool writeHelpProject(const QDir& folder, const ManualLanguage& language) {
    std::vector<Heading> contents;
    std::vector<Heading> index;
    const QRegularExpression title(QStringLiteral("<title>(.*?)</title>"),
                                   QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpression section(QStringLiteral("<h2(?: id=\"([^\"]*)\")?>(.*?)</h2>"),
                                     QRegularExpression::DotMatchesEverythingOption);
    for (const char* page : kPages) {
        const QString name = QString::fromLatin1(page);
        const QString html = readAll(folder.filePath(name));
        if (html.isEmpty()) {
            std::fprintf(stderr, "kelvane-screens: the manual has no page %s\n",
                         qPrintable(folder.filePath(name)));
            return false;
        }
        const QString pageTitle = plainText(title.match(html).captured(1));
        contents.push_back({pageTitle, name});
        index.push_back({pageTitle, name});
        for (auto it = section.globalMatch(html); it.hasNext();) {
            const auto match = it.next();
            const QString anchor = match.captured(1);
            index.push_back({plainText(match.captured(2)),
                             anchor.isEmpty() ? name : name + QLatin1Char('#') + anchor});
        }
    }
    std::stable_sort(index.begin(), index.end(), [](const Heading& a, const Heading& b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    QString files;
    QDir images(folder.filePath(QStringLiteral("images")));
    for (const char* page : kPages) {
        files += QString::fromLatin1(page) + QLatin1Char('\n');
    }
    files += QStringLiteral("manual.css\n");
    for (const QString& image :
         images.entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name)) {
        files += QStringLiteral("images/") + image + QLatin1Char('\n');
    }
    const QString helpTitle = contents.front().name;
    const QString project =
        QStringLiteral(
            "[OPTIONS]\nCompatibility=1.1 or later\nCompiled file=%1\nContents file=toc.hhc\n"
            "Index file=index.hhk\nDefault topic=index.html\nDefault Window=main\n"
            "Display compile progress=No\nFull-text search=Yes\nLanguage=%2\nTitle=%3\n\n"
            "[WINDOWS]\nmain=\"%3\",\"toc.hhc\",\"index.hhk\",\"index.html\",\"index.html\","
            ",,,,0x63520,,0x387e,,,,,,,,0\n\n[FILES]\n")
            .arg(QString::fromLatin1(helpFileName(language.languageId)),
                 QString::fromLatin1(language.helpLanguage), helpTitle) +
        files;
    return writeAll(folder.filePath(QStringLiteral("kelvane.hhp")), project) &&
           writeAll(folder.filePath(QStringLiteral("toc.hhc")), sitemap(contents)) &&
           writeAll(folder.filePath(QStringLiteral("index.hhk")), sitemap(index));
}

bool copyPages(const QDir& from, const QDir& to, const QString& styleSheet) {
    bool ok = writeAll(to.filePath(QStringLiteral("manual.css")), styleSheet);
    for (const QString& page : from.entryList({QStringLiteral("*.html")}, QDir::Files)) {
        QString html = readAll(from.filePath(page));
        if (html.isEmpty()) {
            std::fprintf(stderr, "kelvane-screens: cannot read %s\n",
                         qPrintable(from.filePath(page)));
            ok = false;
            continue;
        }
        // In the sources the languages share one style sheet; built, each has its own.
        html.replace(QStringLiteral("href=\"../manual.css\""),
                     QStringLiteral("href=\"manual.css\""));
        ok &= writeAll(to.filePath(page), html);
    }
    return ok;
}

}  // namespace

bool buildManual(const QString& source, const QString& out) {
    const QDir sources(source);
    const QString styleSheet = readAll(sources.filePath(QStringLiteral("manual.css")));
    bool ok = !styleSheet.isEmpty();
    for (const ManualLanguage& language : kLanguages) {
        const QDir folder(
            QDir(out).filePath(QString::fromLatin1(manualFolder(language.languageId))));
        QDir().mkpath(folder.filePath(QStringLiteral("images")));
        ok &= copyPages(
            QDir(sources.filePath(QString::fromLatin1(manualFolder(language.languageId)))), folder,
            styleSheet);
        ok &= writeAll(folder.filePath(QStringLiteral("input-ranges.html")), rangesPage(language));
        ok &= renderManualPictures(language.languageId,
                                   QDir(folder.filePath(QStringLiteral("images"))));
        ok &= writeHelpProject(folder, language);
    }
    return ok;
}

}  // namespace kelvane::tools
