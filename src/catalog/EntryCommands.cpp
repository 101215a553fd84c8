#include "catalog/EntryCommands.h"

#include <QCoreApplication>
#include <QDir>

#include "base/AppValues.h"
#include "base/Prog.h"
#include "base/RunState.h"
#include "catalog/CatalogController.h"
#include "catalog/CatalogState.h"
#include "catalog/EntryWriter.h"
#include "platform/Dialogs.h"
#include "platform/Err.h"
#include "platform/FileSystem.h"
#include "settings/SettingKeys.h"

namespace bravel {
namespace {

QString fileNameOf(const QString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString joinPath(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// The command's frame: timers off and the window busy while it works.
void beginCommand(CatalogController& controller) {
    Err.Clear();
    controller.stopTimers();
    gIdle = false;
    controller.mEnableControls();
}

void endCommand(CatalogController& controller) {
    Err.Clear();
    gIdle = true;
    controller.mEnableControls();
    controller.restoreTimers();
}

// The row the edit command works on: the current row, else the first selected one.
int currentRow(CatalogController& controller) {
    CatalogListModel& model = controller.model();
    const QModelIndex current = model.selectionModel()->currentIndex();
    if (current.isValid() && model.isRowSelected(current.row())) return current.row();
    const std::vector<int> selected = model.selectedRows();
    return selected.empty() ? -1 : selected.front();
}

bool removable(const QString& folder) {
    const QString clean = QDir::cleanPath(folder);
    return !clean.isEmpty() && clean != QLatin1String("/") &&
           clean != QDir::cleanPath(QDir::homePath()) && !fs::isMountPoint(clean);
}

bool isEmptyFolder(const QString& folder) {
    bool empty = true;
    const bool listed = fs::listDirectory(folder, [&empty](const fs::DirEntry&) {
        empty = false;
        return false;
    });
    return listed && empty;
}

void deleteFileClearingAttributes(const QString& path) {
    int attributes = 0;
    if (fs::getAttributes(path, attributes) && attributes != 0) fs::setAttributes(path, 0);
    fs::removeFile(path);
    Err.Clear();  // a file that cannot be deleted is skipped without a message
}

QString deleteQuestion(DeleteMode mode) {
    const QString ending = gSelCount >= 2 ? QStringLiteral("en") : QString();
    const QString heading = mode == DeleteMode::Local
                                ? QStringLiteral("Löschen von lokalen Dateien bestätigen:")
                                : QStringLiteral("Löschen von ORIGINALEN Dateien bestätigen:");
    return heading + gCrLf + gCrLf + QStringLiteral("Soll") + ending +
           QStringLiteral(" die Datei") + ending + QStringLiteral(" physikalisch gelöscht werden?");
}

bool askYesNo(const QString& text, MsgIcon icon) {
    return dialogs().messageBox(text, gProductName, icon, MsgButtons::YesNo) == MsgResult::Yes;
}

}  // namespace

void but_source_Click(CatalogController& controller, const EditorRunner& runEditor) {
    beginCommand(controller);
    runEditor(EditorMode::Add);
    if (gSelectedFiles) {
        mSaveEntries(controller.rset_Record(), SaveMode::AddNew, controller.view().detailFolder());
        controller.mFillListBox();
    }
    endCommand(controller);
}

void but_Edit_Click(CatalogController& controller, const EditorRunner& runEditor) {
    controller.stopTimers();
    CatalogListModel& model = controller.model();
    controller.mUpdateSelectionSummary();
    const int row = currentRow(controller);
    if (row < 0) {
        controller.restoreTimers();
        return;
    }
    controller.view().setDetailTexts(gSelCount == 1 ? controller.mSingleSelText() : QString(),
                                     model.cell(row, col::kFolder));
    gIdle = false;
    controller.mEnableControls();
    runEditor(EditorMode::Edit);

    const QString folder = controller.view().detailFolder();
    const QString source = controller.view().detailSource();
    Recordset* rset = controller.rset_Record();
    if (!source.isEmpty() && gSelCount == 1 && controller.findRecordOfRow(row))
        mSaveEntries(rset, SaveMode::Edit, folder);
    if (!folder.isEmpty() && gSelCount >= 2) {
        for (int selected : model.selectedRows()) {
            gSelectedFiles = gSplitMultiselectFiles(model.cell(selected, col::kSource), false);
            if (controller.findRecordOfRow(selected)) mSaveEntries(rset, SaveMode::Edit, folder);
        }
    }
    gSelectedFiles.reset();
    controller.mFillListBox();
    endCommand(controller);
}

void but_delete_Click(CatalogController& controller) {
    Err.Clear();
    controller.stopTimers();
    gBusyOn();
    CatalogListModel& model = controller.model();
    const QString catalogName = gDB.Access ? gDB.Access->name() : QString();
    if (model.rowCount() > 0 && askYesNo(QStringLiteral("Markierte Einträge aus dem Katalog '") +
                                             catalogName + QStringLiteral("' entfernen?"),
                                         MsgIcon::Question)) {
        controller.mUpdateSelectionSummary();
        gIdle = false;
        controller.mEnableControls();
        for (int row : model.selectedRows())
            if (controller.findRecordOfRow(row)) controller.rset_Record()->Delete();
        Err.Clear();
        controller.mFillListBox();
        controller.mSelectAll(false);
        gIdle = true;
        controller.mEnableControls();
    }
    gBusyOff();
    controller.restoreTimers();
}

void mDeleteFiles(CatalogController& controller, DeleteMode mode) {
    // Reached from menus too: never during a run, never without chosen rows.
    if (!gIdle || controller.model().selectedRowCount() == 0) return;
    controller.stopTimers();
    gBusyOn();
    CatalogListModel& model = controller.model();
    controller.mUpdateSelectionSummary();
    if (askYesNo(deleteQuestion(mode), MsgIcon::Exclamation)) {
        const std::vector<int> rows = model.selectedRows();
        if (mode == DeleteMode::Local) {
            bool removeFolders = false;
            bool removeEntries = false;
            readBool(keys::setup_chk_DeletePathAfterDelLocalFile, removeFolders);
            readBool(keys::setup_chk_DeleteItemshAfterDelLocalFile, removeEntries);
            for (int row : rows) {
                const QString folder = model.cell(row, col::kFolder);
                const QString source = model.cell(row, col::kSource);
                const QString copy = joinPath(folder, fileNameOf(source));
                // A backup folder that is the source's own folder, or a copy that is a hard link
                // of the source: the "copy" is the original, and it stays with its entry.
                if (fs::isSameFile(copy, source)) {
                    model.setRowSelected(row, false);
                    continue;
                }
                deleteFileClearingAttributes(copy);
                if (removeFolders) mRemoveEmptyFolders(folder);
                if (removeEntries && controller.findRecordOfRow(row))
                    controller.rset_Record()->Delete();
                Err.Clear();
                model.setRowSelected(row, false);
            }
            controller.mFillListBox();
        } else if (askYesNo(QStringLiteral("Wirklich löschen?"), MsgIcon::Exclamation)) {
            for (int row : rows) {
                deleteFileClearingAttributes(model.cell(row, col::kSource));
                model.setRowSelected(row, false);
            }
            controller.mFillListBox();
        }
    }
    Err.Clear();
    gBusyOff();
    controller.restoreTimers();
}

void mRemoveEmptyFolders(const QString& folder) {
    QString current = folder;
    while (!current.isEmpty() && removable(current) && isEmptyFolder(current)) {
        if (!fs::removeEmptyFolder(current)) break;
        QCoreApplication::processEvents();
        current = gFolderOfPath(QDir::cleanPath(current));
    }
    Err.Clear();
}

}  // namespace bravel
