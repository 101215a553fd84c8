#include "platform/HostTools.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

#include "platform/Err.h"

namespace bravel::host {

bool writeTextFile(const QString& path, const QString& text, QFileDevice::Permissions permissions) {
    if (!QDir().mkpath(QFileInfo(path).path())) {
        Err.Raise(errnum::kPathNotFound);
        return false;
    }
    QSaveFile file(path);
    const QByteArray bytes = text.toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        Err.Raise(errnum::kPathFileAccess);
        return false;
    }
    QFile::setPermissions(path, permissions);
    return true;
}

int runTool(const QString& tool, const QStringList& arguments, int timeoutMs) {
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty()) return -1;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (process.waitForStarted(5000)) process.waitForFinished(timeoutMs);
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(1000);
        return -1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

}  // namespace bravel::host
