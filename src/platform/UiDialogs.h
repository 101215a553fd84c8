#pragma once

#include <QFileIconProvider>
#include <QMimeDatabase>

#include "platform/Dialogs.h"

class QFileDialog;
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
    std::optional<quint32> chooseColor(quint32 initial, const QString& title) override;
    std::optional<QFont> chooseFont(const QFont& initial, const QString& title) override;
};

// Icons and type texts of files from their names alone. The usual provider reads the first bytes
// of every file it shows, which would open (and close) an open catalog and its side files.
class NameOnlyIconProvider : public QFileIconProvider {
  public:
    QIcon icon(IconType type) const override { return QFileIconProvider::icon(type); }
    QIcon icon(const QFileInfo& info) const override;
    QString type(const QFileInfo& info) const override;

  private:
    QMimeType mimeTypeOf(const QFileInfo& info) const;
    QMimeDatabase mimeTypes_;
};

// The settings every file dialog of the program shares: file types guessed from names only.
void prepareFileDialog(QFileDialog& dialog);

// "Name (*.a)|*.a|Other (*.b)|*.b" as Qt writes filters: "Name (*.a);;Other (*.b)".
QString qtFilterFromPipes(const QString& filter);

}  // namespace bravel
