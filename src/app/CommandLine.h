#pragma once

#include <QString>
#include <QStringList>

namespace bravel {

// What the program's arguments ask for at start:
//   Plain  no arguments (or blanks only): the program starts on its autostart catalog, if any;
//   Open   "<catalog> /open/": the catalog before the marker is opened;
//   Add    anything else: every argument is one file path, made absolute, to add to the
//          autostart catalog.
enum class CommandLineMode { Plain, Open, Add };

struct CommandLine {
    CommandLineMode mode = CommandLineMode::Plain;
    QString text;       // the arguments joined by one blank and trimmed (gCommandLine)
    QStringList paths;  // every argument made absolute (gCommandArguments)
    QString catalog;    // Open: the catalog path
    QStringList files;  // Add: the files handed to mSaveEntries
};

// Pure apart from making relative arguments absolute against the current folder.
CommandLine interpretCommandLine(const QStringList& arguments);

}  // namespace bravel
