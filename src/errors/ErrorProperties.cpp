#include "errors/ErrorProperties.h"

namespace bravel {

void ErrorProperties::setErrDate(const QDateTime& date) {
    QDateTime wholeSeconds = date;
    wholeSeconds.setTime(QTime(date.time().hour(), date.time().minute(), date.time().second()));
    date_ = wholeSeconds;
}

}  // namespace bravel
