#include "gui/qt/QtDocumentOpener.h"

#include <QDesktopServices>
#include <QFile>
#include <QUrl>

namespace kvl::qt {

void QtDocumentOpener::open(const std::string& path) {
    // A path is bytes; the file system decides their characters.
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(path.c_str())));
}

} // namespace kvl::qt
