#include "platform/x11/DBusActivation.h"

#include "platform/x11/X11Log.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QRegularExpression>
#include <QVariantMap>

namespace tessora::x11 {

namespace {

constexpr int kBusTimeoutMs = 2000;  // the bus daemon answers at once; a stalled one must not
                                     // stall the program for the default 25 seconds

// The object path of an application's service: "/" and its id, '.' as '/' and '-' as '_'.
QString objectPath(QString appId) {
    appId.replace(u'.', u'/');
    appId.replace(u'-', u'_');
    return u'/' + appId;
}

// Asks the bus daemon itself; absent when it does not answer.
std::optional<QVariant> askBus(const QDBusConnection& bus, const QString& method,
                               const QVariantList& arguments = {}) {
    QDBusMessage message = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), method);
    message.setArguments(arguments);
    const QDBusMessage reply = bus.call(message, QDBus::Block, kBusTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return std::nullopt;
    }
    return reply.arguments().front();
}

}  // namespace

QString dbusApplicationId(const QString& entryPath) {
    QString name = entryPath.mid(entryPath.lastIndexOf(u'/') + 1);
    if (!name.endsWith(QLatin1String(".desktop"))) {
        return {};
    }
    name.chop(8);
    // A well-known bus name: two or more elements of [A-Za-z0-9_-], none starting with a digit.
    static const QRegularExpression busName(
        QStringLiteral("^[A-Za-z_-][A-Za-z0-9_-]*(\\.[A-Za-z_-][A-Za-z0-9_-]*)+$"));
    return name.size() <= 255 && busName.match(name).hasMatch() ? name : QString();
}

QString activateOverDBus(const QString& appId, const QByteArray& startupId) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return QStringLiteral("there is no session bus to reach its D-Bus service %1").arg(appId);
    }
    const std::optional<QVariant> owned = askBus(bus, QStringLiteral("NameHasOwner"), {appId});
    bool available = owned && owned->toBool();
    if (!available) {
        const std::optional<QVariant> activatable =
            askBus(bus, QStringLiteral("ListActivatableNames"));
        available = activatable && activatable->toStringList().contains(appId);
    }
    if (!available) {
        return QStringLiteral("its D-Bus service %1 is not available").arg(appId);
    }

    QDBusMessage activate = QDBusMessage::createMethodCall(
        appId, objectPath(appId), QStringLiteral("org.freedesktop.Application"),
        QStringLiteral("Activate"));
    QVariantMap platformData;
    if (!startupId.isEmpty()) {
        platformData.insert(QStringLiteral("desktop-startup-id"), QString::fromLatin1(startupId));
        platformData.insert(QStringLiteral("activation-token"), QString::fromLatin1(startupId));
    }
    activate.setArguments({platformData});
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(activate));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [appId](QDBusPendingCallWatcher* call) {
                         const QDBusPendingReply<> reply = *call;
                         if (reply.isError()) {
                             qCWarning(lcX11).noquote()
                                 << "The D-Bus service" << appId
                                 << "did not activate:" << reply.error().message();
                         }
                         call->deleteLater();
                     });
    return {};
}

}  // namespace tessora::x11
