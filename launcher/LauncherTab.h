#pragma once

#include <QMetaType>

namespace tessora {

// The two tabs of the launcher, in the order of their pills.
enum class LauncherTab { Applications, Layouts };

}  // namespace tessora

Q_DECLARE_METATYPE(tessora::LauncherTab)
