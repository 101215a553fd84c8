#pragma once

#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace bravel {

// File attribute bits as the program knows them. On Linux only read-only (the owner may not
// write), hidden (the name starts with ".") and directory exist; system and archive are never set.
namespace attr {
constexpr int kReadOnly = 1;
constexpr int kHidden = 2;
constexpr int kSystem = 4;
constexpr int kDirectory = 16;
constexpr int kArchive = 32;
}  // namespace attr

// File-system operations. Each returns whether it worked; on failure it sets the pending
// error Err with our error number and German description.
namespace fs {

// File names are bytes. decodeName takes them as the locale's text; a byte that is no part of
// such text is kept as the character U+DC80 + byte (a lone surrogate, which no text holds), so
// that encodeName gives the same bytes back. Qt's own decoding would turn such a byte into
// U+FFFD and lose it.
QString decodeName(const QByteArray& bytes);
QByteArray encodeName(const QString& name);
// Whether name[i] stands for a byte of a name that is no text. The second half of a character
// beyond U+FFFF can have the same value; it follows the first half and is text.
bool isNameByteAt(const QString& name, qsizetype i);
bool hasNameBytes(const QString& name);
// Path arithmetic on the text alone, which keeps such bytes (QFileInfo goes through Qt's own
// encoding and loses them): the path made absolute against the current folder and cleaned, its
// last part, and what comes before that.
QString absolutePath(const QString& path);
QString fileNameOf(const QString& path);
QString folderOf(const QString& path);

bool exists(const QString& path);  // follows links; no error when missing
bool isDirectory(const QString& path);
bool isRegularFile(const QString& path);
bool isSymLink(const QString& path);
bool length(const QString& path, qint64& bytes);
bool modificationTime(const QString& path, QDateTime& time);
bool getAttributes(const QString& path, int& attributes);
struct FileState {
    int attributes = 0;
    qint64 length = 0;
    QDateTime modified;
};
// Attributes, length and modification time from one stat.
bool fileState(const QString& path, FileState& state);
// The same for many files at once, on several threads; no value where a file cannot be looked
// at. Leaves the pending error alone (it belongs to the calling thread).
std::vector<std::optional<FileState>> fileStates(const std::vector<QString>& paths);
// Only the read-only bit has an effect: it clears or sets the owner's (and group's and
// others') write permission.
bool setAttributes(const QString& path, int attributes);
bool permissions(const QString& path, unsigned& mode);
bool setPermissions(const QString& path, unsigned mode);
bool setModificationTime(const QString& path, const QDateTime& time);
bool removeFile(const QString& path);
// Whether removing path would remove other's data: path itself (not followed) is other, the file
// other links to, or a hard link of either (same device and inode). No error when either is
// missing.
bool isSameFile(const QString& path, const QString& other);
bool removeEmptyFolder(const QString& path);
bool renameReplacing(const QString& from, const QString& to);
// Writes bytes into path, which is created or emptied first; a failed step sets the pending error.
bool writeFileReplacing(const QString& path, const QByteArray& bytes);
// A second name for the file at existing (never through a symbolic link); fails where the file
// system has no hard links or newName exists.
bool hardLink(const QString& existing, const QString& newName);
bool makePath(const QString& path);
// Flushes the file system that holds path to its device.
bool syncFileSystem(const QString& path);
bool isMountPoint(const QString& path);

// ---- open files ----------------------------------------------------------------------------

// Which file a path or descriptor is, and the state a copy compares before and after reading.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    bool operator==(const FileIdentity& other) const {
        return device == other.device && inode == other.inode;
    }
    bool operator<(const FileIdentity& other) const {
        return device != other.device ? device < other.device : inode < other.inode;
    }
};
struct FileStamp {
    FileIdentity identity;
    qint64 length = 0;
    qint64 modifiedNs = 0;  // modification time, ns since the epoch
    qint64 changedNs = 0;   // status change time (any write or chmod), ns since the epoch
    qint64 allocated = 0;   // bytes the file takes on its disk; not compared
    bool operator==(const FileStamp& other) const {
        return identity == other.identity && length == other.length &&
               modifiedNs == other.modifiedNs && changedNs == other.changedNs;
    }
};
// The directory entry itself: a link is not followed. False without an error when nothing is there.
bool entryIdentity(const QString& path, FileIdentity& identity);
bool stampOf(int fd, FileStamp& stamp);
// The stamp of the regular file at path (through links only with followLinks); false, without an
// error, for anything else or nothing.
bool regularFileStamp(const QString& path, bool followLinks, FileStamp& stamp);

// Creates path as a new file only the owner can read and write (opened for both, so that it can
// be read back), never through a link, and holds
// an exclusive flock on it until fd is closed: the sign that a copy is still writing it. False
// with nameTaken when something else has that name (or is just judging it): try another name.
// identity is the new file's.
int createLockedFile(const QString& path, bool& nameTaken, FileIdentity& identity);
// Opens the regular file at path for reading and gives its stamp and permission bits from one
// look at the open file. Anything but a regular file (a folder, a FIFO, a device) fails without
// being opened, and without blocking should it become one meanwhile. -1 on failure (Err is set).
int openRegularFile(const QString& path, FileStamp& stamp, unsigned& mode);
// Closes fd; a failing close (lost data on a network share) sets the pending error.
bool closeDescriptor(int fd);
bool setDescriptorModificationTime(int fd, qint64 modifiedNs);
// Removes the directory entry at path, if any; leaves the pending error alone.
void removeQuietly(const QString& path);
// The device that holds path (links followed); false, without an error, when nothing is there.
bool deviceOf(const QString& path, quint64& device);
// The identity of the folder path leads to (links followed); false, without an error, for
// anything else or nothing.
bool folderIdentity(const QString& path, FileIdentity& identity);
// Removes the regular file at path only if nobody holds a flock on it. Whether it was removed;
// leaves the pending error alone.
bool removeIfUnlocked(const QString& path);

// The next stretch of data in [from, end) of fd, skipping holes: dataStart == end when only a
// hole is left. A file system that cannot tell holes reports the whole range as data.
bool nextDataRange(int fd, qint64 from, qint64 end, qint64& dataStart, qint64& dataEnd);
// Copies length bytes at offset of in to the same offset of out (in the kernel where it can).
bool copyRange(int in, int out, qint64 offset, qint64 length);
bool setLength(int fd, qint64 length);
bool setDescriptorPermissions(int fd, unsigned mode);
// The process's umask (file creation mask).
unsigned creationMask();

struct DirEntry {
    QString name;
    bool isDirectory = false;
    bool isLink = false;  // a symbolic link (isDirectory is then false, whatever it points to)
    // False when the name's bytes are no text (not UTF-8): no QString leads back to the entry,
    // and name holds only its readable form (see readableName).
    bool nameIsText = true;
};
// Lists the entries of a folder in the file system's order ("." and ".." left out). The callback
// returns false to stop. The directory bit comes from the entry type; only an unknown type
// costs a stat.
bool listDirectory(const QString& folder, const std::function<bool(const DirEntry&)>& visit);

// A file name's bytes as text a person can read: what is UTF-8 as it is, every other byte as
// "\xNN".
QString readableName(const QByteArray& bytes);
// When path does not exist because it is the lossy text of a name that is no text (a file dialog
// shows such a name with "\uFFFD" in it): the readable form of that name.
std::optional<QString> nameBehindLossyPath(const QString& path);
// The trigger text of the error record for such a name, given its folder and readable name.
QString nameIsNoTextEvent(const QString& readablePath);

}  // namespace fs
}  // namespace bravel
