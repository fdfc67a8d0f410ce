#pragma once

#include "platform/LoginItem.h"

#include <QObject>
#include <QString>

namespace tessora {

// The "Launch at login" switch's state over the login item: what the switch shows and the
// failure to show under it. A change the system refuses leaves the switch at the real state,
// with the system's description of what failed. Writes of an equal value notify nothing.
class LaunchAtLogin final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool enabled READ enabled NOTIFY enabledChanged)
    Q_PROPERTY(QString error READ error NOTIFY errorChanged)

public:
    explicit LaunchAtLogin(LoginItem& login, QObject* parent = nullptr);

    bool enabled() const { return m_enabled; }
    const QString& error() const { return m_error; }

    // The user wants the program to start at login (or not).
    void request(bool wanted);
    // Reads the state again: it may have been changed outside the program.
    void refresh();

signals:
    void enabledChanged();
    void errorChanged();

private:
    void setEnabledFlag(bool enabled);
    void setError(const QString& error);

    LoginItem& m_login;
    bool m_enabled = false;
    QString m_error;
};

}  // namespace tessora
