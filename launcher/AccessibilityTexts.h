#pragma once

#include "core/InstalledApp.h"
#include "workspace/WindowLayout.h"

#include <QString>
#include <optional>

namespace tessora {

// What screen readers say for the launcher's items. `position` is the 0-based place of the
// application in the selection, none when it is not selected.
QString resultAccessibleText(const InstalledApp& app, std::optional<qsizetype> position);
QString recentAccessibleText(const InstalledApp& app, std::optional<qsizetype> position);
QString chipAccessibleText(const InstalledApp& app);
QString moreSelectedAccessibleText(qsizetype more);
QString layoutAccessibleText(const WindowLayout& layout, bool chosen);

}  // namespace tessora
