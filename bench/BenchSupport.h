#pragma once

#include <QString>
#include <functional>

namespace bravel::bench {

// Points the XDG folders into a temporary home and the session bus nowhere; pins no locale.
void prepareEnvironment(const QString& home);
// Runs work repeats times and gives the best time in seconds.
double bestSeconds(int repeats, const std::function<void()>& work);
// One result line: "NAME: VALUE UNIT; baseline BASELINE: VALUE UNIT; ratio R".
void printFigure(const QString& name, double value, const QString& unit, const QString& baseline,
                 double baselineValue);
// Processor time (user and system) this process has used so far.
double cpuSeconds();
// Peak resident memory of this process in MB.
double peakResidentMb();
// A catalog with one entry per source, backed up into folderOf(its index); written in one
// transaction, as a fill of many entries would be.
QString writeCatalog(const QString& catalog, const QStringList& sources,
                     const std::function<QString(int)>& folderOf);
// The same with one backup folder for all entries.
QString writeCatalog(const QString& catalog, const QStringList& sources, const QString& folder);

}  // namespace bravel::bench

#include "platform/Dialogs.h"
#include "platform/SystemActions.h"

namespace bravel::bench {
// Dialogs that answer at once: a benchmark never waits for a person.
class SilentDialogs : public Dialogs {
  public:
    MsgResult messageBox(const QString&, const QString&, MsgIcon, MsgButtons) override {
        return MsgResult::Ok;
    }
    std::optional<QStringList> openFiles(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> saveFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> browseFolder(const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<quint32> chooseColor(quint32, const QString&) override { return std::nullopt; }
    std::optional<QFont> chooseFont(const QFont&, const QString&) override { return std::nullopt; }
};

class NoSystemActions : public SystemActions {
  public:
    void logOff() override {}
    void restart() override {}
    void shutDown() override {}
};

// The program in a benchmark's own process: dialogs that answer at once, no system actions, the
// program's identity values and this computer's name.
class QuietProgram {
  public:
    QuietProgram();
    ~QuietProgram();

  private:
    SilentDialogs dialogs_;
    NoSystemActions actions_;
};
}  // namespace bravel::bench
