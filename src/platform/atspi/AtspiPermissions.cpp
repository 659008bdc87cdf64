#include "platform/atspi/AtspiPermissions.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>

namespace mendo {

namespace {
const QString service = QStringLiteral("org.a11y.Bus");
const QString path = QStringLiteral("/org/a11y/bus");
const QString properties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString statusInterface = QStringLiteral("org.a11y.Status");
const QString enabledProperty = QStringLiteral("IsEnabled");
}  // namespace

bool AtspiPermissions::accessibilityGranted()
{
    QDBusMessage get = QDBusMessage::createMethodCall(service, path, properties, QStringLiteral("Get"));
    get << statusInterface << enabledProperty;
    const QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::Block, callTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return false;
    return reply.arguments().first().value<QDBusVariant>().variant().toBool();
}

bool AtspiPermissions::requestAccessibility()
{
    QDBusMessage set = QDBusMessage::createMethodCall(service, path, properties, QStringLiteral("Set"));
    set << statusInterface << enabledProperty << QVariant::fromValue(QDBusVariant(true));
    QDBusConnection::sessionBus().call(set, QDBus::Block, callTimeoutMs);
    return accessibilityGranted();
}

}  // namespace mendo
