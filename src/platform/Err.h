#pragma once

#include <QString>

namespace bravel {

// The pending error: the number and description of the last failing step of the running
// routine. 0 means none. Every routine clears it on entry and tests it at its checkpoints.
struct PendingError {
    int Number = 0;
    QString Description;

    void Clear();
    // Sets the number together with its standard description.
    void Raise(int number);
    void Raise(int number, const QString& description);
    // Sets the error that the C library reported in errno (or the given code).
    void RaiseFromErrno(int errnoValue);
};

extern PendingError Err;

// Error numbers the program uses; their German standard texts come from standardErrorText.
namespace errnum {
constexpr int kBadCallOrArgument = 5;
constexpr int kOverflow = 6;
constexpr int kOutOfMemory = 7;
constexpr int kSubscriptOutOfRange = 9;
constexpr int kTypeMismatch = 13;
constexpr int kUserInterrupt = 18;
constexpr int kBadFileNameOrNumber = 52;
constexpr int kFileNotFound = 53;
constexpr int kBadFileMode = 54;
constexpr int kFileAlreadyOpen = 55;
constexpr int kDeviceIO = 57;
constexpr int kFileAlreadyExists = 58;
constexpr int kDiskFull = 61;
constexpr int kInputPastEnd = 62;
constexpr int kTooManyFiles = 67;
constexpr int kDeviceUnavailable = 68;
constexpr int kPermissionDenied = 70;
constexpr int kDiskNotReady = 71;
constexpr int kRenameAcrossDevices = 74;
constexpr int kPathFileAccess = 75;
constexpr int kPathNotFound = 76;
constexpr int kObjectVariableNotSet = 91;
constexpr int kDialogCancelled = 32755;
// Catalog database failures.
constexpr int kDbCannotOpen = 3044;
constexpr int kDbNotADatabase = 3343;
constexpr int kDbTableNotFound = 3078;
constexpr int kDbLocked = 3260;
constexpr int kDbReadOnly = 3027;
constexpr int kDbFieldNotFound = 3265;
constexpr int kDbNoCurrentRecord = 3021;
constexpr int kDbUpdateWithoutEdit = 3020;
constexpr int kDbDiskFull = 3035;
constexpr int kDbCorrupt = 3049;
constexpr int kDbFileExists = 3204;
constexpr int kDbGeneric = 3146;
constexpr int kDbSyntax = 3077;
constexpr int kDbDuplicateKey = 3022;
constexpr int kDbFileNotFound = 3024;
constexpr int kDbIoError = 3043;
constexpr int kDbNoPermission = 3051;
constexpr int kDbValueTooBig = 3163;
constexpr int kDbFieldNotUpdatable = 3164;
constexpr int kDbRecordDeleted = 3167;
constexpr int kDbObjectClosed = 3420;
}  // namespace errnum

QString standardErrorText(int number);
// Maps an errno value onto our error numbers (one table for the whole program).
int errorNumberForErrno(int errnoValue);

}  // namespace bravel
