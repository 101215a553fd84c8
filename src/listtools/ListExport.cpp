#include "listtools/ListExport.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>

#include "platform/Dialogs.h"
#include "platform/Err.h"

namespace bravel {
namespace {

const char* const kHeaderFields[] = {"Eingangsdatei;", "Sicherungspfad;", "KByte;", "Geändert;",
                                     "Status;",        "OAttr;",          "ZAttr;"};
constexpr int kExportedFixedColumns = 7;  // sub-items 7 and 8 (ID, raw Computerstatus) stay out

QString rowLine(const CatalogListModel& list, int r) {
    QString line;
    for (int c = 0; c < kExportedFixedColumns; ++c) line += list.cell(r, c) + QLatin1Char(';');
    for (int c = col::kFixedColumns; c < list.columnCount(); ++c) line += list.cell(r, c) + QLatin1Char(';');
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
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const QByteArray bytes = text.toUtf8();
    const bool written = file.write(bytes) == bytes.size();
    file.close();
    return written && file.error() == QFileDevice::NoError;
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
    if (mode < exportmode::kClipboard) writeTextFileReplacing(path, text + QStringLiteral("\r\n"));
}

void exportListToChosenFile(const CatalogListModel& list) {
    FileDialogRequest request;
    request.filter = QStringLiteral("Text (*.txt)|*.txt");
    const std::optional<QString> file = dialogs().saveFile(request);
    if (!file || file->isEmpty()) return;  // cancelled: nothing is exported
    gExportList(list, *file, exportmode::kFile);
}

}  // namespace bravel
