#include "platform/CatalogLocks.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryFile>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <unordered_set>

namespace bravel {
namespace {

using FcntlCall = int (*)(int, int, ...);
using CloseCall = int (*)(int);

struct InodeKey {
    dev_t device;
    ino_t inode;
    bool operator==(const InodeKey& other) const {
        return device == other.device && inode == other.inode;
    }
};

struct InodeKeyHash {
    size_t operator()(const InodeKey& key) const {
        return std::hash<unsigned long long>()(static_cast<unsigned long long>(key.inode) * 31u +
                                               key.device);
    }
};

// The one descriptor that holds this process's locks on one file, and SQLite's descriptors of
// that file that have asked for locks. It goes when the last of those is closed: SQLite keeps a
// descriptor of a file open as long as any connection holds a lock on it, so no lock is lost.
struct LockFile {
    int fd = -1;  // -1: the file system has no open-file-description locks; the plain call goes
    std::unordered_set<int> users;
};

std::mutex gMutex;
std::unordered_map<int, InodeKey> gKeyOfDescriptor;
std::unordered_map<InodeKey, LockFile, InodeKeyHash> gLockFiles;
FcntlCall gRealFcntl = nullptr;
CloseCall gRealClose = nullptr;
bool gRouted = false;
QString gNote;

// A second open file description of the file behind fd, writable where the user may write it.
int reopenForLocking(int fd) {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    int lockFd = ::open(link, O_RDWR | O_CLOEXEC | O_NOCTTY);
    if (lockFd < 0) lockFd = ::open(link, O_RDONLY | O_CLOEXEC | O_NOCTTY);
    return lockFd;
}

bool supportsDescriptionLocks(int fd) {
    struct flock probe = {};
    probe.l_type = F_RDLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = 0;
    probe.l_len = 1;
    return gRealFcntl(fd, F_OFD_GETLK, &probe) == 0;
}

// The lock file of fd's file, made on first use; nullptr when fd cannot be looked at.
LockFile* lockFileOf(int fd) {
    auto known = gKeyOfDescriptor.find(fd);
    if (known == gKeyOfDescriptor.end()) {
        struct stat st;
        if (::fstat(fd, &st) != 0) return nullptr;
        known = gKeyOfDescriptor.emplace(fd, InodeKey{st.st_dev, st.st_ino}).first;
    }
    auto [entry, isNew] = gLockFiles.try_emplace(known->second);
    LockFile& file = entry->second;
    if (isNew) {
        file.fd = reopenForLocking(fd);
        if (file.fd >= 0 && !supportsDescriptionLocks(file.fd)) {
            gRealClose(file.fd);
            file.fd = -1;
        }
    }
    file.users.insert(fd);
    return &file;
}

int descriptionLockCommand(int command) {
    switch (command) {
        case F_SETLK:
            return F_OFD_SETLK;
        case F_SETLKW:
            return F_OFD_SETLKW;
        default:
            return F_OFD_GETLK;
    }
}

int routedFcntl(int fd, int command, ...) {
    va_list args;
    va_start(args, command);
    void* argument = va_arg(args, void*);
    va_end(args);
    if (command != F_SETLK && command != F_SETLKW && command != F_GETLK)
        return gRealFcntl(fd, command, argument);

    int lockFd = -1;
    {
        const std::lock_guard<std::mutex> guard(gMutex);
        if (const LockFile* file = lockFileOf(fd)) lockFd = file->fd;
    }
    if (lockFd < 0) return gRealFcntl(fd, command, argument);
    auto* lock = static_cast<struct flock*>(argument);
    lock->l_pid = 0;  // required by these commands; SQLite leaves it unset
    return gRealFcntl(lockFd, descriptionLockCommand(command), lock);
}

int routedClose(int fd) {
    {
        const std::lock_guard<std::mutex> guard(gMutex);
        const auto known = gKeyOfDescriptor.find(fd);
        if (known != gKeyOfDescriptor.end()) {
            const auto file = gLockFiles.find(known->second);
            if (file != gLockFiles.end()) {
                file->second.users.erase(fd);
                if (file->second.users.empty()) {
                    if (file->second.fd >= 0) gRealClose(file->second.fd);
                    gLockFiles.erase(file);
                }
            }
            gKeyOfDescriptor.erase(known);
        }
    }
    return gRealClose(fd);
}

// Whether this system knows open-file-description locks, tried on a file in the temporary folder.
bool systemHasDescriptionLocks(QString& whyNot) {
    QTemporaryFile probe;
    if (!probe.open()) {
        whyNot = QStringLiteral("keine Probedatei: ") + probe.errorString();
        return false;
    }
    struct flock lock = {};
    lock.l_type = F_RDLCK;
    lock.l_whence = SEEK_SET;
    lock.l_len = 1;
    if (::fcntl(probe.handle(), F_OFD_GETLK, &lock) == 0) return true;
    whyNot = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

void install() {
    QString whyNot;
    if (!systemHasDescriptionLocks(whyNot)) {
        gNote = QStringLiteral(
                    "Kataloge mit Prozess-Sperren (fcntl F_SETLK): Beschreibungs-Sperren nicht "
                    "verfügbar (") +
                whyNot + QLatin1Char(')');
        return;
    }
    sqlite3_vfs* vfs = sqlite3_vfs_find(nullptr);
    if (!vfs || vfs->iVersion < 3 || !vfs->xSetSystemCall || !vfs->xGetSystemCall) {
        gNote = QStringLiteral(
            "Kataloge mit Prozess-Sperren: das SQLite-VFS erlaubt keinen Ersatz der Systemaufrufe");
        return;
    }
    gRealFcntl = reinterpret_cast<FcntlCall>(vfs->xGetSystemCall(vfs, "fcntl"));
    gRealClose = reinterpret_cast<CloseCall>(vfs->xGetSystemCall(vfs, "close"));
    if (!gRealFcntl || !gRealClose ||
        vfs->xSetSystemCall(vfs, "close", reinterpret_cast<sqlite3_syscall_ptr>(&routedClose)) !=
            SQLITE_OK ||
        vfs->xSetSystemCall(vfs, "fcntl", reinterpret_cast<sqlite3_syscall_ptr>(&routedFcntl)) !=
            SQLITE_OK) {
        vfs->xSetSystemCall(vfs, nullptr, nullptr);  // back to SQLite's own calls
        gNote =
            QStringLiteral("Kataloge mit Prozess-Sperren: SQLite nahm die Sperr-Aufrufe nicht an");
        return;
    }
    gRouted = true;
    gNote = QStringLiteral("Kataloge mit Beschreibungs-Sperren (fcntl F_OFD_SETLK)");
}

}  // namespace

bool installCatalogLocks() {
    static std::once_flag once;
    std::call_once(once, install);
    return gRouted;
}

bool catalogLocksRouted() {
    return gRouted;
}

QString catalogLockingNote() {
    return gNote;
}

}  // namespace bravel
