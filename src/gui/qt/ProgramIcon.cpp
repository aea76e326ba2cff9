#include "gui/qt/ProgramIcon.h"

#include <QPainter>
#include <QSvgRenderer>

namespace kvl::qt {

QPixmap programPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(QStringLiteral(":/icons/KvlTalvioPos.svg"));
    QPainter painter(&pixmap);
    renderer.render(&painter);
    return pixmap;
}

QIcon programIcon() {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, ProgramIconSize, 64})
        icon.addPixmap(programPixmap(size));
    return icon;
}

} // namespace kvl::qt
