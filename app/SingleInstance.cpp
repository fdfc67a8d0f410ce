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
    : QObject(parent), bus_(std::move(bus)) {}

SingleInstance::~SingleInstance() {
    if (registered_) {
        bus_.unregisterObject(QString::fromLatin1(objectPath));
        bus_.unregisterService(QString::fromLatin1(serviceName));
    }
}

bool SingleInstance::registerName() {
    const QString path = QString::fromLatin1(objectPath);
    // The object first, so that a call arriving the moment the name is ours finds it.
    bus_.registerObject(path, this, QDBusConnection::ExportScriptableSlots);
    registered_ = bus_.registerService(QString::fromLatin1(serviceName));
    if (!registered_) {
        bus_.unregisterObject(path);
    }
    return registered_;
}

SingleInstance::Outcome SingleInstance::claim() {
    if (!bus_.isConnected()) {
        qCInfo(lcInstance) << "no D-Bus session bus; running without the single-instance check:"
                           << bus_.lastError().message();
        return Outcome::NoBus;
    }
    if (registerName()) {
        return Outcome::Primary;
    }
    const QString service = QString::fromLatin1(serviceName);
    const QDBusMessage call = QDBusMessage::createMethodCall(
        service, QString::fromLatin1(objectPath), service, QStringLiteral("ShowPanel"));
    const QDBusMessage reply = bus_.call(call, QDBus::Block, callTimeoutMs);
    if (reply.type() != QDBusMessage::ErrorMessage) {
        return Outcome::Forwarded;
    }
    // The holder may just have quit; then the name is ours now.
    if (registerName()) {
        return Outcome::Primary;
    }
    error_ = reply.errorMessage();
    return Outcome::Unanswered;
}

void SingleInstance::ShowPanel() {
    if (showPanel_) {
        showPanel_();
    }
}

}  // namespace tessora
