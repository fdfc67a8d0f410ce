#pragma once

#include <QByteArray>
#include <QStringList>
#include <QtGlobal>

namespace tessora::testing {

// Sets an environment variable (or unsets it, for a null value) until the guard goes.
class EnvironmentGuard {
public:
    EnvironmentGuard(const char* name, const QByteArray& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), previous_(qgetenv(name)) {
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }
    ~EnvironmentGuard() { had_ ? qputenv(name_, previous_) : qunsetenv(name_); }

private:
    const char* name_;
    bool had_;
    QByteArray previous_;
};

// Collects the warnings logged while it lives.
class WarningLog {
public:
    WarningLog() : previous_(qInstallMessageHandler(&record)) { current_ = this; }
    ~WarningLog() {
        qInstallMessageHandler(previous_);
        current_ = nullptr;
    }
    const QStringList& messages() const { return messages_; }
    bool mention(const QString& text) const { return messages_.join('\n').contains(text); }

private:
    static void record(QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (current_ && type == QtWarningMsg) {
            current_->messages_.append(text);
        }
    }
    static inline WarningLog* current_ = nullptr;
    QStringList messages_;
    QtMessageHandler previous_;
};

}  // namespace tessora::testing
