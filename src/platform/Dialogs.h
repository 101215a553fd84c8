#pragma once

#include <QFont>
#include <QString>
#include <QStringList>
#include <optional>

namespace bravel {

enum class MsgIcon { None, Information, Exclamation, Question, Critical };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgResult { Ok, Cancel, Yes, No };

struct FileDialogRequest {
    QString title;
    QString filter;    // "Bravel-Kataloge (*.bvk)|*.bvk" style: description|patterns, repeated
    QString folder;    // where the dialog starts; empty: the current folder
    QString fileName;  // preset name
    bool multiSelect = false;
};

// Every dialog that waits for a person goes through this interface, so that tests can script
// the answers. The real implementation shows Qt's dialogs.
class Dialogs {
  public:
    virtual ~Dialogs() = default;
    virtual MsgResult messageBox(const QString& text, const QString& caption, MsgIcon icon,
                                 MsgButtons buttons) = 0;
    // The chosen files, or nothing when the user cancelled.
    virtual std::optional<QStringList> openFiles(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> saveFile(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> browseFolder(const QString& title, const QString& start) = 0;
    // Colours as 0x00BBGGRR.
    virtual std::optional<quint32> chooseColor(quint32 initial, const QString& title) = 0;
    virtual std::optional<QFont> chooseFont(const QFont& initial, const QString& title) = 0;
};

Dialogs& dialogs();
// Installs the implementation (not owned); the program installs the Qt one at start.
void setDialogs(Dialogs* implementation);

// Shorthand for the common message box with an OK button.
void showMessage(const QString& text, const QString& caption, MsgIcon icon = MsgIcon::None);

}  // namespace bravel
