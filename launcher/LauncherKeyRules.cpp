#include "launcher/LauncherKeyRules.h"

#include <algorithm>
#include <optional>

namespace tessora {

namespace {

using Command = LauncherKeyCommand;

LauncherKeyDecision consume(Command command = Command::None, int index = -1) {
    return {true, command, index};
}

constexpr LauncherKeyDecision pass{};

bool isArrow(Keysym key) {
    return key == keysym::left || key == keysym::right || key == keysym::up || key == keysym::down;
}

// The layouts tab's arrow table.
LauncherKeyDecision layoutArrow(Keysym code, const LauncherKeyContext& context) {
    const int n = context.layoutCount;
    const int h = context.layoutHighlighted;
    if (!context.grid) {
        if (code == keysym::down) {
            const int next = h < 0 ? 0 : h + 1;
            return n > 0 && next < n ? consume(Command::SetLayoutHighlighted, next) : consume();
        }
        if (code == keysym::up) {
            if (h < 0) {
                return consume(Command::SetLayoutHighlighted, 0);
            }
            const int previous = std::min(h - 1, n - 1);
            return previous >= 0 ? consume(Command::SetLayoutHighlighted, previous) : consume();
        }
        return pass;  // Left and Right move the text cursor
    }
    int step = 0;
    switch (code) {
        case keysym::left:
            step = -1;
            break;
        case keysym::right:
            step = 1;
            break;
        case keysym::down:
            step = context.columns;
            break;
        default:
            step = -context.columns;
            break;
    }
    const int next = h < 0 ? 0 : h + step;
    return next >= 0 && next < n ? consume(Command::SetLayoutHighlighted, next) : consume();
}

// The applications tab's arrows; none when the key goes on to the next rule.
std::optional<LauncherKeyDecision> resultArrow(Keysym code, const LauncherKeyContext& context) {
    int step = 0;
    switch (code) {
        case keysym::left:
        case keysym::right:
            if (!context.grid) {
                return std::nullopt;
            }
            step = code == keysym::left ? -1 : 1;
            break;
        case keysym::down:
            step = context.grid ? context.columns : 1;
            break;
        default:
            step = context.grid ? -context.columns : -1;
            break;
    }
    const int count = context.resultCount;
    if (count == 0) {
        return std::nullopt;
    }
    const int h = context.highlighted;
    const int next = h < 0 ? 0 : std::min(count - 1, std::max(0, h + step));
    return next != h ? consume(Command::SetHighlighted, next) : consume();
}

}  // namespace

LauncherKeyDecision decideLauncherKey(const KeyStroke& key, const LauncherKeyContext& context) {
    if (!context.eventInPanel && !context.panelIsKeyWindow) {
        return pass;
    }
    if (context.showOnboarding) {
        return pass;
    }
    const KeyModifiers flags = key.modifiers;
    const Keysym code = key.key;
    const bool layouts = context.tab == LauncherTab::Layouts;

    if (code == keysym::escape && !flags) {
        return consume(Command::DismissPanel);
    }
    if (code == 'c' && flags == (KeyModifier::Ctrl | KeyModifier::Shift) && context.searchFocused) {
        return consume(Command::ClearSelection);
    }
    if (code == '1' && flags == KeyModifier::Ctrl) {
        return consume(Command::ShowApplications);
    }
    if (code == '2' && flags == KeyModifier::Ctrl) {
        return consume(Command::ShowLayouts);
    }
    if (code == keysym::returnKey && flags == KeyModifier::Ctrl) {
        return consume(Command::LaunchSelected);
    }
    if (code == keysym::tab && !flags) {
        if (!layouts) {
            return consume(Command::SelectHighlightedResult);
        }
        const int index = std::max(context.layoutHighlighted, 0);
        return index < context.layoutCount ? consume(Command::ChooseLayout, index) : consume();
    }
    if (layouts) {
        return isArrow(code) ? layoutArrow(code, context) : pass;
    }
    if (isArrow(code)) {
        if (const auto decision = resultArrow(code, context)) {
            return *decision;
        }
    }
    if (code == keysym::backSpace && flags.testFlag(KeyModifier::Ctrl) &&
        context.selectedCount > 0) {
        return consume(Command::RemoveLastSelected);
    }
    return pass;
}

}  // namespace tessora
