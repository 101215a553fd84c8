#include "backup/Copy.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTimer>
#include <algorithm>
#include <thread>
#include <utility>
#include <vector>

#include "backup/Progress.h"
#include "backup/RunObserver.h"
#include "backup/Versions.h"
#include "base/AppValues.h"
#include "base/RunState.h"
#include "errors/COLError.h"
#include "platform/Err.h"
#include "platform/FileDigest.h"
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

QString CopyProgress::fileText() const {
    return percentText(filePercent);
}

QString CopyProgress::overallText() const {
    return percentText(overallValue());
}

QString CopyProgress::statusLine() const {
    const QString done = QString::number(roundHalfEven(static_cast<double>(position) / 1024.0));
    const QString all = QString::number(roundHalfEven(static_cast<double>(total) / 1024.0));
    return statusProgressLine(done, all, filePercent, remaining);
}

// ---- helpers -----------------------------------------------------------------------------

namespace {
std::function<void()>& beforeEventRunsWork() {
    static std::function<void()> work;
    return work;
}
}  // namespace

BeforeEventRuns::BeforeEventRuns(std::function<void()> work)
    : before_(std::exchange(beforeEventRunsWork(), std::move(work))) {}

BeforeEventRuns::~BeforeEventRuns() {
    beforeEventRunsWork() = std::move(before_);
}

void BeforeEventRuns::now() {
    if (beforeEventRunsWork()) beforeEventRunsWork()();
}

bool letEventsRun() {
    static QElapsedTimer sinceLastRun;
    if (sinceLastRun.isValid() && sinceLastRun.elapsed() < kEventIntervalMs) return false;
    BeforeEventRuns::now();
    QCoreApplication::processEvents();
    sinceLastRun.start();
    return true;
}

namespace {

const QString kModul = QStringLiteral("v_gCopy");
const QString kRunModul = QStringLiteral("but_Start");

QString folderOf(const QString& path) {
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) return QStringLiteral(".");
    if (slash == 0) return QStringLiteral("/");
    return path.left(slash);
}

// Waits while gPause is set. Events are processed as they come; a short timer wakes the wait
// now and then so that a flag cleared outside an event is still seen. No core is kept busy.
void waitWhilePaused() {
    BeforeEventRuns::now();
    if (!QCoreApplication::instance()) {
        while (gPause) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return;
    }
    QTimer wake;
    wake.setInterval(50);
    wake.start();
    while (gPause) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

QString newTempName() {
    const quint64 random = QRandomGenerator::system()->generate64();
    return copyTempPrefix() + QStringLiteral("%1").arg(random, 16, 16, QLatin1Char('0'));
}

// Creates a fresh temporary file in folder, private to its owner and locked for as long as it is
// open; never opens an existing file.
int createTemp(const QString& folder, QString& tempPath, fs::FileIdentity& identity) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        tempPath = folder + QLatin1Char('/') + newTempName();
        bool nameTaken = false;
        const int fd = fs::createLockedFile(tempPath, nameTaken, identity);
        if (fd >= 0) return fd;
        if (!nameTaken) break;
    }
    tempPath.clear();
    return -1;
}

// Moves the bytes in large blocks while the copy still counts, reports and pauses per 4096-byte
// chunk. Only the hidden temporary file sees the difference. Holes of a sparse source are
// skipped (the file gets its full length at the end), so the copy takes no more room than the
// source.
class BlockTransfer {
  public:
    // A source that takes at least its length on the disk has no holes to look for.
    BlockTransfer(int in, int out, const fs::FileStamp& source)
        : in_(in), out_(out), total_(source.length), dense_(source.allocated >= source.length) {}

    // Takes the next chunk of size bytes; false on a failed read or write (Err is set).
    bool take(qint64 size) {
        if (taken_ + size > moved_) {
            const qint64 block = std::min(kBlock, total_ - offset_);
            if (!moveBlock(offset_, block)) return false;
            offset_ += block;
            taken_ = 0;
            moved_ = block;
        }
        taken_ += size;
        return true;
    }

  private:
    static constexpr qint64 kBlock = 1 << 20;  // a whole number of chunks

    bool moveBlock(qint64 offset, qint64 size) {
        if (dense_) return fs::copyRange(in_, out_, offset, size);
        const qint64 end = offset + size;
        for (qint64 at = offset; at < end;) {
            qint64 dataStart = 0;
            qint64 dataEnd = 0;
            if (!fs::nextDataRange(in_, at, end, dataStart, dataEnd)) return false;
            if (dataEnd <= dataStart)
                break;  // only a hole is left (or the file shrank: seen later)
            if (!fs::copyRange(in_, out_, dataStart, dataEnd - dataStart)) return false;
            at = dataEnd;
        }
        return true;
    }

    int in_;
    int out_;
    qint64 total_;
    bool dense_;
    qint64 offset_ = 0;  // where the next block starts
    qint64 moved_ = 0;   // bytes of the current block already in the target
    qint64 taken_ = 0;   // of those, the bytes the chunks have counted
};

// Whether target is the source itself (the backup folder is the source's folder, or a hard link
// of the source lies there): a copy would replace the source.
bool isTheSource(const QString& target, const fs::FileStamp& source) {
    fs::FileIdentity identity;
    return fs::entryIdentity(target, identity) && identity == source.identity;
}

// A source that changed while it was read gives a copy that never existed as a whole.
bool sourceUnchanged(int in, const fs::FileStamp& before) {
    fs::FileStamp after;
    if (!fs::stampOf(in, after)) return false;
    if (after == before) return true;
    Err.Raise(errnum::kPathFileAccess,
              QStringLiteral("Die Quelldatei wurde während des Kopierens geändert"));
    return false;
}

// The permission bits of the finished copy: never wider than the source's. Without "[Original
// Attribute]" the umask narrows them as for any new file. Set-user-ID and set-group-ID never
// carry over: the copy may belong to another user than the source.
unsigned copyMode(unsigned sourceMode, int creationMask) {
    const unsigned bits = sourceMode & 0777;
    if (gCopyAttributes) return bits;
    return bits & ~(creationMask >= 0 ? static_cast<unsigned>(creationMask) : fs::creationMask());
}

// Gives the complete temporary file its length (where the source may end in a hole), the
// source's modification time and its final permission bits.
bool finishTemp(int out, const fs::FileStamp& source, unsigned sourceMode,
                const CopyOptions& options, const QString& target) {
    Err.Clear();
    if (source.allocated < source.length && !fs::setLength(out, source.length)) {
        gRecordError(kModul, QStringLiteral("After Loop"));
        return false;
    }
    if (!fs::setDescriptorModificationTime(out, source.modifiedNs))
        gRecordError(kModul, QStringLiteral("FileDateTime(") + target + QLatin1Char(')'));
    fs::setDescriptorPermissions(out, copyMode(sourceMode, options.creationMask));
    gRecordError(kModul, QStringLiteral("SetAttr ") + target);  // a narrower copy is still a copy
    return true;
}

// Reads the finished copy back from the disk and compares it with the source; both are still
// open (and the copy still locked against other programs' tidying up).
bool verifyCopy(int in, int out, const QString& target, RunObserver& observer) {
    observer.verifyingCopy();
    Err.Clear();
    QByteArray copied;
    QByteArray original;
    bool same = fs::contentDigest(out, true, copied) && fs::contentDigest(in, false, original);
    if (same && copied != original) {
        Err.Raise(errnum::kDeviceIO,
                  QStringLiteral("Die Kopie stimmt nicht mit der Quelldatei überein"));
        same = false;
    }
    gRecordError(kModul, QStringLiteral("Verify ") + target);
    return same;
}

// Whether the file at target is the same as the new copy will be: the source's size and
// modification time to the nanosecond. Keeping it as a version would push out a real older one.
bool isCopyOfTheSameSource(const QString& target, const fs::FileStamp& source) {
    fs::FileStamp older;
    return fs::regularFileStamp(target, false, older) && older.length == source.length &&
           older.modifiedNs == source.modifiedNs;
}

// Keeps the older copy at target as a version; false, recorded, when that failed. Only a regular
// file that differs from the new copy is an older copy: a link there is replaced as before.
bool keepOlderCopy(const QString& target, const fs::FileStamp& source, QString& versionPath) {
    if (fs::isSymLink(target) || !fs::isRegularFile(target) ||
        isCopyOfTheSameSource(target, source)) {
        Err.Clear();
        return true;
    }
    Err.Clear();
    const bool kept = versions::keepAsVersion(target, versionPath);
    gRecordError(kRunModul, QStringLiteral("Version ") + target);
    return kept;
}

// Puts the finished temporary file in place of the directory entry at target: an older copy, a
// link or anything else of that name is replaced, never changed or followed. With versions kept,
// the older copy moves into the version folder first and returns when the rename fails.
bool replaceOlderCopy(const QString& tempPath, const QString& target, const fs::FileStamp& source,
                      int keepVersions) {
    QString versionPath;
    if (keepVersions > 0 && !keepOlderCopy(target, source, versionPath)) return false;
    Err.Clear();
    const bool replaced = fs::renameReplacing(tempPath, target);
    if (!replaced && !versionPath.isEmpty()) {
        const PendingError failure = Err;
        versions::undoKeep(target, versionPath);
        Err = failure;
    }
    gRecordError(kRunModul, QStringLiteral("Kill ") + target);
    if (replaced && keepVersions > 0) {
        versions::pruneVersions(folderOf(target),
                                target.mid(target.lastIndexOf(QLatin1Char('/')) + 1), keepVersions);
        gRecordError(kRunModul,
                     QStringLiteral("Version ") + target);  // a copy too many is no failed copy
    }
    return replaced;
}

}  // namespace

QString copyTempPrefix() {
    return QStringLiteral(".bravel-tmp-");
}

bool isCopyTempName(const QString& name) {
    // Older versions put their process id in front of the random part.
    static const QRegularExpression pattern(
        QStringLiteral("^\\.bravel-tmp-(?:[0-9]{1,10}-)?[0-9a-f]{16}$"));
    return pattern.match(name).hasMatch();
}

int removeLeftoverTemps(const QString& folder) {
    const int saved = Err.Number;
    const QString savedText = Err.Description;
    std::vector<QString> candidates;
    fs::listDirectory(folder, [&](const fs::DirEntry& entry) {
        if (!entry.isDirectory && !entry.isLink && isCopyTempName(entry.name))
            candidates.push_back(folder + QLatin1Char('/') + entry.name);
        return true;
    });
    // A copy that is still writing (in this process or any other, in any namespace or on another
    // computer sharing the folder) holds its lock on the file; only unlocked files are leftovers.
    int removed = 0;
    for (const QString& path : candidates)
        if (fs::removeIfUnlocked(path)) ++removed;
    // Tidying up is no step of its own: nothing it meets is reported.
    if (saved == 0)
        Err.Clear();
    else
        Err.Raise(saved, savedText);
    return removed;
}

bool gCopy(const QString& source, const QString& target, RunObserver& observer,
           const CopyOptions& options, CopyMade* made) {
    Err.Clear();
    bool ok = true;

    fs::FileStamp before;
    unsigned sourceMode = 0;
    const int in = fs::openRegularFile(source, before, sourceMode);
    if (gRecordError(kModul, QStringLiteral("Open(") + source +
                                 QStringLiteral(") For Binary Access Read As fn1")))
        ok = false;
    if (in < 0) ok = false;

    const QString openTarget =
        QStringLiteral("Open(") + target + QStringLiteral(") For Binary Access Write As fn2");
    // A file of the version folder's name would stand in its way.
    if (ok && options.keepVersions > 0 && target == versions::folderFor(folderOf(target))) {
        Err.Raise(errnum::kPathFileAccess,
                  QStringLiteral("Der Name ist dem Ordner für ältere Versionen vorbehalten"));
        gRecordError(kModul, openTarget);
        ok = false;
    }
    if (ok && isTheSource(target, before)) {
        Err.Raise(errnum::kPathFileAccess, QStringLiteral("Das Ziel ist die Quelldatei selbst"));
        gRecordError(kModul, openTarget);
        ok = false;
    }

    QString tempPath;
    fs::FileIdentity copyIdentity;
    int out = -1;
    if (ok) {
        out = createTemp(folderOf(target), tempPath, copyIdentity);
        if (gRecordError(kModul, openTarget)) ok = false;
        if (out < 0) ok = false;
    }

    const qint64 total = before.length;
    const int base = observer.overallProgressValue();
    qint64 position = 1;  // the next byte to read, 1-based
    qint64 chunk = kCopyChunk;
    CopyProgress progress;
    progress.total = total;
    BlockTransfer transfer(in, out, before);

    while (ok && position <= total) {
        if (gAbort) {
            Err.Raise(errnum::kUserInterrupt);
            ok = false;
            break;
        }
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
        gFileShare = gSelTotal > 0
                         ? static_cast<float>(position) / static_cast<float>(gSelTotal) * 100.0f
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

    if (ok && !sourceUnchanged(in, before)) {
        gRecordError(kModul, QStringLiteral("FileLen(") + source + QLatin1Char(')'));
        ok = false;
    }
    if (ok) ok = finishTemp(out, before, sourceMode, options, target);
    if (ok && options.verify) ok = verifyCopy(in, out, target, observer);

    if (in >= 0) fs::closeDescriptor(in);
    // A failing close can mean lost data (full disk on a network share).
    if (out >= 0 && !fs::closeDescriptor(out)) ok = false;
    if (gRecordError(kModul, QStringLiteral("Close #fn1 / Close #fn2"))) ok = false;

    if (ok) ok = replaceOlderCopy(tempPath, target, before, options.keepVersions);
    if (!ok && !tempPath.isEmpty()) fs::removeQuietly(tempPath);
    if (ok && made) *made = CopyMade{before, copyIdentity};
    return ok;
}

}  // namespace bravel
