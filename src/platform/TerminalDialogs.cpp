#include "platform/TerminalDialogs.h"

#include <cstdio>

namespace bravel {

MsgResult TerminalDialogs::messageBox(const QString& text, const QString& caption, MsgIcon,
                                      MsgButtons buttons) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    std::fprintf(stderr, "%s: %s\n", caption.toLocal8Bit().constData(),
                 lines.toLocal8Bit().constData());
    std::fflush(stderr);
    switch (buttons) {
        case MsgButtons::Ok:
            return MsgResult::Ok;
        case MsgButtons::OkCancel:
            return MsgResult::Cancel;
        case MsgButtons::YesNo:
            return MsgResult::No;
        case MsgButtons::YesNoCancel:
            return MsgResult::Cancel;
    }
    return MsgResult::Cancel;
}

std::optional<QStringList> TerminalDialogs::openFiles(const FileDialogRequest&) {
    return std::nullopt;
}

std::optional<QString> TerminalDialogs::saveFile(const FileDialogRequest&) {
    return std::nullopt;
}

std::optional<QString> TerminalDialogs::browseFolder(const QString&, const QString&) {
    return std::nullopt;
}

std::optional<quint32> TerminalDialogs::chooseColor(quint32, const QString&) {
    return std::nullopt;
}

std::optional<QFont> TerminalDialogs::chooseFont(const QFont&, const QString&) {
    return std::nullopt;
}

}  // namespace bravel
