#include "platform/UiDialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>

#include "platform/Colors.h"

namespace bravel {
namespace {

QString displayText(QString text) {
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

QMessageBox::Icon qtIcon(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::Exclamation:
            return QMessageBox::Warning;
        case MsgIcon::Question:
            return QMessageBox::Question;
        case MsgIcon::Critical:
            return QMessageBox::Critical;
        case MsgIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons qtButtons(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case MsgButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case MsgButtons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case MsgButtons::Ok:
            break;
    }
    return QMessageBox::Ok;
}

QWidget* dialogParent() {
    return QApplication::activeWindow();
}

}  // namespace

QMimeType NameOnlyIconProvider::mimeTypeOf(const QFileInfo& info) const {
    return mimeTypes_.mimeTypeForFile(info, QMimeDatabase::MatchExtension);
}

QIcon NameOnlyIconProvider::icon(const QFileInfo& info) const {
    if (!info.isFile()) return QFileIconProvider::icon(info);
    const QMimeType mime = mimeTypeOf(info);
    return QIcon::fromTheme(
        mime.iconName(),
        QIcon::fromTheme(mime.genericIconName(), QFileIconProvider::icon(QFileIconProvider::File)));
}

QString NameOnlyIconProvider::type(const QFileInfo& info) const {
    if (!info.isFile()) return QFileIconProvider::type(info);
    const QMimeType mime = mimeTypeOf(info);
    return mime.comment().isEmpty() ? mime.name() : mime.comment();
}

void prepareFileDialog(QFileDialog& dialog) {
    static NameOnlyIconProvider namesOnly;
    dialog.setIconProvider(&namesOnly);
}

QString qtFilterFromPipes(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        entries << (parts[i].contains(QLatin1Char('('))
                        ? parts[i]
                        : parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return entries.join(QStringLiteral(";;"));
}

MsgResult UiDialogs::messageBox(const QString& text, const QString& caption, MsgIcon icon,
                                MsgButtons buttons) {
    QMessageBox box(qtIcon(icon), caption, displayText(text), qtButtons(buttons), dialogParent());
    switch (box.exec()) {
        case QMessageBox::Yes:
            return MsgResult::Yes;
        case QMessageBox::No:
            return MsgResult::No;
        case QMessageBox::Cancel:
            return MsgResult::Cancel;
        default:
            return MsgResult::Ok;
    }
}

std::optional<QStringList> UiDialogs::openFiles(const FileDialogRequest& request) {
    QFileDialog dialog(dialogParent(), request.title, request.folder,
                       qtFilterFromPipes(request.filter));
    prepareFileDialog(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.multiSelect ? QFileDialog::ExistingFiles
                                           : QFileDialog::ExistingFile);
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles();
}

std::optional<QString> UiDialogs::saveFile(const FileDialogRequest& request) {
    QFileDialog dialog(dialogParent(), request.title, request.folder,
                       qtFilterFromPipes(request.filter));
    prepareFileDialog(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The callers decide about existing files themselves (a new catalog never overwrites).
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> UiDialogs::browseFolder(const QString& title, const QString& start) {
    const QString folder = QFileDialog::getExistingDirectory(dialogParent(), title, start);
    if (folder.isEmpty()) return std::nullopt;
    return folder;
}

std::optional<quint32> UiDialogs::chooseColor(quint32 initial, const QString& title) {
    const QColor color = QColorDialog::getColor(colorFromBgr(initial), dialogParent(), title);
    if (!color.isValid()) return std::nullopt;
    return bgrFromColor(color);
}

std::optional<QFont> UiDialogs::chooseFont(const QFont& initial, const QString& title) {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, dialogParent(), title);
    if (!ok) return std::nullopt;
    return font;
}

}  // namespace bravel
