#include "settings/SetupDialogs.h"

#include "platform/Dialogs.h"
#include "platform/Err.h"

namespace bravel {

namespace {

FileDialogRequest fileRequest(const DialogRequest& request) {
    FileDialogRequest file;
    file.title = request.title;
    if (request.useFilter) file.filter = request.filter;
    // Flag 8 keeps the current folder: the dialog starts where the last one ended.
    return file;
}

DialogChoice cancelled() {
    Err.Raise(errnum::kDialogCancelled);
    Err.Clear();
    return {};
}

}  // namespace

DialogChoice mShowDialog(const DialogRequest& request, const QString& action) {
    Err.Clear();
    DialogChoice choice;
    if (action == QLatin1String("ShowFont")) {
        const std::optional<QFont> font = dialogs().chooseFont(request.initialFont, request.title);
        if (!font) return cancelled();
        choice.font = *font;
        choice.text = font->family();
    } else if (action == QLatin1String("ShowOpen")) {
        const std::optional<QStringList> files = dialogs().openFiles(fileRequest(request));
        if (!files || files->isEmpty()) return cancelled();
        choice.text = files->first();
    } else if (action == QLatin1String("ShowSave")) {
        const std::optional<QString> file = dialogs().saveFile(fileRequest(request));
        if (!file) return cancelled();
        choice.text = *file;
    } else if (action == QLatin1String("ShowColor")) {
        const std::optional<quint32> color =
            dialogs().chooseColor(request.initialColor, request.title);
        if (!color) return cancelled();
        choice.color = *color;
    }
    choice.ok = true;
    return choice;
}

}  // namespace bravel
