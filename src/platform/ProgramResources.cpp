#include "platform/ProgramResources.h"

#include <QFile>

// The resources sit in a static library that nothing else references, so they are registered by
// hand before the first use. Q_INIT_RESOURCE must be used outside a namespace.
static void registerResources() {
    Q_INIT_RESOURCE(resources);
}

namespace bravel {

namespace {
void ensureRegistered() {
    static const bool registered = (registerResources(), true);
    Q_UNUSED(registered);
}
}  // namespace

QString iconResource(const char* iconName) {
    ensureRegistered();
    return QStringLiteral(":/icons/") + QLatin1String(iconName) + QStringLiteral(".svg");
}

QByteArray resourceBytes(const QString& resource) {
    ensureRegistered();
    QFile file(resource);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QIcon programIcon() {
    return QIcon(iconResource(kProgramIconName));
}

}  // namespace bravel
