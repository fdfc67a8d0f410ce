#pragma once

#include "launcher/LauncherTab.h"
#include "platform/Keys.h"

namespace tessora {

// What the launcher's key rules look at besides the key.
struct LauncherKeyContext {
    bool eventInPanel = true;      // the key was typed in the launcher panel
    bool panelIsKeyWindow = true;  // the launcher panel has the keyboard focus
    bool showOnboarding = false;
    LauncherTab tab = LauncherTab::Applications;
    bool searchFocused = false;
    bool grid = false;
    int columns = 4;  // grid column count
    int resultCount = 0;
    int highlighted = -1;
    int layoutCount = 0;  // the filtered layout list
    int layoutHighlighted = -1;
    int selectedCount = 0;
};

enum class LauncherKeyCommand {
    None,
    DismissPanel,
    ClearSelection,
    ShowApplications,
    ShowLayouts,  // also clears the layout highlight
    LaunchSelected,
    SelectHighlightedResult,
    ChooseLayout,          // index into the filtered layout list
    SetHighlighted,        // index into the results
    SetLayoutHighlighted,  // index into the filtered layout list
    RemoveLastSelected,
};

struct LauncherKeyDecision {
    bool consume = false;
    LauncherKeyCommand command = LauncherKeyCommand::None;
    int index = -1;

    friend bool operator==(const LauncherKeyDecision&, const LauncherKeyDecision&) = default;
};

// The launcher's local key monitor: for one key press, whether it is consumed (no other part of
// the panel sees it) and what it does. The rules are checked in a fixed order; a key they do
// not claim passes on unchanged to the focused control. Arrow keys move the highlight clamped
// at the ends in the applications tab; the layouts tab steps through its list and ignores a
// step that would leave it.
LauncherKeyDecision decideLauncherKey(const KeyStroke& key, const LauncherKeyContext& context);

}  // namespace tessora
