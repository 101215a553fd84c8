#pragma once

#include <QString>

namespace bravel {

// SQLite locks a catalog and its -shm file with POSIX record locks. Those belong to the process
// and the file, so any close() of any descriptor of the file anywhere in the process (a file
// dialog guessing the file's type, the copy engine backing the catalog up) drops them silently,
// and another program may then delete the log under us. installCatalogLocks routes SQLite's lock
// calls onto open-file-description locks, which only their own descriptor releases: one lock
// descriptor per file, shared by every connection of this process, so the connections among
// themselves still behave as one process towards the other programs.
//
// Installed once, before the first SQLite connection opens; later calls do nothing. Returns
// whether the locks are routed; when the system cannot (no such locks), the plain locks stay and
// catalogLockingNote() says why.
bool installCatalogLocks();
bool catalogLocksRouted();
QString catalogLockingNote();

}  // namespace bravel
