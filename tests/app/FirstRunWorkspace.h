#pragma once

// What the first run works on: the workspace model over the simulated desktop, a login item in
// memory, and window control as a switch of the test.
#include "app/WindowControl.h"
#include "platform/DefaultsStore.h"
#include "platform/sim/ManualBackgroundWork.h"
#include "platform/sim/SimLoginItem.h"
#include "platform/sim/SimWindowSystem.h"
#include "platform/sim/VirtualClock.h"
#include "workspace/WorkspaceModel.h"

#include <functional>
#include <memory>

namespace tessora {

struct FirstRunWorkspace {
    // Window control as `windowControl` says, asking for it with `request`.
    WindowControl windowControlSwitch(std::function<void()> request = [] {}) {
        return WindowControl{[this](QString*) { return windowControl; }, std::move(request)};
    }

    VirtualClock clock;
    SimWindowSystem sim{clock};
    ManualBackgroundWork background;
    std::unique_ptr<DefaultsStore> defaults = DefaultsStore::inMemory();
    WorkspaceModel model{*defaults, WorkspaceServices{sim, background, {}, {}, nullptr}};
    SimLoginItem login;
    bool windowControl = false;
};

}  // namespace tessora
