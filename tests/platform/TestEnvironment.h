#pragma once

#include <QByteArray>
#include <QStringList>
#include <QtGlobal>

namespace tessora::testing {

// Sets an environment variable (or unsets it, for a null value) until the guard goes.
class EnvironmentGuard {
public:
    EnvironmentGuard(const char* name, const QByteArray& value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_previous(qgetenv(name)) {
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }
    ~EnvironmentGuard() { m_had ? qputenv(m_name, m_previous) : qunsetenv(m_name); }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_previous;
};

// Collects the warnings logged while it lives.
class WarningLog {
public:
    WarningLog() : m_previous(qInstallMessageHandler(&record)) { m_current = this; }
    ~WarningLog() {
        qInstallMessageHandler(m_previous);
        m_current = nullptr;
    }
    const QStringList& messages() const { return m_messages; }
    bool mention(const QString& text) const { return m_messages.join('\n').contains(text); }

private:
    static void record(QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (m_current && type == QtWarningMsg) {
            m_current->m_messages.append(text);
        }
    }
    static inline WarningLog* m_current = nullptr;
    QStringList m_messages;
    QtMessageHandler m_previous;
};

}  // namespace tessora::testing
