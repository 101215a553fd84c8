#include "catalog/COLArchivFiles.h"

#include "platform/Err.h"

namespace bravel {

COLArchivFiles gCatalogFiles;

std::shared_ptr<FileProperties> COLArchivFiles::Add(const QString& ac_mSourceFile,
                                                    const QString& ac_mTargetPath,
                                                    int i_mSourceAttributes, qint64 l_mSourceByte,
                                                    const QDateTime& dat_mSourceDate,
                                                    const QString& ac_mStatus) {
    Err.Clear();
    // The three source values come from the file, never from the arguments; one look at the
    // file sets all three (a missing file leaves 0, 0 and the zero date).
    Q_UNUSED(i_mSourceAttributes);
    Q_UNUSED(l_mSourceByte);
    Q_UNUSED(dat_mSourceDate);
    auto item = append(ac_mSourceFile, ac_mTargetPath);
    item->readSourceState();
    item->setAcLastStatus(ac_mStatus);
    Err.Clear();
    return item;
}

std::shared_ptr<FileProperties> COLArchivFiles::AddLooked(
    const QString& ac_mSourceFile, const QString& ac_mTargetPath,
    const std::optional<fs::FileState>& sourceState) {
    auto item = append(ac_mSourceFile, ac_mTargetPath);
    item->takeSourceState(sourceState);
    return item;
}

std::shared_ptr<FileProperties> COLArchivFiles::append(const QString& source,
                                                       const QString& target) {
    auto item = std::make_shared<FileProperties>();
    item->setAcSourceFile(source);
    item->setAcTagetPath(target);
    items_.push_back(item);
    return item;
}

std::shared_ptr<FileProperties> COLArchivFiles::Item(int Index) const {
    if (Index < 1 || Index > Count()) {
        Err.Raise(errnum::kSubscriptOutOfRange);
        return nullptr;
    }
    return items_[static_cast<size_t>(Index - 1)];
}

void COLArchivFiles::Remove(int Index) {
    if (Index < 1 || Index > Count()) {
        Err.Raise(errnum::kSubscriptOutOfRange);
        return;
    }
    items_.erase(items_.begin() + (Index - 1));
}

void COLArchivFiles::Clear() {
    // Same outcome as removing item 1 Count times, without the quadratic cost on big catalogs.
    items_.clear();
}

}  // namespace bravel
