#pragma once

#include <QProcess>
#include <QString>

namespace bravel::test {

// A second program (the sqlite3 shell) holds a write transaction on the catalog.
class CatalogLock {
  public:
    explicit CatalogLock(const QString& catalog) {
        shell_.setProcessChannelMode(QProcess::MergedChannels);
        shell_.start(QStringLiteral("sqlite3"), {catalog});
        if (!shell_.waitForStarted(10000)) return;
        shell_.write("BEGIN IMMEDIATE;\nSELECT 'LOCKED';\n");
        QByteArray output;
        for (int i = 0; i < 100 && !output.contains("LOCKED"); ++i) {
            shell_.waitForReadyRead(100);
            output += shell_.readAll();
        }
        held_ = output.contains("LOCKED");
    }
    ~CatalogLock() {
        release();
        shell_.waitForFinished(10000);
    }
    bool held() const { return held_; }
    void release() {
        if (shell_.state() != QProcess::Running) return;
        shell_.write("COMMIT;\n.quit\n");
        shell_.closeWriteChannel();
        shell_.waitForFinished(10000);
    }

  private:
    QProcess shell_;
    bool held_ = false;
};

}  // namespace bravel::test
