#pragma once

#include <QFileDevice>
#include <QString>
#include <QStringList>

namespace bravel::host {

// Writes a UTF-8 text file whole or not at all (a temporary file renamed over the old one),
// creating its folder; on failure the pending error says why.
bool writeTextFile(const QString& path, const QString& text, QFileDevice::Permissions permissions);

// Runs a program of the host found on PATH with an argument list (never through a shell) and
// waits for it, at most timeoutMs. Its exit code, or -1 when it is not installed, did not start
// or did not end in time (it is then killed).
int runTool(const QString& tool, const QStringList& arguments, int timeoutMs = 30000);

}  // namespace bravel::host
