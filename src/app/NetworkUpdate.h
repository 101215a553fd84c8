#pragma once

#include <QString>
#include <QStringList>

namespace bravel {

// The maker's update tool: where it lies and how it is started.

// The tool path: Freshwire when set, else "frshwire" in the program's folder.
QString networkUpdateToolPath(const QString& freshwire, const QString& programFolder);
// The tool's arguments: one argument, "-" followed by the program path (AppEXELocal).
QStringList networkUpdateArguments(const QString& appExeLocal);

// The "Netzwerkupate" command. Reads AppEXELocal and Freshwire, shows
// "Die Netzwerkupdate-Funktion wurde nicht gefunden." when there is no tool, else starts it as
// a process of its own. True when the tool runs: the caller then closes the program.
bool mnu_appnetupdate_Click();

}  // namespace bravel
