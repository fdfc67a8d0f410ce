#pragma once

#include <QString>
#include <QStringList>

namespace tessora {

// `tessora --arrange LAYOUT APP...`: selects the applications (each an application id, or else
// a search text whose best result is taken), chooses the layout by id ("none" launches without
// arranging) and confirms, as the launcher does. Returns the exit status: 0 when the run had no
// failure, 1 with failures (each printed to stderr) or without window control, 2 for a usage
// error, found before any window is touched.
int arrangeApps(const QString& layout, const QStringList& apps);

}  // namespace tessora
