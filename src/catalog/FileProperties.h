#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

#include "platform/FileSystem.h"

namespace bravel {

// One source file with its backup folder. Attributes, length and date are never taken from the
// caller: their setters read them from the file named by acSourceFile at that moment.
class FileProperties {
  public:
    FileProperties();

    QString acSourceFile() const { return sourceFile_; }
    // Paths are kept as they are: on Linux a name may begin or end with blanks.
    void setAcSourceFile(const QString& path) { sourceFile_ = path; }
    QString acTagetPath() const { return targetPath_; }
    void setAcTagetPath(const QString& path) { targetPath_ = path; }
    int iSourceFileAttr() const { return attributes_; }
    // Each of these three reads the file; when it cannot, the pending error is set and the
    // stored value stays as it was. The argument is ignored by design.
    void setISourceFileAttr(int ignored = 0);
    qint64 lSourceByte() const { return bytes_; }
    void setLSourceByte(qint64 ignored = 0);
    QDateTime dteSourceDate() const { return date_; }
    void setDteSourceDate(const QDateTime& ignored = QDateTime());
    // Reads attributes, length and date in one look at the file; false (pending error set,
    // values unchanged) when it cannot be read.
    bool readSourceState();
    // Takes the result of a look at the source made elsewhere (the list fill looks at all
    // sources at once); no value: the source could not be read, the values stay.
    void takeSourceState(const std::optional<fs::FileState>& state);
    // Whether the last look at the source found it.
    bool sourceWasRead() const { return sourceWasRead_; }

    QString acLastStatus() const { return lastStatus_; }
    void setAcLastStatus(const QString& status) { lastStatus_ = status.trimmed(); }

  private:
    QString sourceFile_;
    QString targetPath_;
    int attributes_ = 0;
    qint64 bytes_ = 0;
    QDateTime date_;
    QString lastStatus_;
    bool sourceWasRead_ = false;
};

}  // namespace bravel
