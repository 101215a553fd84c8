#include "listtools/ListExport.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>

#include "errors/COLError.h"
#include "platform/Dialogs.h"
#include "platform/Err.h"
#include "platform/FileSystem.h"

namespace bravel {
namespace {

const char* const kHeaderFields[] = {"Eingangsdatei;", "Sicherungspfad;", "KByte;", "Geändert;",
                                     "Status;",        "OAttr;",          "ZAttr;"};
constexpr int kExportedFixedColumns = 7;  // sub-items 7 and 8 (ID, raw Computerstatus) stay out

QString rowLine(const CatalogListModel& list, int r) {
    QString line;
    for (int c = 0; c < kExportedFixedColumns; ++c) line += list.cell(r, c) + QLatin1Char(';');
    for (int c = col::kFixedColumns; c < list.columnCount(); ++c)
        line += list.cell(r, c) + QLatin1Char(';');
    return line;
}

}  // namespace

QString exportListText(const CatalogListModel& list) {
    QString text;
    for (const char* field : kHeaderFields) text += QString::fromUtf8(field);
    for (int c = col::kFixedColumns; c < list.columnCount(); ++c)
        text += list.columns()[static_cast<size_t>(c)].header + QLatin1Char(';');
    for (int r : list.selectedRows()) text += QStringLiteral("\r\n") + rowLine(list, r);
    return text;
}

bool writeTextFileReplacing(const QString& path, const QString& text) {
    const bool written = fs::writeFileReplacing(path, text.toUtf8());
    Err.Clear();
    return written;
}

void putOnClipboard(const QString& text) {
    if (!qGuiApp) return;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return;
    clipboard->clear();
    clipboard->setText(text);
}

void gExportList(const CatalogListModel& list, const QString& path, int mode) {
    Err.Clear();
    const QString text = exportListText(list);
    if (mode == exportmode::kClipboard) {
        putOnClipboard(text);
        return;
    }
    if (mode < exportmode::kClipboard &&
        !fs::writeFileReplacing(path, (text + QStringLiteral("\r\n")).toUtf8()))
        gRecordError(QStringLiteral("v_gExportList"),
                     QStringLiteral("CreateTextFile(") + path + QLatin1Char(')'));
}

void exportListToChosenFile(const CatalogListModel& list) {
    FileDialogRequest request;
    request.filter = QStringLiteral("Text (*.txt)|*.txt");
    // The program's own folder is not the user's to write in once the program is installed.
    request.folder = QDir::homePath();
    const std::optional<QString> file = dialogs().saveFile(request);
    if (!file || file->isEmpty()) return;  // cancelled: nothing is exported
    gExportList(list, *file, exportmode::kFile);
}

}  // namespace bravel
