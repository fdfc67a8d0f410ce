#include "launcher/LauncherKeyRules.h"

#include "launcher/KeyNormalization.h"

#include <algorithm>
#include <optional>

namespace tessora {

namespace {

using Command = LauncherKeyCommand;

constexpr quint32 deviceIndependentMask = 0xFFFF0000;

LauncherKeyDecision consume(Command command = Command::None, int index = -1) {
    return {true, command, index};
}

constexpr LauncherKeyDecision pass{};

bool isArrow(quint32 code) {
    return code >= MacKey::leftArrow && code <= MacKey::upArrow;
}

// The layouts tab's arrow table.
LauncherKeyDecision layoutArrow(quint32 code, const LauncherKeyContext& context) {
    const int n = context.layoutCount;
    const int h = context.layoutHighlighted;
    if (!context.grid) {
        if (code == MacKey::downArrow) {
            const int next = h < 0 ? 0 : h + 1;
            return n > 0 && next < n ? consume(Command::SetLayoutHighlighted, next) : consume();
        }
        if (code == MacKey::upArrow) {
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
        case MacKey::leftArrow:
            step = -1;
            break;
        case MacKey::rightArrow:
            step = 1;
            break;
        case MacKey::downArrow:
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
std::optional<LauncherKeyDecision> resultArrow(quint32 code, const LauncherKeyContext& context) {
    int step = 0;
    switch (code) {
        case MacKey::leftArrow:
        case MacKey::rightArrow:
            if (!context.grid) {
                return std::nullopt;
            }
            step = code == MacKey::leftArrow ? -1 : 1;
            break;
        case MacKey::downArrow:
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

LauncherKeyDecision decideLauncherKey(const KeyInput& key, const LauncherKeyContext& context) {
    if (!context.eventInPanel && !context.panelIsKeyWindow) {
        return pass;
    }
    if (context.showOnboarding) {
        return pass;
    }
    const quint32 flags = key.modifiers & deviceIndependentMask;
    const quint32 code = key.keyCode;
    const bool layouts = context.tab == LauncherTab::Layouts;

    if (code == MacKey::escape && flags == 0) {
        return consume(Command::DismissPanel);
    }
    if (code == MacKey::c && flags == (KeyModifiers::command | KeyModifiers::shift) &&
        context.searchFocused) {
        return consume(Command::ClearSelection);
    }
    if (code == MacKey::one && flags == KeyModifiers::command) {
        return consume(Command::ShowApplications);
    }
    if (code == MacKey::two && flags == KeyModifiers::command) {
        return consume(Command::ShowLayouts);
    }
    if (code == MacKey::returnKey && flags == KeyModifiers::command) {
        return consume(Command::LaunchSelected);
    }
    if (code == MacKey::tab && flags == 0) {
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
    if (code == MacKey::deleteKey && (flags & KeyModifiers::command) && context.selectedCount > 0) {
        return consume(Command::RemoveLastSelected);
    }
    return pass;
}

}  // namespace tessora
