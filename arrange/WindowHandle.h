#pragma once

#include "core/InstalledApp.h"
#include "platform/WindowSystem.h"

#include <QList>

namespace tessora {

// One top-level window of an application, as the arranging code passes it around. Lists of
// handles are ordered, and the order means something (see windows::standardWindows).
struct WindowHandle {
    InstalledApp app;
    WindowId window = 0;

    // The same window of the same application (applications compare by id alone).
    friend bool operator==(const WindowHandle& a, const WindowHandle& b) {
        return a.app.id == b.app.id && a.window == b.window;
    }
};

using WindowHandles = QList<WindowHandle>;

}  // namespace tessora
