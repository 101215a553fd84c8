#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/SystemActions.h"

namespace bravel::test {

// Dialogs that record what they were asked and answer from queues. A dialog without a queued
// answer is cancelled; a message box without one answers with its first button.
class ScriptedDialogs : public Dialogs {
  public:
    struct Message {
        QString text;
        QString caption;
        MsgIcon icon;
        MsgButtons buttons;
    };
    struct FileRequest {
        QString kind;  // "open", "save", "folder"
        FileDialogRequest request;
    };

    MsgResult messageBox(const QString& text, const QString& caption, MsgIcon icon,
                         MsgButtons buttons) override;
    std::optional<QStringList> openFiles(const FileDialogRequest& request) override;
    std::optional<QString> saveFile(const FileDialogRequest& request) override;
    std::optional<QString> browseFolder(const QString& title, const QString& start) override;
    std::optional<quint32> chooseColor(quint32 initial, const QString& title) override;
    std::optional<QFont> chooseFont(const QFont& initial, const QString& title) override;

    void reset();

    std::vector<Message> messages;
    std::vector<FileRequest> fileRequests;
    std::deque<MsgResult> messageAnswers;
    std::deque<std::optional<QStringList>> openAnswers;
    std::deque<std::optional<QString>> saveAnswers;
    std::deque<std::optional<QString>> folderAnswers;
    std::deque<std::optional<quint32>> colorAnswers;
    std::deque<std::optional<QFont>> fontAnswers;
    int colorRequests = 0;
    int fontRequests = 0;
    QStringList colorTitles;
    QStringList fontTitles;
};

class RecordingSystemActions : public SystemActions {
  public:
    void logOff() override { calls << QStringLiteral("logoff"); }
    void restart() override { calls << QStringLiteral("restart"); }
    void shutDown() override { calls << QStringLiteral("shutdown"); }
    QStringList calls;
};

ScriptedDialogs& scriptedDialogs();
RecordingSystemActions& recordingActions();
void installFakes();
void pointXdgFoldersInto(const QString& folder);

// Resets program state, fakes and the settings file between tests.
void resetAll();

// Lets events run until done() holds or timeoutMs passed; whether it held. (Qt Test's QTRY
// macros only return from the function on failure, which GoogleTest would not notice.)
bool waitUntil(const std::function<bool()>& done, int timeoutMs = 3000);

// A copy of program in a folder under /tmp that every user can enter, for a child process run
// as another user: the build folder may lie in a home that only its owner can enter. The copies
// go when the test program ends. Empty when the copy could not be made.
QString copyForOtherUsers(const QString& program);
// Whether a program started through setpriv as another user never ran: setpriv refused, or the
// loader could not reach a library (as when the root folder itself is closed to that user).
bool otherUserCouldNotStart(int exitCode, const QString& output);

QByteArray readFile(const QString& path);
bool writeFile(const QString& path, const QByteArray& content);

}  // namespace bravel::test

// Lets GoogleTest print texts readably in its failure messages.
#include <ostream>
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
