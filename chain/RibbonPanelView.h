#pragma once

#include "chain/RibbonDots.h"
#include "core/Geometry.h"
#include "platform/WindowSystem.h"

#include <functional>
#include <memory>

namespace tessora {

// What the Chain session needs from its navigation panel on screen. The session decides
// everything (frame, dots, what a click means); the view draws, and reports what the user did.
// Destroying the view takes the panel off the screen.
class RibbonPanelView {
public:
    struct Handlers {
        std::function<void(int)> selectColumn;           // a click on a dot
        std::function<void(const ScrollInput&)> scroll;  // scrolling over the panel, any keys
        std::function<void()> endLayout;                 // the context menu's only action
    };

    virtual ~RibbonPanelView() = default;

    // Shows the panel at `frame` (window space), or moves it there, with `dots`. The panel
    // never takes the focus; it picks its colours from the desktop's appearance.
    virtual void show(const WindowRect& frame, const ribbondots::Dots& dots) = 0;
    // Redraws the dots (the current column changed).
    virtual void setDots(const ribbondots::Dots& dots) = 0;
    virtual void setHandlers(Handlers handlers) = 0;
};

using RibbonPanelViewFactory = std::function<std::unique_ptr<RibbonPanelView>()>;

}  // namespace tessora
