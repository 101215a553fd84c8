#pragma once

#include <QDateTime>
#include <QString>

#include "backup/Copy.h"

namespace bravel {

class CatalogListModel;
class Recordset;
class RunObserver;

// The Start button: copies every selected row of the list whose source exists into its backup
// folder, updates the rows in place and writes each outcome into its record of rset_Record
// (which may be null: then no record is touched). At the end it runs the configured after-run
// action unless the run was cancelled. The list is not refilled.
//
// The options beyond copying everything again come from the setup window's "Vorgang" page
// unless given: changedOnly leaves an entry whose backup copy has the source's size and
// modification time as it is (its record gets this computer's date, the backup being current).
struct RunOptions {
    bool changedOnly = false;
    CopyOptions copy;
};
RunOptions runOptionsFromSettings();
void runBackup(CatalogListModel& model, Recordset* rset_Record, RunObserver& observer,
               const RunOptions& options = runOptionsFromSettings());

// The Computerstatus text after host backed the entry up on date ("yyyymmdd"): the date after
// the first occurrence of host is replaced, or host, date and ";" are appended.
QString updatedComputerstatus(const QString& old, const QString& host, const QString& date);

// The Cancel button's click: the run stops before its next file; a paused copy is released so
// that it can finish.
void requestCancel(RunObserver& observer);
// The pause box's click, with the box's new value.
void pauseBoxClicked(bool checked, RunObserver& observer);

// Status texts of the rows.
namespace runtext {
inline const QString kPathFailed = QStringLiteral("Pfad konnte nicht angelegt werden.");
// The backup folder lies on a drive that is not plugged in (its mount point is empty).
inline const QString kDriveMissing = QStringLiteral("Laufwerk nicht verbunden.");
// The backup copy already has the source's size and date: nothing was copied.
inline const QString kUnchanged = QStringLiteral("unverändert");
inline const QString kPathCreated = QStringLiteral("Pfad angelegt");
inline const QString kCopying = QStringLiteral("Sicherung...");
inline const QString kSkipped = QStringLiteral("übersprungen");
inline const QString kCopyFailed = QStringLiteral("Kopieren fehlgeschlagen.");
// The file was copied, but its record could not be written (the catalog stayed locked).
inline const QString kRecordNotWritten =
    QStringLiteral("Gesichert, Eintrag konnte nicht gespeichert werden.");
inline const QString kNotSaved = QStringLiteral("Datei nicht gesichert. ");
QString savedStatus(
    const QDateTime& when);  // "gesichert (" + when in the general date format + ")"
}  // namespace runtext

}  // namespace bravel
