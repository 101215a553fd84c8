#include "base/Prog.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

#include "errors/COLError.h"
#include "platform/Err.h"
#include "platform/FileSystem.h"
#include "platform/SystemInfo.h"

namespace bravel {

QString gHostName;

namespace {

constexpr QChar kSeparator = QLatin1Char('/');

bool looksLikeUrl(const QString& path) {
    return path.contains(QLatin1String("://"));
}

bool guiRunning() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance());
}

}  // namespace

bool gFileExists(const QString& path) {
    Err.Clear();
    bool result = false;
    if (looksLikeUrl(path)) return false;
    int attributes = 0;
    if (fs::getAttributes(path, attributes)) result = true;
    gRecordError(QStringLiteral("b_gFileExists"),
                 QStringLiteral("GetAttr(") + path + QLatin1Char(')'));
    return result;
}

bool gCreatePath(const QString& path) {
    Err.Clear();
    // The path is used as it is: blanks at its ends belong to the names.
    QString folder = path;
    if (!folder.endsWith(kSeparator)) folder += kSeparator;
    bool result = false;
    // A relative path would land below whatever the current folder happens to be.
    if (folder.startsWith(kSeparator))
        result = fs::makePath(folder);
    else
        Err.Raise(errnum::kPathNotFound);
    gRecordError(QStringLiteral("b_gCreatePath"),
                 QStringLiteral("b_gCreatePath = CBool(MakeSureDirectoryPathExists(") + folder +
                     QStringLiteral("))"));
    return result;
}

QString gGetComputerName() {
    return computerName();
}

QString gStripTrailingBackslash(QString& path) {
    if (path.endsWith(kSeparator)) path.chop(1);
    return path.endsWith(kSeparator) ? QString() : path;
}

QString gRelativeFolder(const QString& path) {
    const int last = path.lastIndexOf(kSeparator);
    if (last <= 0) return QString();
    QString folder = path.left(last);
    while (folder.startsWith(kSeparator)) folder.remove(0, 1);
    return folder;
}

QString gFolderOfPath(const QString& path) {
    const int last = path.lastIndexOf(kSeparator);
    const QString folder = last <= 0 ? QString() : path.left(last);
    QCoreApplication::processEvents();
    return folder;
}

void gBusyOn() {
    if (!guiRunning()) return;
    if (QGuiApplication::overrideCursor())
        QGuiApplication::changeOverrideCursor(QCursor(Qt::WaitCursor));
    else
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void gBusyOff() {
    if (!guiRunning()) return;
    while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
}

QString mAttrLetters(int attributes) {
    QString letters;
    if (attributes & attr::kReadOnly) letters += QLatin1Char('R');
    if (attributes & attr::kHidden) letters += QLatin1Char('H');
    if (attributes & attr::kArchive) letters += QLatin1Char('A');
    if (attributes & attr::kSystem) letters += QLatin1Char('S');
    return letters;
}

QString mGetAttr(const QString& path) {
    Err.Clear();
    QString letters;
    int attributes = 0;
    if (!looksLikeUrl(path) && fs::getAttributes(path, attributes)) {
        letters = mAttrLetters(attributes);
    } else {
        // The file cannot be looked at: gFileExists records why, as for any missing file.
        Err.Clear();
        gFileExists(path);
    }
    gRecordError(QStringLiteral("ac_mGetAttr"),
                 QStringLiteral("GetAttr(") + path + QLatin1Char(')'));
    return letters;
}

}  // namespace bravel
