#pragma once

#include <QString>

namespace bravel {

class RunObserver;

// The chunk every copy reads and writes; one progress update per chunk.
constexpr qint64 kCopyChunk = 4096;

// Copies source onto target in 4096-byte chunks, reporting progress after every chunk and
// waiting between chunks while gPause is set. The bytes go into a hidden temporary file beside
// target; only when all of them were read, written and the file closed without error does the
// temporary file replace the older copy at target (whose read-only mark is cleared first), so a
// failed copy leaves the older copy as it was. The copy keeps the source's modification time.
// Returns whether target now holds the complete copy. Failures are recorded as "v_gCopy" (and
// the replacing steps as "but_Start"); a source that is not a regular file fails before it is
// opened.
bool gCopy(const QString& source, const QString& target, RunObserver& observer);

// The name prefix of the temporary files; the rest is "<pid>-<16 hex digits>".
QString copyTempPrefix();
// Whether name is one of our temporary files, and which process wrote it.
bool isCopyTempName(const QString& name, qint64* pid = nullptr);
// Removes the temporary files that a killed run left in folder (those whose process is gone).
// Returns how many were removed.
int removeLeftoverTemps(const QString& folder);

// Lets pending window events run once, but not more often than every kEventIntervalMs: pause
// and cancel change only while events run, a person cannot tell 10 ms, and a run over many small
// files would otherwise spend its time repainting. Returns whether they ran.
constexpr int kEventIntervalMs = 10;
bool letEventsRun();

}  // namespace bravel
