#pragma once

#include "platform/Dialogs.h"

class QWidget;

namespace bravel {

// The dialogs a person sees: QMessageBox, QFileDialog, QColorDialog and QFontDialog.
class UiDialogs : public Dialogs {
public:
    MsgResult messageBox(const QString& text, const QString& caption, MsgIcon icon,
                         MsgButtons buttons) override;
    std::optional<QStringList> openFiles(const FileDialogRequest& request) override;
    std::optional<QString> saveFile(const FileDialogRequest& request) override;
    std::optional<QString> browseFolder(const QString& title, const QString& start) override;
    std::optional<quint32> chooseColor(quint32 initial) override;
    std::optional<QFont> chooseFont(const QFont& initial) override;
};

// "Name (*.a)|*.a|Other (*.b)|*.b" as Qt writes filters: "Name (*.a);;Other (*.b)".
QString qtFilterFromPipes(const QString& filter);

}  // namespace bravel
