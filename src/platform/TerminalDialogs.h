#pragma once

#include "platform/Dialogs.h"

namespace bravel {

// The dialogs of a run without a window: a message goes to standard error, a question gets the
// answer that changes nothing (No, Cancel), and no file, folder, colour or font is chosen.
class TerminalDialogs : public Dialogs {
  public:
    MsgResult messageBox(const QString& text, const QString& caption, MsgIcon icon,
                         MsgButtons buttons) override;
    std::optional<QStringList> openFiles(const FileDialogRequest& request) override;
    std::optional<QString> saveFile(const FileDialogRequest& request) override;
    std::optional<QString> browseFolder(const QString& title, const QString& start) override;
    std::optional<quint32> chooseColor(quint32 initial, const QString& title) override;
    std::optional<QFont> chooseFont(const QFont& initial, const QString& title) override;
};

}  // namespace bravel
