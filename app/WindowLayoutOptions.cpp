#include "app/WindowLayoutOptions.h"

#include "workspace/SettingsKeys.h"

namespace tessora {

WindowLayoutOptions::WindowLayoutOptions(DefaultsStore& defaults,
                                         std::function<void()> hideIndicator, QObject* parent)
    : QObject(parent), m_defaults(defaults), m_hideIndicator(std::move(hideIndicator)) {}

bool WindowLayoutOptions::spacing() const {
    return m_defaults.boolValue(keys::windowSpacingEnabled).value_or(false);
}

bool WindowLayoutOptions::stackIndicators() const {
    return m_defaults.boolValue(keys::stackIndicatorsEnabled).value_or(false);
}

void WindowLayoutOptions::setSpacing(bool on) {
    if (on == spacing()) {
        return;
    }
    m_defaults.setBool(keys::windowSpacingEnabled, on);
    emit spacingChanged();
    if (!on) {
        setStackIndicators(false);
    }
}

void WindowLayoutOptions::setStackIndicators(bool on) {
    if (on == stackIndicators()) {
        return;
    }
    m_defaults.setBool(keys::stackIndicatorsEnabled, on);
    emit stackIndicatorsChanged();
    if (on) {
        setSpacing(true);
    } else if (m_hideIndicator) {
        m_hideIndicator();
    }
}

}  // namespace tessora
