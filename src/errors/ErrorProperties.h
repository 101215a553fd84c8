#pragma once

#include <QDateTime>
#include <QString>

namespace bravel {

// One recorded error. Texts are stored trimmed, the date in whole seconds.
class ErrorProperties {
  public:
    int ErrNumber() const { return number_; }
    void setErrNumber(int number) { number_ = number; }
    QString ErrDescr() const { return description_; }
    void setErrDescr(const QString& text) { description_ = text.trimmed(); }
    QDateTime ErrDate() const { return date_; }
    void setErrDate(const QDateTime& date);
    QString ErrModul() const { return modul_; }
    void setErrModul(const QString& text) { modul_ = text.trimmed(); }
    QString ErrEvent() const { return event_; }
    void setErrEvent(const QString& text) { event_ = text.trimmed(); }

  private:
    // Widened from 16 bits: the catalog's own numbers and any other stay recordable.
    int number_ = 0;
    QString description_;
    QDateTime date_;
    QString modul_;
    QString event_;
};

}  // namespace bravel
