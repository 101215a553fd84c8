#pragma once

#include <QDateTime>
#include <QString>
#include <memory>
#include <vector>

#include "errors/ErrorProperties.h"

namespace bravel {

// The ordered error list, oldest first, 1-based. Records are shared with the caller.
class COLError {
  public:
    std::shared_ptr<ErrorProperties> Add(int i_mErrorNumber, const QString& ac_mErrorDescription,
                                         const QDateTime& dte_mErrorDate, const QString& ac_mModul,
                                         const QString& ac_mEvent);
    // An index outside 1..Count raises error 9 and gives nothing.
    std::shared_ptr<ErrorProperties> Item(int Index) const;
    int Count() const { return static_cast<int>(records_.size()); }
    void Remove(int Index);
    void Clear();

  private:
    bool validIndex(int index) const { return index >= 1 && index <= Count(); }
    std::vector<std::shared_ptr<ErrorProperties>> records_;
};

// The program's one error stack.
extern COLError gErrorStack;

// Which pending errors a checkpoint counts: most routines only numbers greater than zero, the
// catalog opening and its buttons any number other than zero.
enum class ErrorTest { Positive, NonZero };

// The checkpoint of every routine: when the pending error counts as a failure, it is recorded
// under the routine name and trigger text, then cleared. Returns whether it recorded.
bool gRecordError(const QString& modul, const QString& event, ErrorTest test = ErrorTest::Positive);
// Whether the pending error counts as a failure, for routines that show a message first.
bool gErrorPending(ErrorTest test = ErrorTest::Positive);

}  // namespace bravel
