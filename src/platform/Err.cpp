#include "platform/Err.h"

#include <cerrno>
#include <cstring>
#include <unordered_map>

namespace bravel {

PendingError Err;

void PendingError::Clear() {
    Number = 0;
    Description.clear();
}

void PendingError::Raise(int number) {
    Raise(number, standardErrorText(number));
}

void PendingError::Raise(int number, const QString& description) {
    Number = number;
    Description = description;
}

void PendingError::RaiseFromErrno(int errnoValue) {
    const int number = errorNumberForErrno(errnoValue);
    QString text = standardErrorText(number);
    // The system's own words help where our number is a broad one.
    if (number == errnum::kPathFileAccess || number == errnum::kDeviceIO)
        text += QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(std::strerror(errnoValue)));
    Raise(number, text);
}

QString standardErrorText(int number) {
    static const std::unordered_map<int, const char*> texts = {
        {5, "Unzulässiger Prozeduraufruf oder ungültiges Argument"},
        {6, "Überlauf"},
        {7, "Nicht genügend Speicher"},
        {9, "Index außerhalb des gültigen Bereichs"},
        {13, "Typen unverträglich"},
        {18, "Benutzerunterbrechung aufgetreten"},
        {52, "Dateiname oder -nummer falsch"},
        {53, "Datei nicht gefunden"},
        {54, "Dateimodus falsch"},
        {55, "Datei bereits geöffnet"},
        {57, "Geräte-E/A-Fehler"},
        {58, "Datei existiert bereits"},
        {61, "Datenträger voll"},
        {62, "Einlesen hinter Dateiende"},
        {67, "Zu viele Dateien"},
        {68, "Gerät nicht verfügbar"},
        {70, "Zugriff verweigert"},
        {71, "Datenträger nicht bereit"},
        {74, "Umbenennen bei Angabe unterschiedlicher Laufwerke nicht möglich"},
        {75, "Fehler beim Zugriff auf Pfad/Datei"},
        {76, "Pfad nicht gefunden"},
        {91, "Objektvariable oder With-Blockvariable nicht festgelegt"},
        {3020, "Aktualisieren oder Abbrechen ohne AddNew oder Edit"},
        {3021, "Kein aktueller Datensatz"},
        {3022, "Doppelter Wert im Index oder Primärschlüssel"},
        {3024, "Katalogdatei nicht gefunden"},
        {3027, "Aktualisieren nicht möglich. Datenbank oder Objekt ist schreibgeschützt"},
        {3035, "Nicht genügend Systemressourcen (Datenträger voll)"},
        {3043, "Datenträger- oder Netzwerkfehler"},
        {3044, "Datenbank kann nicht geöffnet werden"},
        {3049, "Datenbank ist beschädigt"},
        {3051, "Datei kann nicht geöffnet werden: keine Berechtigung"},
        {3077, "Syntaxfehler im Ausdruck"},
        {3078, "Tabelle FILES nicht gefunden"},
        {3146, "ODBC-Aufruf fehlgeschlagen"},
        {3163, "Das Feld ist zu klein für die Datenmenge"},
        {3164, "Feld kann nicht aktualisiert werden"},
        {3167, "Datensatz ist gelöscht"},
        {3204, "Datenbank existiert bereits"},
        {3260, "Datenbank ist von einem anderen Benutzer gesperrt"},
        {3265, "Element in dieser Auflistung nicht gefunden"},
        {3343, "Nicht erkanntes Datenbankformat"},
        {3420, "Objekt ungültig oder nicht mehr festgelegt"},
        {32755, "Dialog abgebrochen"},
    };
    const auto it = texts.find(number);
    if (it != texts.end()) return QString::fromUtf8(it->second);
    return QStringLiteral("Anwendungs- oder objektdefinierter Fehler");
}

int errorNumberForErrno(int errnoValue) {
    switch (errnoValue) {
        case ENOENT:
            return errnum::kFileNotFound;
        case ENOTDIR:
            return errnum::kPathNotFound;
        case EEXIST:
            return errnum::kFileAlreadyExists;
        case ENOSPC:
        case EDQUOT:
            return errnum::kDiskFull;
        case EACCES:
        case EPERM:
        case EROFS:
        case ETXTBSY:
            return errnum::kPermissionDenied;
        case EISDIR:
        case ENAMETOOLONG:
        case ELOOP:
        case EINVAL:
            return errnum::kPathFileAccess;
        case EMFILE:
        case ENFILE:
            return errnum::kTooManyFiles;
        case ENOMEM:
            return errnum::kOutOfMemory;
        case EXDEV:
            return errnum::kRenameAcrossDevices;
        case ENXIO:
        case ENODEV:
            return errnum::kDeviceUnavailable;
        case EIO:
            return errnum::kDeviceIO;
        case EBUSY:
            return errnum::kPathFileAccess;
        default:
            return errnum::kPathFileAccess;
    }
}

}  // namespace bravel
