#include "platform/SystemActions.h"

#include <unistd.h>

#include <QProcess>
#include <QStringList>
#include <QtGlobal>

namespace bravel {
namespace {

SystemActions* installed = nullptr;

// Writes every cached block to disk first: the session or the machine is about to go away.
void runAfterSync(const QString& program, const QStringList& arguments) {
    ::sync();
    QProcess::startDetached(program, arguments);
}

}  // namespace

void RealSystemActions::logOff() {
    const QString session = qEnvironmentVariable("XDG_SESSION_ID");
    QStringList arguments{QStringLiteral("terminate-session")};
    arguments << (session.isEmpty() ? QStringLiteral("self") : session);
    runAfterSync(QStringLiteral("loginctl"), arguments);
}

void RealSystemActions::restart() {
    runAfterSync(QStringLiteral("systemctl"), {QStringLiteral("reboot")});
}

void RealSystemActions::shutDown() {
    runAfterSync(QStringLiteral("systemctl"), {QStringLiteral("poweroff")});
}

SystemActions& systemActions() {
    Q_ASSERT_X(installed, "systemActions", "no system actions installed");
    return *installed;
}

void setSystemActions(SystemActions* implementation) {
    installed = implementation;
}

}  // namespace bravel
