#include "platform/DesktopNotification.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QVariantMap>

namespace bravel {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
constexpr int kAnswerTimeoutMs = 2000;

bool serviceRuns(const QDBusConnection& bus) {
    if (!bus.isConnected() || !bus.interface()) return false;
    return bus.interface()->isServiceRegistered(kService).value();
}

}  // namespace

bool showDesktopNotification(const QString& summary, const QString& body, bool critical) {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!serviceRuns(bus)) return false;
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"),
                 QVariant::fromValue(static_cast<uchar>(critical ? 2 : 1)));
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("quillfen-bravel"));
    call << QStringLiteral("Bravel") << 0u << QString() << summary << body << QStringList() << hints
         << -1;
    const QDBusMessage answer = bus.call(call, QDBus::Block, kAnswerTimeoutMs);
    return answer.type() == QDBusMessage::ReplyMessage;
}

}  // namespace bravel
