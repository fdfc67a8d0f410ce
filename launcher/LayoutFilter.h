#pragma once

#include "workspace/WindowLayout.h"

#include <QList>
#include <QString>

namespace tessora {

// The layouts the layouts tab lists for its search text, in table order: all of them for a
// blank text, else those whose name or region count matches the trimmed text.
QList<WindowLayout> filteredLayouts(const QString& layoutQuery);

}  // namespace tessora
