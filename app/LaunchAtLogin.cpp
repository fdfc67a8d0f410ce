#include "app/LaunchAtLogin.h"

namespace tessora {

LaunchAtLogin::LaunchAtLogin(LoginItem& login, QObject* parent)
    : QObject(parent), m_login(login), m_enabled(login.enabled()) {}

void LaunchAtLogin::request(bool wanted) {
    if (wanted != m_login.enabled()) {
        setError(m_login.setEnabled(wanted));
    }
    refresh();
}

void LaunchAtLogin::refresh() {
    setEnabledFlag(m_login.enabled());
}

void LaunchAtLogin::setEnabledFlag(bool enabled) {
    if (enabled == m_enabled) {
        return;
    }
    m_enabled = enabled;
    emit enabledChanged();
}

void LaunchAtLogin::setError(const QString& error) {
    if (error == m_error) {
        return;
    }
    m_error = error;
    emit errorChanged();
}

}  // namespace tessora
