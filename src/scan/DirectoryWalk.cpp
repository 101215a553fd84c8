#include "scan/DirectoryWalk.h"

#include <sys/stat.h>

#include <QCoreApplication>
#include <QFile>
#include <set>
#include <utility>

#include "platform/Dialogs.h"
#include "platform/Err.h"
#include "platform/FileSystem.h"

namespace bravel {

bool gCancelScan = false;

namespace {

using FolderId = std::pair<dev_t, ino_t>;

// The device and inode of the folder a path leads to (links followed).
bool folderId(const QString& folder, FolderId& id) {
    struct stat st;
    if (::stat(QFile::encodeName(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    id = {st.st_dev, st.st_ino};
    return true;
}

class Walk {
public:
    Walk(const QString& pattern, QStringList& list) : pattern_(pattern), list_(list), all_(pattern == "*") {}

    void folder(QString path) {
        QCoreApplication::processEvents();  // one chance per folder for the cancel button
        if (gCancelScan || path.isEmpty()) return;
        if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
        // Linux has no path length limit to end a loop of links: a folder seen before is skipped.
        FolderId id;
        if (!folderId(path, id) || !walked_.insert(id).second) return;
        const int saved = Err.Number;
        const QString savedText = Err.Description;
        const bool listed = fs::listDirectory(path, [&](const fs::DirEntry& entry) {
            if (gCancelScan) return false;
            if (entry.isDirectory || (entry.isLink && isFolder(path + entry.name)))
                folder(path + entry.name);
            else if (all_ || entry.name.toUpper().endsWith(pattern_))
                list_.append(path + entry.name);
            return true;
        });
        // A folder that cannot be listed is no error of the walk.
        if (!listed) {
            Err.Number = saved;
            Err.Description = savedText;
        }
    }

private:
    static bool isFolder(const QString& path) {
        struct stat st;
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
    }

    const QString pattern_;
    QStringList& list_;
    const bool all_;
    std::set<FolderId> walked_;
};

}  // namespace

void gGetFiles(const QString& folder, const QString& pattern, QStringList& list) {
    Walk walk(pattern, list);
    walk.folder(folder);
}

QString gBrowseForFolder(const QString& title, const QString& root) {
    const std::optional<QString> folder = dialogs().browseFolder(title, root);
    return folder ? *folder : QString();
}

}  // namespace bravel
