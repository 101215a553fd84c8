#pragma once

#include <QString>
#include <memory>

class QLockFile;

namespace bravel {

QString computerName();

// The per-user test whether another copy of the program is running: the first copy holds a lock
// file in $XDG_RUNTIME_DIR for its whole life.
class InstanceLock {
  public:
    InstanceLock();
    ~InstanceLock();
    // Takes the lock; false when another running copy holds it.
    bool acquire();
    static QString lockFilePath();

  private:
    std::unique_ptr<QLockFile> lock_;
};

}  // namespace bravel
