#pragma once

#include <QIcon>
#include <QImage>

namespace tessora {

// The tray's icon: the brand symbol, drawn at the size and pixel density the tray asks for (it
// lists 16, 22, 24, 32 and 48 px as its sizes).
QIcon trayIcon();

// One size of it: a `px` × `px` (logical) image at `devicePixelRatio`.
QImage renderTrayImage(int px, qreal devicePixelRatio = 2.0);

}  // namespace tessora
