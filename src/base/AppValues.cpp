#include "base/AppValues.h"

#include <QStringList>

#include "platform/Formats.h"

namespace bravel {

QString gCommandLine;
qint64 gCaptionBackColor = 16744576;
qint64 gCaptionForeColor = 16777215;
bool gShowStatus = false;
QString gCompanyName;
QString gAuthorName;
QString gProductName;
QString gVersion;
QString gCrLf = QStringLiteral("\r\n");

void gInitCrLf() {
    gCrLf = QStringLiteral("\r\n");
}

QString versionText(int major, int minor, int revision) {
    return QString::number(major) + QLatin1Char('.') + formatTwoDigits(minor) + QLatin1Char('.') +
           formatNoZero(revision);
}

QString commandLineFromArguments(const QStringList& arguments) {
    return arguments.join(QLatin1Char(' ')).trimmed();
}

QString startupStatusText(const QString& commandLine) {
    if (commandLine.contains(QLatin1String("/open"))) return QStringLiteral("Archiv wird geöffnet");
    if (commandLine.isEmpty()) return QStringLiteral("Applikation wird gestartet");
    return QStringLiteral("Datei(en) werden hinzugefügt");
}

void fillIdentityValues() {
    gCompanyName = QStringLiteral("Quillfen");
    gAuthorName = QStringLiteral("Quillfen Software");
    gProductName = QStringLiteral("Bravel");
    gVersion = versionText(1, 2, 15);
}

}  // namespace bravel
