#include "errors/COLError.h"

#include "platform/Clock.h"
#include "platform/Err.h"

namespace bravel {

COLError gErrorStack;

std::shared_ptr<ErrorProperties> COLError::Add(int i_mErrorNumber,
                                               const QString& ac_mErrorDescription,
                                               const QDateTime& dte_mErrorDate,
                                               const QString& ac_mModul, const QString& ac_mEvent) {
    Err.Clear();
    auto record = std::make_shared<ErrorProperties>();
    record->setErrNumber(i_mErrorNumber);
    record->setErrDescr(ac_mErrorDescription);
    record->setErrDate(dte_mErrorDate);
    record->setErrModul(ac_mModul);
    record->setErrEvent(ac_mEvent);
    records_.push_back(record);
    return record;
}

std::shared_ptr<ErrorProperties> COLError::Item(int Index) const {
    if (!validIndex(Index)) {
        Err.Raise(errnum::kSubscriptOutOfRange);
        return nullptr;
    }
    Err.Clear();
    return records_[static_cast<size_t>(Index - 1)];
}

void COLError::Remove(int Index) {
    if (!validIndex(Index)) {
        Err.Raise(errnum::kSubscriptOutOfRange);
        return;
    }
    records_.erase(records_.begin() + (Index - 1));
}

void COLError::Clear() {
    // Same outcome as removing record 1 Count times, in linear time.
    records_.clear();
    Err.Clear();
}

bool gErrorPending(ErrorTest test) {
    return test == ErrorTest::Positive ? Err.Number > 0 : Err.Number != 0;
}

bool gRecordError(const QString& modul, const QString& event, ErrorTest test) {
    if (!gErrorPending(test)) return false;
    const int number = Err.Number;
    const QString description = Err.Description;
    gErrorStack.Add(number, description, now(), modul, event);
    Err.Clear();
    return true;
}

}  // namespace bravel
