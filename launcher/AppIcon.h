#pragma once

#include "core/InstalledApp.h"

#include <QImage>

namespace tessora {

inline constexpr int appIconSize = 128;

// The application's icon at 128 × 128, computed on every call (nothing is cached): the entry's
// Icon key as a file path or as a name in the icon theme (then the legacy pixmaps folders), and
// when none is found, a plain tile with the name's first letter. Never null.
QImage appIcon(const InstalledApp& app);

// The image file at `path` at 128 × 128 (centred when not square); null when it cannot be read.
// Touches no icon theme, so it may run off the main thread.
QImage appIconFromFile(const QString& path);

// The tile shown for applications without a usable icon.
QImage placeholderIcon(const QString& name);

}  // namespace tessora
