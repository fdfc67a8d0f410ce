#include "launcher/LauncherState.h"

#include "launcher/PanelSizing.h"
#include "platform/DefaultsStore.h"
#include "workspace/SettingsKeys.h"

namespace tessora {

namespace {

template <typename T, typename Signal>
void assign(LauncherState* state, T& field, const T& value, Signal changed) {
    if (field == value) {
        return;
    }
    field = value;
    emit (state->*changed)();
}

}  // namespace

LauncherState::LauncherState(DefaultsStore& defaults, QObject* parent)
    : QObject(parent),
      defaults_(defaults),
      appViewMode_(defaults.textValue(keys::appViewMode).value_or(QStringLiteral("list"))) {}

int LauncherState::gridColumns() const {
    return gridColumnCount(panelWidth_);
}

void LauncherState::setSearchFocused(bool focused) {
    assign(this, searchFocused_, focused, &LauncherState::searchFocusedChanged);
}

void LauncherState::setTab(LauncherTab tab) {
    assign(this, tab_, tab, &LauncherState::tabChanged);
}

void LauncherState::setLayoutQuery(const QString& query) {
    assign(this, layoutQuery_, query, &LauncherState::layoutQueryChanged);
}

void LauncherState::setLayoutHighlighted(int index) {
    assign(this, layoutHighlighted_, index, &LauncherState::layoutHighlightedChanged);
}

void LauncherState::setHoveredLayoutID(const QString& id) {
    assign(this, hoveredLayoutID_, id, &LauncherState::hoveredLayoutIDChanged);
}

void LauncherState::setPanelWidth(double width) {
    assign(this, panelWidth_, width, &LauncherState::panelWidthChanged);
}

void LauncherState::setPanelHeight(double height) {
    assign(this, panelHeight_, height, &LauncherState::panelHeightChanged);
}

void LauncherState::bumpResultsSession() {
    ++resultsSession_;
    emit resultsSessionChanged();
}

void LauncherState::setAppViewMode(const QString& mode) {
    if (mode == appViewMode_) {
        return;
    }
    appViewMode_ = mode;
    defaults_.setText(keys::appViewMode, mode);
    emit appViewModeChanged();
}

}  // namespace tessora
