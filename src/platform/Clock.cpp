#include "platform/Clock.h"

namespace bravel {
namespace {
QDateTime& pinnedTime() {
    static QDateTime pinned;
    return pinned;
}
}  // namespace

QDateTime now() {
    const QDateTime& pinned = pinnedTime();
    return pinned.isValid() ? pinned : QDateTime::currentDateTime();
}

void setClockForTest(const QDateTime& fixed) {
    pinnedTime() = fixed;
}

}  // namespace bravel
