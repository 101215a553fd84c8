#pragma once

#include <QByteArray>
#include <QString>

namespace bravel::fs {

// The XXH3 128-bit digest of a file's content (16 bytes). With fromDevice the file is flushed and
// its cached pages are dropped first, so that the bytes are read back from the disk rather than
// from memory: what a later restore would read. False, with the pending error set, when the
// file cannot be read.
bool contentDigest(const QString& path, bool fromDevice, QByteArray& digest);
// The same for an open file, read from its start whatever its position.
bool contentDigest(int fd, bool fromDevice, QByteArray& digest);

}  // namespace bravel::fs
