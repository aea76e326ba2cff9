#pragma once

#include <QIcon>
#include <QPixmap>

namespace kvl::qt {

// The windows' and the tray's icon, drawn from the program's own SVG; the
// windows use it at 48 x 48.
constexpr int ProgramIconSize = 48;
QPixmap programPixmap(int size = ProgramIconSize);
QIcon programIcon();

} // namespace kvl::qt
