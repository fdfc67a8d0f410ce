#include "app/SingleInstance.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QLoggingCategory>

namespace tessora {

namespace {
Q_LOGGING_CATEGORY(lcInstance, "tessora.instance", QtInfoMsg)
}  // namespace

SingleInstance::SingleInstance(QDBusConnection bus, QObject* parent)
    : QObject(parent), m_bus(std::move(bus)) {}

SingleInstance::~SingleInstance() {
    if (m_registered) {
        m_bus.unregisterObject(QString::fromLatin1(objectPath));
        m_bus.unregisterService(QString::fromLatin1(serviceName));
    }
}

bool SingleInstance::registerName() {
    const QString path = QString::fromLatin1(objectPath);
    // The object first, so that a call arriving the moment the name is ours finds it.
    m_bus.registerObject(path, this, QDBusConnection::ExportScriptableSlots);
    m_registered = m_bus.registerService(QString::fromLatin1(serviceName));
    if (!m_registered) {
        m_bus.unregisterObject(path);
    }
    return m_registered;
}

SingleInstance::Outcome SingleInstance::claim() {
    if (!m_bus.isConnected()) {
        qCInfo(lcInstance) << "no D-Bus session bus; running without the single-instance check:"
                           << m_bus.lastError().message();
        return Outcome::NoBus;
    }
    if (registerName()) {
        return Outcome::Primary;
    }
    const QString service = QString::fromLatin1(serviceName);
    const QDBusMessage call = QDBusMessage::createMethodCall(
        service, QString::fromLatin1(objectPath), service, QStringLiteral("ShowPanel"));
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, callTimeoutMs);
    if (reply.type() != QDBusMessage::ErrorMessage) {
        return Outcome::Forwarded;
    }
    // The holder may just have quit; then the name is ours now.
    if (registerName()) {
        return Outcome::Primary;
    }
    m_error = reply.errorMessage();
    return Outcome::Unanswered;
}

void SingleInstance::ShowPanel() {
    if (m_showPanel) {
        m_showPanel();
    }
}

}  // namespace tessora
