#pragma once

#include <QString>
#include <QStringList>

namespace bravel {

// Program-wide values that start-up fills.
extern QString gCommandLine;
extern qint64 gCaptionBackColor;  // 0x00BBGGRR
extern qint64 gCaptionForeColor;
extern bool gShowStatus;
extern QString gCompanyName;
extern QString gAuthorName;
extern QString gProductName;
extern QString gVersion;
extern QString gCrLf;

void gInitCrLf();

// "1.02.15": major, "." and the minor with at least two digits, "." and the revision without
// leading zeros (a revision of 0 leaves nothing after the last point).
QString versionText(int major, int minor, int revision);
// The arguments joined by one blank and trimmed.
QString commandLineFromArguments(const QStringList& arguments);
// What the start-up status window says for the command line.
QString startupStatusText(const QString& commandLine);
void fillIdentityValues();

}  // namespace bravel
