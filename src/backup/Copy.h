#pragma once

#include <QString>
#include <functional>

#include "platform/FileSystem.h"

namespace bravel {

class RunObserver;

// The chunk every copy reads and writes; one progress update per chunk.
constexpr qint64 kCopyChunk = 4096;

// Copies source onto target in 4096-byte chunks, reporting progress after every chunk and
// waiting between chunks while gPause is set. The bytes go into a hidden temporary file beside
// target, private to its owner and locked (flock) while it is written; only when all of them
// were read, written and the file closed without error, and the source did not change meanwhile,
// does the temporary file replace the directory entry at target (an older copy, or a link, which
// is never followed). The copy keeps the source's modification time and holes; its permission
// bits are the source's, narrowed by the umask unless gCopyAttributes is set. A target that is
// the source itself (same device and inode) is refused. Returns whether target now holds the
// complete copy. Failures are recorded as "v_gCopy" (and the replacing step as "but_Start"); a
// source that is not a regular file fails before it is opened.
//
// With verify, the finished copy is flushed, read back from the disk and compared with the source
// before it replaces anything; a difference fails the copy. With keepVersions above 0, the older
// copy at target is kept in the version folder beside it (at most that many per file, the oldest
// removed first) instead of being replaced.
struct CopyOptions {
    bool verify = false;
    int keepVersions = 0;
    // The process's umask, where the caller read it once for many copies (reading it means
    // setting it twice); -1: each copy reads it.
    int creationMask = -1;
};
// What a successful copy made: the source's size and times as they were copied, and the identity
// of the copy now at target.
struct CopyMade {
    fs::FileStamp source;
    fs::FileIdentity copy;
};
bool gCopy(const QString& source, const QString& target, RunObserver& observer,
           const CopyOptions& options = {}, CopyMade* made = nullptr);

// The name prefix of the temporary files; the rest is 16 hex digits.
QString copyTempPrefix();
// Whether name is one of our temporary files.
bool isCopyTempName(const QString& name);
// Removes the temporary files that a killed run left in folder: those nobody holds a lock on.
// Returns how many were removed.
int removeLeftoverTemps(const QString& folder);

// Lets pending window events run once, but not more often than every kEventIntervalMs: pause
// and cancel change only while events run, and a person cannot tell 40 ms. 25 pictures a second
// still show every bar move smoothly, where a run over many small files would otherwise spend a
// quarter of its time repainting the list. Returns whether they ran.
constexpr int kEventIntervalMs = 40;
bool letEventsRun();

// Work that must be done each time before window events run while it is alive (also while a
// pause waits): a run writes the records it has kept since the last time, so that nothing painted
// and nothing a person may do meanwhile meets a row whose record is not yet written. Nested ones
// take turns: the inner one holds while it lives.
class BeforeEventRuns {
  public:
    explicit BeforeEventRuns(std::function<void()> work);
    ~BeforeEventRuns();
    BeforeEventRuns(const BeforeEventRuns&) = delete;
    BeforeEventRuns& operator=(const BeforeEventRuns&) = delete;
    // Runs the work of the one made last that is still alive, if any.
    static void now();

  private:
    std::function<void()> before_;  // the work of the one made before, back when this one goes
};

}  // namespace bravel
