#include "app/NetworkUpdate.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

#include "errors/COLError.h"
#include "platform/Dialogs.h"
#include "platform/Err.h"
#include "platform/FileSystem.h"
#include "settings/SettingKeys.h"

namespace bravel {
namespace {

const QString kToolName = QStringLiteral("frshwire");

QString executableBaseName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

void reportMissingTool() {
    showMessage(QStringLiteral("Die Netzwerkupdate-Funktion wurde nicht gefunden."),
                executableBaseName(), MsgIcon::Information);
}

}  // namespace

QString networkUpdateToolPath(const QString& freshwire, const QString& programFolder) {
    if (!freshwire.isEmpty()) return freshwire;
    if (programFolder.endsWith(QLatin1Char('/'))) return programFolder + kToolName;
    return programFolder + QLatin1Char('/') + kToolName;
}

QStringList networkUpdateArguments(const QString& appExeLocal) {
    // The tool reads its command line as " -" and the path with nothing in between.
    return {QStringLiteral("-") + appExeLocal};
}

bool mnu_appnetupdate_Click() {
    Err.Clear();
    const QString appExeLocal = readText(keys::AppEXELocal).trimmed();
    const QString freshwire = readText(keys::Freshwire).trimmed();
    const QString tool = networkUpdateToolPath(freshwire, QCoreApplication::applicationDirPath());
    if (tool.isEmpty() || !fs::isRegularFile(tool)) {
        Err.Clear();
        reportMissingTool();
        return false;
    }
    // No shell in between: the path and the argument reach the tool as they are.
    if (!QProcess::startDetached(tool, networkUpdateArguments(appExeLocal))) {
        // A tool that cannot be started must not close the program.
        Err.Raise(errnum::kFileNotFound);
        gRecordError(QStringLiteral("v_mnu_appnetupdate"),
                     QStringLiteral("Shell(") + tool + QLatin1Char(')'));
        reportMissingTool();
        return false;
    }
    return true;
}

}  // namespace bravel
