#include "catalog/EntryWriter.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "base/AppValues.h"
#include "base/Prog.h"
#include "errors/COLError.h"
#include "platform/CatalogDatabase.h"
#include "platform/Dialogs.h"
#include "platform/Err.h"
#include "platform/FileSystem.h"

namespace bravel {

std::optional<QStringList> gSelectedFiles;
bool gUseOrigPath = false;

namespace {

QString joinPath(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// Creates folder unless it is already there; false when that failed.
bool ensureFolder(const QString& folder) {
    if (fs::isDirectory(folder)) return true;
    return gCreatePath(folder);
}

void showUpdateFailure() {
    showMessage(
        QStringLiteral("Fehler beim Aktualisieren des Datensatzes. Bitte Datenbank überprüfen.") +
            gCrLf + gCrLf + QStringLiteral("Fehlernummer: ") + QString::number(Err.Number) + gCrLf +
            QStringLiteral("Beschreibung: ") + Err.Description,
        QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName(),
        MsgIcon::Information);
}

}  // namespace

QStringList gSplitMultiselectFiles(const QString& text, bool namesOnly) {
    const QStringList pieces = text.split(QChar(0));
    QStringList files;
    if (namesOnly) {
        for (int i = 0; i + 1 < pieces.size(); ++i) {
            // A name from the command line keeps its bytes, but a catalog holds text only.
            if (fs::hasNameBytes(pieces[i])) {
                Err.Raise(errnum::kBadFileNameOrNumber);
                gRecordError(QStringLiteral("col_gSplitMultiselectFiles"),
                             fs::nameIsNoTextEvent(fs::readableName(fs::encodeName(pieces[i]))));
                continue;
            }
            files << pieces[i];
        }
        return files;
    }
    QString folder;
    QStringList names;
    if (pieces.size() == 1) {
        const int slash = pieces[0].lastIndexOf(QLatin1Char('/'));
        folder = slash >= 0 ? pieces[0].left(slash + 1) : QString();
        names << pieces[0].mid(slash + 1);
    } else {
        folder = pieces[0];
        names = pieces.mid(1);
    }
    for (const QString& name : names) {
        if (name.isEmpty()) continue;
        const QString path = joinPath(folder, name);
        if (const std::optional<QString> readable = fs::nameBehindLossyPath(path)) {
            // A name that is no text came back from the dialog as text that names no file.
            Err.Raise(errnum::kBadFileNameOrNumber);
            gRecordError(QStringLiteral("col_gSplitMultiselectFiles"),
                         fs::nameIsNoTextEvent(joinPath(folder, *readable)));
            continue;
        }
        if (fs::isSymLink(path)) {
            Err.Raise(errnum::kBadFileNameOrNumber);
            gRecordError(
                QStringLiteral("col_gSplitMultiselectFiles"),
                QStringLiteral("Datei-Link wird nicht aufgenommen: '") + name + QLatin1Char('\''));
            continue;
        }
        files << path;
    }
    return files;
}

void mSaveEntries(Recordset* rset, SaveMode mode, const QString& targetFolder) {
    gBusyOn();
    Err.Clear();
    bool ok = true;
    const QStringList paths = gSelectedFiles.value_or(QStringList());
    const int count =
        mode == SaveMode::AddNew ? static_cast<int>(paths.size()) : std::min<int>(1, paths.size());
    for (int i = 0; i < count && rset; ++i) {
        const QString& path = paths[i];
        QString folder = targetFolder;
        if (!ensureFolder(folder)) ok = false;
        const QString relative = gRelativeFolder(path);
        if (gUseOrigPath && !relative.isEmpty()) {
            folder = joinPath(folder, relative);
            if (!fs::isRegularFile(folder) && !ensureFolder(folder)) ok = false;
        }
        if (!ok) break;  // once a folder failed, nothing more of this call is written
        if (mode == SaveMode::AddNew) {
            const bool written =
                rset->AddNew() && rset->SetField(QStringLiteral("Eingangsdatei"), path) &&
                rset->SetField(QStringLiteral("Sicherungspfad"), folder) && rset->Update();
            if (!written) showUpdateFailure();
        } else {
            if (rset->Edit() && rset->SetField(QStringLiteral("Eingangsdatei"), path) &&
                rset->SetField(QStringLiteral("Sicherungspfad"), folder))
                rset->Update();
        }
        Err.Clear();
    }
    gSelectedFiles.reset();
    gBusyOff();
}

}  // namespace bravel
