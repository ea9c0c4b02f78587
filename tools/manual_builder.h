// The manual as the build makes it, from manual/ in the sources: for each language a
// folder that stands alone, as a help file's pages must, holding
//  - the language's pages, with the style sheet beside them;
//  - input-ranges.html, the range and offset limits of every input type, written from
//    the input rules the Configuration page applies (never typed by hand);
//  - images/, the screens rendered by the program itself in that language;
//  - kelvane.hhp, toc.hhc and index.hhk, the help project chmcmd compiles into the
//    language's help file, its contents and index taken from the pages' titles and
//    headings.
#pragma once

#include <QString>

namespace kelvane::tools {

bool buildManual(const QString& source, const QString& out);

}  // namespace kelvane::tools
