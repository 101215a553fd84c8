#include "platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>
#include <cerrno>
#include <ctime>
#include <thread>
#include <vector>

#include "platform/Err.h"

namespace bravel::fs {
namespace {

QByteArray native(const QString& path) {
    return encodeName(path);
}

// The length of the UTF-8 sequence that a lead byte starts, 0 for a byte that starts none.
int sequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// The sequence at bytes[i] as one character's text when it is valid UTF-8 (no overlong form,
// no surrogate, nothing beyond U+10FFFF), else nothing.
std::optional<QString> validSequence(const QByteArray& bytes, qsizetype i) {
    const int length = sequenceLength(static_cast<unsigned char>(bytes[i]));
    if (length == 0 || i + length > bytes.size()) return std::nullopt;
    const QByteArray sequence = bytes.mid(i, length);
    // A sequence that is no UTF-8 decodes into U+FFFD, whose own bytes differ from it.
    const QString text = QString::fromUtf8(sequence);
    if (text.toUtf8() != sequence) return std::nullopt;
    return text;
}

QString decodeByteByByte(const QByteArray& bytes) {
    QString name;
    for (qsizetype i = 0; i < bytes.size();) {
        if (const std::optional<QString> text = validSequence(bytes, i)) {
            name += *text;
            i += text->toUtf8().size();
        } else {
            name += QChar(0xDC00 + static_cast<unsigned char>(bytes[i]));
            ++i;
        }
    }
    return name;
}

}  // namespace

QString decodeName(const QByteArray& bytes) {
    const QString name = QFile::decodeName(bytes);
    // Text in the locale's encoding, and it is the common case.
    if (QFile::encodeName(name) == bytes) return name;
    return decodeByteByByte(bytes);
}

bool isNameByteAt(const QString& name, qsizetype i) {
    const char16_t c = name[i].unicode();
    return c >= 0xDC80 && c <= 0xDCFF && !(i > 0 && name[i - 1].isHighSurrogate());
}

bool hasNameBytes(const QString& name) {
    for (qsizetype i = 0; i < name.size(); ++i)
        if (isNameByteAt(name, i)) return true;
    return false;
}

QByteArray encodeName(const QString& name) {
    if (!hasNameBytes(name)) return QFile::encodeName(name);
    QByteArray bytes;
    qsizetype textStart = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i < name.size() && !isNameByteAt(name, i)) continue;
        bytes += QFile::encodeName(name.mid(textStart, i - textStart));
        if (i < name.size()) bytes += static_cast<char>(name[i].unicode() - 0xDC00);
        textStart = i + 1;
    }
    return bytes;
}

QString absolutePath(const QString& path) {
    if (path.isEmpty() || path.startsWith(QLatin1Char('/'))) return QDir::cleanPath(path);
    char buffer[PATH_MAX];
    const QString current =
        ::getcwd(buffer, sizeof buffer) ? decodeName(buffer) : QDir::currentPath();
    return QDir::cleanPath(current + QLatin1Char('/') + path);
}

QString fileNameOf(const QString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString folderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) return QStringLiteral(".");
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

namespace {

bool statPath(const QString& path, struct stat& st) {
    if (path.isEmpty()) {
        Err.Raise(errnum::kFileNotFound);
        return false;
    }
    if (::stat(native(path).constData(), &st) != 0) {
        Err.RaiseFromErrno(errno);
        return false;
    }
    return true;
}

bool failWithErrno() {
    Err.RaiseFromErrno(errno);
    return false;
}

// The local time of a file time. QDateTime's own local conversion sets the time zone up afresh
// on every call (a read of the zone file each time); localtime_r sets it up once per process,
// which makes the list fill of 100,000 files a fifth faster. The result carries its offset from
// UTC, so it compares, formats and stores as the local time it is.
QDateTime localFileTime(time_t seconds) {
    struct tm parts;
    if (!::localtime_r(&seconds, &parts)) return QDateTime::fromSecsSinceEpoch(seconds);
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::OffsetFromUTC,
                                         static_cast<int>(parts.tm_gmtoff));
}

// The length of the UTF-8 character that bytes start with, 0 when they start with none: the
// shortest piece that decodes and encodes back unchanged.
qsizetype utf8CharacterLength(QByteArrayView bytes) {
    for (qsizetype length = 1; length <= std::min<qsizetype>(4, bytes.size()); ++length) {
        const QByteArrayView piece = bytes.first(length);
        if (QString::fromUtf8(piece).toUtf8() == piece) return length;
    }
    return 0;
}

}  // namespace

bool exists(const QString& path) {
    struct stat st;
    return !path.isEmpty() && ::stat(native(path).constData(), &st) == 0;
}

bool isDirectory(const QString& path) {
    struct stat st;
    return !path.isEmpty() && ::stat(native(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isRegularFile(const QString& path) {
    struct stat st;
    return !path.isEmpty() && ::stat(native(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isSymLink(const QString& path) {
    struct stat st;
    return !path.isEmpty() && ::lstat(native(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool length(const QString& path, qint64& bytes) {
    struct stat st;
    if (!statPath(path, st)) return false;
    bytes = st.st_size;
    return true;
}

bool modificationTime(const QString& path, QDateTime& time) {
    struct stat st;
    if (!statPath(path, st)) return false;
    time = localFileTime(st.st_mtim.tv_sec);
    return true;
}

namespace {
int attributesOf(const QString& path, const struct stat& st) {
    int value = 0;
    if (!(st.st_mode & S_IWUSR)) value |= attr::kReadOnly;
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    if (path.size() > slash + 1 && path.at(slash + 1) == QLatin1Char('.')) value |= attr::kHidden;
    if (S_ISDIR(st.st_mode)) value |= attr::kDirectory;
    return value;
}
}  // namespace

bool getAttributes(const QString& path, int& attributes) {
    struct stat st;
    if (!statPath(path, st)) return false;
    attributes = attributesOf(path, st);
    return true;
}

namespace {
FileState stateOf(const QString& path, const struct stat& st) {
    return FileState{attributesOf(path, st), st.st_size, localFileTime(st.st_mtim.tv_sec)};
}
}  // namespace

bool fileState(const QString& path, FileState& state) {
    struct stat st;
    if (!statPath(path, st)) return false;
    state = stateOf(path, st);
    return true;
}

std::vector<std::optional<FileState>> fileStates(const std::vector<QString>& paths) {
    std::vector<std::optional<FileState>> states(paths.size());
    const auto lookAt = [&](size_t first, size_t end) {
        struct stat st;
        for (size_t i = first; i < end; ++i)
            if (!paths[i].isEmpty() && ::stat(native(paths[i]).constData(), &st) == 0)
                states[i] = stateOf(paths[i], st);
    };
    // A stat mostly waits for the kernel (or a network share): one thread per core shortens
    // the wait. A few files are not worth the threads.
    constexpr size_t kFilesPerThread = 2000;
    const size_t threads = std::min<size_t>(
        {std::max(1u, std::thread::hardware_concurrency()), 8, paths.size() / kFilesPerThread + 1});
    std::vector<std::thread> helpers;
    const size_t share = paths.size() / threads + 1;
    for (size_t t = 1; t < threads; ++t)
        helpers.emplace_back(lookAt, std::min(paths.size(), t * share),
                             std::min(paths.size(), (t + 1) * share));
    lookAt(0, std::min(paths.size(), share));
    for (std::thread& helper : helpers) helper.join();
    return states;
}

bool setAttributes(const QString& path, int attributes) {
    struct stat st;
    if (!statPath(path, st)) return false;
    mode_t mode = st.st_mode & 07777;
    if (attributes & attr::kReadOnly)
        mode &= ~(S_IWUSR | S_IWGRP | S_IWOTH);
    else
        mode |= S_IWUSR;
    if (::chmod(native(path).constData(), mode) != 0) return failWithErrno();
    return true;
}

bool permissions(const QString& path, unsigned& mode) {
    struct stat st;
    if (!statPath(path, st)) return false;
    mode = st.st_mode & 07777;
    return true;
}

bool setPermissions(const QString& path, unsigned mode) {
    if (::chmod(native(path).constData(), mode & 07777) != 0) return failWithErrno();
    return true;
}

bool setModificationTime(const QString& path, const QDateTime& time) {
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = time.toSecsSinceEpoch();
    times[1].tv_nsec = 0;
    if (::utimensat(AT_FDCWD, native(path).constData(), times, 0) != 0) return failWithErrno();
    return true;
}

bool removeFile(const QString& path) {
    if (path.isEmpty()) {
        Err.Raise(errnum::kFileNotFound);
        return false;
    }
    if (::unlink(native(path).constData()) != 0) return failWithErrno();
    return true;
}

bool writeFileReplacing(const QString& path, const QByteArray& bytes) {
    if (path.isEmpty()) {
        Err.Raise(errnum::kFileNotFound);
        return false;
    }
    const int fd = ::open(native(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return failWithErrno();
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t written =
            ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            const int savedErrno = written < 0 ? errno : ENOSPC;
            ::close(fd);
            Err.RaiseFromErrno(savedErrno);
            return false;
        }
        done += written;
    }
    if (::close(fd) != 0) return failWithErrno();  // a full disk may show only here (NFS)
    return true;
}

bool removeEmptyFolder(const QString& path) {
    if (::rmdir(native(path).constData()) != 0) return failWithErrno();
    return true;
}

bool renameReplacing(const QString& from, const QString& to) {
    if (::rename(native(from).constData(), native(to).constData()) != 0) return failWithErrno();
    return true;
}

bool hardLink(const QString& existing, const QString& newName) {
    if (::linkat(AT_FDCWD, native(existing).constData(), AT_FDCWD, native(newName).constData(),
                 0) != 0)
        return failWithErrno();
    return true;
}

bool makePath(const QString& path) {
    if (path.isEmpty()) {
        Err.Raise(errnum::kPathNotFound);
        return false;
    }
    if (isDirectory(path)) return true;
    errno = 0;
    if (QDir().mkpath(path) && isDirectory(path)) return true;
    // QDir does not tell why, and the stat calls below overwrite its errno: find the first
    // component that is missing and let mkdir itself say why it cannot be made (a full disk is
    // ENOSPC, not "not found").
    QString probe = QDir::cleanPath(path);
    QString missing;
    while (!probe.isEmpty() && !exists(probe)) {
        missing = probe;
        probe = QFileInfo(probe).path();
    }
    if (exists(probe) && !isDirectory(probe)) {
        Err.Raise(errnum::kPathNotFound);
    } else if (!missing.isEmpty() && ::mkdir(native(missing).constData(), 0777) != 0) {
        Err.RaiseFromErrno(errno);
    } else if (!missing.isEmpty()) {
        // It could be made now after all (a race): try the whole path once more.
        if (QDir().mkpath(path) && isDirectory(path)) return true;
        Err.RaiseFromErrno(EIO);
    } else if (::access(native(probe).constData(), W_OK) != 0) {
        Err.RaiseFromErrno(errno);
    } else {
        Err.RaiseFromErrno(EIO);
    }
    return false;
}

bool syncFileSystem(const QString& path) {
    const int fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return failWithErrno();
    const int result = ::syncfs(fd);
    const int savedErrno = errno;
    ::close(fd);
    if (result != 0) {
        Err.RaiseFromErrno(savedErrno);
        return false;
    }
    return true;
}

bool isMountPoint(const QString& path) {
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (clean == QLatin1String("/")) return true;
    struct stat self, parent;
    if (::stat(native(clean).constData(), &self) != 0) return false;
    if (::stat(native(clean + QStringLiteral("/..")).constData(), &parent) != 0) return false;
    return self.st_dev != parent.st_dev || self.st_ino == parent.st_ino;
}

bool listDirectory(const QString& folder, const std::function<bool(const DirEntry&)>& visit) {
    const QByteArray nativeFolder = native(folder);
    DIR* dir = ::opendir(nativeFolder.constData());
    if (!dir) return failWithErrno();
    const int dirFd = ::dirfd(dir);
    while (struct dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
        DirEntry item;
        item.name = QFile::decodeName(name);
        if (item.name.contains(QChar::ReplacementCharacter) &&
            QFile::encodeName(item.name) != name) {
            item.nameIsText = false;
            item.name = readableName(name);
        }
        if (entry->d_type == DT_UNKNOWN) {
            struct stat st;
            const bool known = ::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) == 0;
            item.isDirectory = known && S_ISDIR(st.st_mode);
            item.isLink = known && S_ISLNK(st.st_mode);
        } else {
            item.isDirectory = entry->d_type == DT_DIR;
            item.isLink = entry->d_type == DT_LNK;
        }
        if (!visit(item)) break;
    }
    ::closedir(dir);
    return true;
}

// ---- open files ----------------------------------------------------------------------------

namespace {
FileIdentity identityOf(const struct stat& st) {
    return FileIdentity{static_cast<quint64>(st.st_dev), static_cast<quint64>(st.st_ino)};
}
qint64 nanoseconds(const struct timespec& time) {
    return static_cast<qint64>(time.tv_sec) * 1000000000LL + time.tv_nsec;
}
void fillStamp(const struct stat& st, FileStamp& stamp) {
    stamp.identity = identityOf(st);
    stamp.length = st.st_size;
    stamp.modifiedNs = nanoseconds(st.st_mtim);
    stamp.changedNs = nanoseconds(st.st_ctim);
    stamp.allocated = static_cast<qint64>(st.st_blocks) * 512;
}
}  // namespace

bool entryIdentity(const QString& path, FileIdentity& identity) {
    struct stat st;
    if (path.isEmpty() || ::lstat(native(path).constData(), &st) != 0) return false;
    identity = identityOf(st);
    return true;
}

bool isSameFile(const QString& path, const QString& other) {
    FileIdentity target, linked;
    if (other.isEmpty() || !entryIdentity(path, target)) return false;
    if (entryIdentity(other, linked) && linked == target) return true;
    struct stat followed;
    return ::stat(native(other).constData(), &followed) == 0 && identityOf(followed) == target;
}

bool stampOf(int fd, FileStamp& stamp) {
    struct stat st;
    if (::fstat(fd, &st) != 0) return failWithErrno();
    fillStamp(st, stamp);
    return true;
}

bool regularFileStamp(const QString& path, bool followLinks, FileStamp& stamp) {
    struct stat st;
    const QByteArray name = native(path);
    const int result = followLinks ? ::stat(name.constData(), &st) : ::lstat(name.constData(), &st);
    if (path.isEmpty() || result != 0 || !S_ISREG(st.st_mode)) return false;
    fillStamp(st, stamp);
    return true;
}

int createLockedFile(const QString& path, bool& nameTaken, FileIdentity& identity) {
    nameTaken = false;
    const QByteArray name = native(path);
    const int fd =
        ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        nameTaken = errno == EEXIST;
        Err.RaiseFromErrno(errno);
        return -1;
    }
    // A file system without flock (some network shares) still gets the copy; its temporary
    // file is then never judged abandoned, as removeIfUnlocked cannot lock it either.
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    const bool lockUnsupported =
        !locked && (errno == ENOLCK || errno == EOPNOTSUPP || errno == EINVAL);
    // A cleaner that got the lock between our open and flock removes the file: then the name
    // no longer leads to our file. Either way we start again under a new name.
    struct stat mine, there;
    const bool stillOurs = ::fstat(fd, &mine) == 0 && ::lstat(name.constData(), &there) == 0 &&
                           identityOf(mine) == identityOf(there);
    if ((locked || lockUnsupported) && stillOurs) {
        identity = identityOf(mine);
        return fd;
    }
    ::close(fd);
    nameTaken = true;
    Err.RaiseFromErrno(EEXIST);
    return -1;
}

int openRegularFile(const QString& path, FileStamp& stamp, unsigned& mode) {
    const QByteArray name = native(path);
    struct stat st;
    if (!statPath(path, st)) return -1;
    if (!S_ISREG(st.st_mode)) {
        Err.Raise(errnum::kPathFileAccess);
        return -1;
    }
    // O_NONBLOCK: should the path have become a FIFO since the stat, open must not wait.
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        failWithErrno();
        return -1;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int saved = errno;
        ::close(fd);
        if (S_ISREG(st.st_mode))
            Err.RaiseFromErrno(saved);
        else
            Err.Raise(errnum::kPathFileAccess);
        return -1;
    }
    fillStamp(st, stamp);
    mode = st.st_mode & 07777;
    return fd;
}

bool closeDescriptor(int fd) {
    if (::close(fd) != 0) return failWithErrno();
    return true;
}

bool setDescriptorModificationTime(int fd, qint64 modifiedNs) {
    const struct timespec times[2] = {{0, UTIME_OMIT},
                                      {static_cast<time_t>(modifiedNs / 1000000000LL),
                                       static_cast<long>(modifiedNs % 1000000000LL)}};
    if (::futimens(fd, times) != 0) return failWithErrno();
    return true;
}

void removeQuietly(const QString& path) {
    ::unlink(native(path).constData());
}

bool deviceOf(const QString& path, quint64& device) {
    struct stat st;
    if (path.isEmpty() || ::stat(native(path).constData(), &st) != 0) return false;
    device = static_cast<quint64>(st.st_dev);
    return true;
}

bool folderIdentity(const QString& path, FileIdentity& identity) {
    struct stat st;
    if (path.isEmpty() || ::stat(native(path).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    identity = identityOf(st);
    return true;
}

bool removeIfUnlocked(const QString& path) {
    const QByteArray name = native(path);
    const int fd =
        ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return false;
    bool removed = false;
    struct stat mine, there;
    if (::fstat(fd, &mine) == 0 && S_ISREG(mine.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::lstat(name.constData(), &there) == 0 && identityOf(mine) == identityOf(there))
        removed = ::unlink(name.constData()) == 0;
    ::close(fd);  // releases the lock only after the name is gone
    return removed;
}

bool nextDataRange(int fd, qint64 from, qint64 end, qint64& dataStart, qint64& dataEnd) {
    dataStart = from;
    dataEnd = end;
    const off_t data = ::lseek(fd, from, SEEK_DATA);
    if (data < 0) {
        if (errno == ENXIO) {  // nothing but a hole up to the end of the file
            dataStart = dataEnd = end;
            return true;
        }
        if (errno == EINVAL || errno == EOPNOTSUPP) return true;  // no holes known here
        return failWithErrno();
    }
    dataStart = std::min<qint64>(data, end);
    const off_t hole = ::lseek(fd, dataStart, SEEK_HOLE);
    if (hole < 0) {
        if (errno == ENXIO) return true;  // the file became shorter; the caller sees that
        return failWithErrno();
    }
    dataEnd = std::min<qint64>(std::max<qint64>(hole, dataStart), end);
    return true;
}

namespace {
bool copyThroughBuffer(int in, int out, qint64 offset, qint64 length) {
    std::vector<char> buffer(static_cast<size_t>(std::min<qint64>(length, 1 << 20)));
    qint64 done = 0;
    while (done < length) {
        const size_t want = static_cast<size_t>(std::min<qint64>(length - done, buffer.size()));
        const ssize_t got = ::pread(in, buffer.data(), want, offset + done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return failWithErrno();
        if (got == 0) {  // the source became shorter while we copied it
            Err.Raise(errnum::kInputPastEnd);
            return false;
        }
        qint64 written = 0;
        while (written < got) {
            const ssize_t n = ::pwrite(out, buffer.data() + written,
                                       static_cast<size_t>(got - written), offset + done + written);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return failWithErrno();
            written += n;
        }
        done += got;
    }
    return true;
}
}  // namespace

bool copyRange(int in, int out, qint64 offset, qint64 length) {
    loff_t inAt = offset;
    loff_t outAt = offset;
    qint64 done = 0;
    while (done < length) {
        const ssize_t n =
            ::copy_file_range(in, &inAt, out, &outAt, static_cast<size_t>(length - done), 0);
        if (n > 0) {
            done += n;
        } else if (n == 0) {  // the source became shorter while we copied it
            Err.Raise(errnum::kInputPastEnd);
            return false;
        } else if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
                   errno == EBADF) {
            return copyThroughBuffer(in, out, offset + done,
                                     length - done);  // not between these two files
        } else if (errno != EINTR) {
            return failWithErrno();
        }
    }
    return true;
}

bool setLength(int fd, qint64 length) {
    if (::ftruncate(fd, static_cast<off_t>(length)) != 0) return failWithErrno();
    return true;
}

bool setDescriptorPermissions(int fd, unsigned mode) {
    if (::fchmod(fd, static_cast<mode_t>(mode & 07777)) != 0) return failWithErrno();
    return true;
}

unsigned creationMask() {
    // umask can only be read by setting it; the program creates no files on other threads.
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

QString readableName(const QByteArray& bytes) {
    QString text;
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype length = utf8CharacterLength(QByteArrayView(bytes).sliced(at));
        if (length > 0) {
            text += QString::fromUtf8(bytes.sliced(at, length));
            at += length;
        } else {
            text += QStringLiteral("\\x") + QString::number(static_cast<uchar>(bytes[at]), 16)
                                                .toUpper()
                                                .rightJustified(2, QLatin1Char('0'));
            ++at;
        }
    }
    return text;
}

QString nameIsNoTextEvent(const QString& readablePath) {
    return QStringLiteral("Name ist kein Text und wird nicht aufgenommen: '") + readablePath +
           QLatin1Char('\'');
}

std::optional<QString> nameBehindLossyPath(const QString& path) {
    if (!path.contains(QChar::ReplacementCharacter) || exists(path)) return std::nullopt;
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString folder = path.left(slash + 1);
    const QString name = path.mid(slash + 1);
    std::optional<QString> readable;
    DIR* dir = ::opendir(native(folder.isEmpty() ? QStringLiteral(".") : folder).constData());
    if (!dir) return std::nullopt;
    while (struct dirent* entry = ::readdir(dir)) {
        if (QFile::decodeName(entry->d_name) == name && QFile::encodeName(name) != entry->d_name) {
            readable = readableName(entry->d_name);
            break;
        }
    }
    ::closedir(dir);
    return readable;
}

}  // namespace bravel::fs
