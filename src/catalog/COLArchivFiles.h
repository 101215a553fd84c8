#pragma once

#include <QDateTime>
#include <QString>
#include <memory>
#include <vector>

#include "catalog/FileProperties.h"

namespace bravel {

// An ordered, 1-based collection of FileProperties.
class COLArchivFiles {
  public:
    // The attribute, length and date arguments never reach the item: it reads them from the
    // source itself (0, 0 and the zero date when the source is missing). Never fails.
    std::shared_ptr<FileProperties> Add(const QString& ac_mSourceFile,
                                        const QString& ac_mTargetPath, int i_mSourceAttributes,
                                        qint64 l_mSourceByte, const QDateTime& dat_mSourceDate,
                                        const QString& ac_mStatus);
    // The same with the look at the source already taken (the list fill takes all at once).
    std::shared_ptr<FileProperties> AddLooked(const QString& ac_mSourceFile,
                                              const QString& ac_mTargetPath,
                                              const std::optional<fs::FileState>& sourceState);
    // An index outside 1..Count raises error 9 and gives nothing.
    std::shared_ptr<FileProperties> Item(int Index) const;
    int Count() const { return static_cast<int>(items_.size()); }
    void Remove(int Index);
    void Clear();

  private:
    std::shared_ptr<FileProperties> append(const QString& source, const QString& target);

    std::vector<std::shared_ptr<FileProperties>> items_;
};

// The in-memory mirror of the main list's rows.
extern COLArchivFiles gCatalogFiles;

}  // namespace bravel
