#include "backup/Copy.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <thread>
#include <vector>

#include "app/AppValues.h"
#include "backup/Progress.h"
#include "backup/RunObserver.h"
#include "backup/RunState.h"
#include "errors/COLError.h"
#include "platform/Err.h"
#include "platform/FileSystem.h"
#include "platform/Formats.h"

namespace bravel {

// ---- progress texts ----------------------------------------------------------------------

int CopyProgress::fileValue() const {
    return static_cast<int>(std::clamp<qint64>(roundHalfEven(filePercent), 0, 100));
}

int CopyProgress::overallValue() const {
    return static_cast<int>(std::clamp<qint64>(roundHalfEven(overall), 0, 100));
}

QString CopyProgress::fileText() const { return percentText(filePercent); }

QString CopyProgress::overallText() const { return percentText(overall); }

QString CopyProgress::statusLine() const {
    const QString done = QString::number(roundHalfEven(static_cast<double>(position) / 1024.0));
    const QString all = QString::number(roundHalfEven(static_cast<double>(total) / 1024.0));
    return statusProgressLine(done, all, filePercent, remaining);
}

// ---- helpers -----------------------------------------------------------------------------

bool letEventsRun() {
    static QElapsedTimer sinceLastRun;
    if (sinceLastRun.isValid() && sinceLastRun.elapsed() < kEventIntervalMs) return false;
    QCoreApplication::processEvents();
    sinceLastRun.start();
    return true;
}

namespace {

const QString kModul = QStringLiteral("v_gCopy");
const QString kRunModul = QStringLiteral("but_Start");

QByteArray native(const QString& path) { return QFile::encodeName(path); }

QString folderOf(const QString& path) {
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) return QStringLiteral(".");
    if (slash == 0) return QStringLiteral("/");
    return path.left(slash);
}

// Waits while gPause is set. Events are processed as they come; a short timer wakes the wait
// now and then so that a flag cleared outside an event is still seen. No core is kept busy.
void waitWhilePaused() {
    if (!QCoreApplication::instance()) {
        while (gPause) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return;
    }
    QTimer wake;
    wake.setInterval(50);
    wake.start();
    while (gPause) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Opens the source for reading. Only a regular file is opened; anything else (a folder, a FIFO,
// a device) fails here without blocking.
int openSource(const QString& source, struct stat& st) {
    const QByteArray path = native(source);
    if (::stat(path.constData(), &st) != 0) {
        Err.RaiseFromErrno(errno);
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        Err.Raise(errnum::kPathFileAccess);
        return -1;
    }
    // O_NONBLOCK: should the path have become a FIFO since the stat, open must not wait.
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        Err.RaiseFromErrno(errno);
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
    return fd;
}

QString newTempName() {
    const quint64 random = QRandomGenerator::system()->generate64();
    return copyTempPrefix() + QString::number(::getpid()) + QLatin1Char('-') +
           QStringLiteral("%1").arg(random, 16, 16, QLatin1Char('0'));
}

// Creates a fresh temporary file in folder; never opens an existing file.
int createTemp(const QString& folder, QString& tempPath) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        tempPath = folder + QLatin1Char('/') + newTempName();
        const int fd =
            ::open(native(tempPath).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) return fd;
        if (errno != EEXIST) break;
    }
    Err.RaiseFromErrno(errno);
    tempPath.clear();
    return -1;
}

bool readFully(int fd, char* buffer, qint64 size) {
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, buffer + done, static_cast<size_t>(size - done));
        if (n < 0) {
            if (errno == EINTR) continue;
            Err.RaiseFromErrno(errno);
            return false;
        }
        if (n == 0) {  // the source became shorter while we copied it
            Err.Raise(errnum::kInputPastEnd);
            return false;
        }
        done += n;
    }
    return true;
}

bool writeFully(int fd, const char* buffer, qint64 size) {
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, buffer + done, static_cast<size_t>(size - done));
        if (n < 0) {
            if (errno == EINTR) continue;
            Err.RaiseFromErrno(errno);
            return false;
        }
        done += n;
    }
    return true;
}

// Moves the bytes in large blocks while the copy still counts, reports and pauses per 4096-byte
// chunk. Only the hidden temporary file sees the difference. The kernel copies each block itself
// (copy_file_range), so the data never passes through this process; where it cannot, the block
// goes through a buffer.
class BlockTransfer {
public:
    BlockTransfer(int in, int out, qint64 total) : in_(in), out_(out), unmoved_(total) {}

    // Takes the next chunk of size bytes; false on a failed read or write (Err is set).
    bool take(qint64 size) {
        if (taken_ + size > moved_) {
            const qint64 block = std::min(kBlock, unmoved_);
            if (!moveBlock(block)) return false;
            unmoved_ -= block;
            taken_ = 0;
            moved_ = block;
        }
        taken_ += size;
        return true;
    }

private:
    static constexpr qint64 kBlock = 1 << 20;  // a whole number of chunks

    bool moveBlock(qint64 size) {
        qint64 done = 0;
        while (done < size && kernelCopy_) {
            const ssize_t n = ::copy_file_range(in_, nullptr, out_, nullptr, static_cast<size_t>(size - done), 0);
            if (n > 0) {
                done += n;
            } else if (n == 0) {  // the source became shorter while we copied it
                Err.Raise(errnum::kInputPastEnd);
                return false;
            } else if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
                       errno == EBADF) {
                kernelCopy_ = false;  // not between these two files: through the buffer from here on
            } else if (errno != EINTR) {
                Err.RaiseFromErrno(errno);
                return false;
            }
        }
        if (done == size) return true;
        const qint64 rest = size - done;
        if (buffer_.empty()) buffer_.resize(static_cast<size_t>(kBlock));
        return readFully(in_, buffer_.data(), rest) && writeFully(out_, buffer_.data(), rest);
    }

    int in_;
    int out_;
    qint64 unmoved_;
    qint64 moved_ = 0;  // bytes of the current block already in the target
    qint64 taken_ = 0;  // of those, the bytes the chunks have counted
    bool kernelCopy_ = true;
    std::vector<char> buffer_;
};

// Puts the finished temporary file in the older copy's place. The older copy's read-only mark is
// cleared first, so that nothing of it is left that the user would have to clear by hand.
bool replaceOlderCopy(const QString& tempPath, const QString& target) {
    if (fs::exists(target) && !fs::isDirectory(target)) {
        fs::setAttributes(target, 0);
        gRecordError(kRunModul, QStringLiteral("SetAttr(") + target + QStringLiteral("), 0"));
    }
    Err.Clear();
    const bool replaced = fs::renameReplacing(tempPath, target);
    gRecordError(kRunModul, QStringLiteral("Kill ") + target);
    return replaced;
}

}  // namespace

QString copyTempPrefix() { return QStringLiteral(".bravel-tmp-"); }

bool isCopyTempName(const QString& name, qint64* pid) {
    static const QRegularExpression pattern(
        QStringLiteral("^\\.bravel-tmp-([0-9]{1,10})-[0-9a-f]{16}$"));
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch()) return false;
    if (pid) *pid = match.captured(1).toLongLong();
    return true;
}

int removeLeftoverTemps(const QString& folder) {
    const int saved = Err.Number;
    const QString savedText = Err.Description;
    std::vector<QString> leftovers;
    fs::listDirectory(folder, [&](const fs::DirEntry& entry) {
        qint64 pid = 0;
        if (entry.isDirectory || !isCopyTempName(entry.name, &pid)) return true;
        // A file of a run that is still going (another copy of the program) stays. Our own
        // process never has one open between copies.
        const bool gone = pid == ::getpid() ||
                          (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH);
        if (gone) leftovers.push_back(folder + QLatin1Char('/') + entry.name);
        return true;
    });
    int removed = 0;
    for (const QString& path : leftovers)
        if (::unlink(native(path).constData()) == 0) ++removed;
    // Tidying up is no step of its own: nothing it meets is reported.
    if (saved == 0)
        Err.Clear();
    else
        Err.Raise(saved, savedText);
    return removed;
}

bool gCopy(const QString& source, const QString& target, RunObserver& observer) {
    Err.Clear();
    bool ok = true;

    struct stat st {};
    const int in = openSource(source, st);
    if (gRecordError(kModul, QStringLiteral("Open(") + source +
                                 QStringLiteral(") For Binary Access Read As fn1")))
        ok = false;
    if (in < 0) ok = false;

    QString tempPath;
    int out = -1;
    if (ok) {
        out = createTemp(folderOf(target), tempPath);
        if (gRecordError(kModul, QStringLiteral("Open(") + target +
                                     QStringLiteral(") For Binary Access Write As fn2")))
            ok = false;
        if (out < 0) ok = false;
    }

    const qint64 total = st.st_size;
    const int base = observer.overallProgressValue();
    qint64 position = 1;  // the next byte to read, 1-based
    qint64 chunk = kCopyChunk;
    CopyProgress progress;
    progress.total = total;
    BlockTransfer transfer(in, out, total);

    while (ok && position <= total) {
        if (gPause) {
            observer.setCaptionText(pauseMarker());
            waitWhilePaused();
            continue;
        }
        if (observer.captionText() == pauseMarker()) observer.setCaptionText(QString());
        const qint64 left = total - position;
        if (left < kCopyChunk - 1) chunk = left + 1;
        if (!transfer.take(chunk)) {
            ok = false;
            break;
        }
        position += chunk;

        const float filePercent =
            static_cast<float>(position) / static_cast<float>(total + 1) * 100.0f;
        gFileShare = gSelTotal > 0 ? static_cast<float>(position) / static_cast<float>(gSelTotal) *
                                         100.0f
                                   : 100.0f;

        progress.eventsRan = letEventsRun();
        progress.position = position;
        progress.chunkBytes = chunk;
        progress.filePercent = filePercent;
        progress.overall = base + gFileShare;
        progress.remaining = gSelCount;
        if (position > total) progress.eventsRan = true;
        if (gShowStatus) observer.statusWindowProgress(progress);
        observer.fileProgress(progress);
    }
    gRecordError(kModul, QStringLiteral("After Loop"));

    // Keep the source's modification time (and nanoseconds) on the copy.
    if (ok && out >= 0) {
        const struct timespec times[2] = {{0, UTIME_OMIT}, st.st_mtim};
        if (::futimens(out, times) != 0) {
            Err.RaiseFromErrno(errno);
            gRecordError(kModul, QStringLiteral("FileDateTime(") + target + QLatin1Char(')'));
        }
    }

    if (in >= 0 && ::close(in) != 0) Err.RaiseFromErrno(errno);
    if (out >= 0 && ::close(out) != 0) {
        Err.RaiseFromErrno(errno);
        ok = false;  // a failing close can mean lost data (full disk on a network share)
    }
    if (gRecordError(kModul, QStringLiteral("Close #fn1 / Close #fn2"))) ok = false;

    if (ok) ok = replaceOlderCopy(tempPath, target);
    if (!ok && !tempPath.isEmpty()) ::unlink(native(tempPath).constData());
    return ok;
}

}  // namespace bravel
