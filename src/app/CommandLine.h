#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "settings/BackupSchedule.h"

namespace bravel {

// What the program's arguments ask for at start:
//   Plain    no arguments (or blanks only): the program starts on its autostart catalog, if any;
//   Open     "<catalog> /open/": the catalog before the marker (the last argument) is opened;
//   Add      any other file paths: each one, made absolute, is added to the autostart catalog;
//   Run      "--run KATALOG": a backup run without a window;
//   Help     "--help"; Version "--version";
//   Invalid  an unknown option or a misused one: the message says what is wrong.
// An argument that begins with "--" is an option; after "--" every argument is a file path.
//   Schedule "--schedule KATALOG (--daily HH:MM | --weekly DAY HH:MM | --off) [--match TEXT]":
//            the catalog's timed backup is set or switched off.
enum class CommandLineMode { Plain, Open, Add, Run, Schedule, Help, Version, Invalid };

// The options of a run without a window.
struct RunRequest {
    QString catalog;
    std::optional<QString> match;  // the list search's text; none: every entry
    bool attributes = false;       // carry attributes over ("[Original Attribute]")
    bool quiet = false;            // print failures only
    // Beyond the setup window's run options, which hold too: only changed files, verified
    // copies, older versions kept (how many; 0 keeps none, whatever the setup says).
    bool changed = false;
    bool verify = false;
    std::optional<int> versions;
};

struct CommandLine {
    CommandLineMode mode = CommandLineMode::Plain;
    QString text;                 // the arguments joined by one blank and trimmed (gCommandLine)
    QString catalog;              // Open: the catalog path exactly as given
    QStringList files;            // Add: the files handed to mSaveEntries, each made absolute
    RunRequest run;               // Run
    schedule::Schedule schedule;  // Schedule (its catalog is in catalog, made absolute)
    QString error;                // Invalid: what is wrong
};

// The arguments of main() after the program's name, decoded as file names: a name whose bytes
// are no text keeps them (see fs::decodeName).
QStringList argumentsOf(int argc, char** argv);

// Pure apart from making relative file paths absolute against the current folder.
CommandLine interpretCommandLine(const QStringList& arguments);

// Only these three start the window; every other mode runs on the terminal alone.
bool startsWindow(const CommandLine& line);

// The command line of this start; Main sets it, the main window's load carries it out.
extern CommandLine gStartCommand;
// Interprets arguments into gStartCommand and gCommandLine.
void setStartCommand(const QStringList& arguments);

// "Bravel 1.02.15"
QString versionLine();
// The whole command line in German, for --help.
QString helpText(const QString& programName);

}  // namespace bravel
