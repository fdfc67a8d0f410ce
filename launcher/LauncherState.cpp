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
    emit(state->*changed)();
}

}  // namespace

LauncherState::LauncherState(DefaultsStore& defaults, QObject* parent)
    : QObject(parent),
      m_defaults(defaults),
      m_appViewMode(defaults.textValue(keys::appViewMode).value_or(QStringLiteral("list"))) {}

int LauncherState::gridColumns() const {
    return gridColumnCount(m_panelWidth);
}

void LauncherState::setSearchFocused(bool focused) {
    assign(this, m_searchFocused, focused, &LauncherState::searchFocusedChanged);
}

void LauncherState::setTab(LauncherTab tab) {
    assign(this, m_tab, tab, &LauncherState::tabChanged);
}

void LauncherState::setLayoutQuery(const QString& query) {
    assign(this, m_layoutQuery, query, &LauncherState::layoutQueryChanged);
}

void LauncherState::setLayoutHighlighted(int index) {
    assign(this, m_layoutHighlighted, index, &LauncherState::layoutHighlightedChanged);
}

void LauncherState::setHoveredLayoutID(const QString& id) {
    assign(this, m_hoveredLayoutID, id, &LauncherState::hoveredLayoutIDChanged);
}

void LauncherState::setPanelWidth(double width) {
    assign(this, m_panelWidth, width, &LauncherState::panelWidthChanged);
}

void LauncherState::setPanelHeight(double height) {
    assign(this, m_panelHeight, height, &LauncherState::panelHeightChanged);
}

void LauncherState::bumpResultsSession() {
    ++m_resultsSession;
    emit resultsSessionChanged();
}

void LauncherState::setAppViewMode(const QString& mode) {
    if (mode == m_appViewMode) {
        return;
    }
    m_appViewMode = mode;
    m_defaults.setText(keys::appViewMode, mode);
    emit appViewModeChanged();
}

}  // namespace tessora
