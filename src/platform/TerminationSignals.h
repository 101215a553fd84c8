#pragma once

#include <QObject>

class QSocketNotifier;

namespace bravel {

// Catches SIGINT and SIGTERM for the life of the object. The handler only writes the signal's
// number into a pipe; received() is emitted from the event loop, so everything done about the
// signal runs as an ordinary event between two chunks of work. After the first signal the
// default action is back: a second one ends the program at once. One object at a time.
class TerminationSignals : public QObject {
    Q_OBJECT
  public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    // The first signal received so far, 0 for none.
    int received() const { return received_; }

  signals:
    void arrived(int signalNumber);

  private:
    void readPipe();

    QSocketNotifier* notifier_ = nullptr;
    int received_ = 0;
};

}  // namespace bravel
