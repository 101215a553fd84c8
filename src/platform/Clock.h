#pragma once

#include <QDateTime>

namespace bravel {

// The program's one clock. Tests pin it where a date is asserted.
QDateTime now();
void setClockForTest(const QDateTime& fixed);  // an invalid value goes back to the real clock

}  // namespace bravel
