#pragma once

#include "core/InstalledApp.h"

#include <QImage>

namespace tessora {

// The size, in pixels, an icon is kept at for drawing at up to `logicalSize` on a screen of
// `devicePixelRatio`: no smaller, so that it stays crisp, and no larger, since every pixel of
// every icon kept is memory held for the life of the program.
int iconPixels(int logicalSize, qreal devicePixelRatio);

class IconDirectories;

// The application's icon at `size` × `size` pixels, read afresh on every call: the entry's Icon
// key as a file path or as a name found in `directories` (the icon themes, then the legacy
// pixmaps folders). Null when there is none to be had; the caller shows the placeholder then.
// Touches no GUI icon machinery, so it may run off the main thread.
QImage loadAppIcon(const InstalledApp& app, const IconDirectories& directories, int size);

// The image file at `path` at `size` × `size` pixels (centred when not square); null when it
// cannot be read. Vector images are drawn at that size, not scaled from another. Touches no icon
// theme, so it may run off the main thread.
QImage appIconFromFile(const QString& path, int size);

// The tile shown for applications without a usable icon, `size` pixels square.
QImage placeholderIcon(const QString& name, int size);

}  // namespace tessora
