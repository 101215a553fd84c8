#include "scan/DirectoryWalk.h"

#include <QCoreApplication>
#include <algorithm>
#include <vector>

#include "errors/COLError.h"
#include "platform/Dialogs.h"
#include "platform/Err.h"
#include "platform/FileSystem.h"

namespace bravel {

bool gCancelScan = false;

namespace {

using FolderId = fs::FileIdentity;

class Walk {
  public:
    Walk(const QString& pattern, QStringList& list)
        : pattern_(pattern), list_(list), all_(pattern == "*") {}

    void folder(QString path) {
        QCoreApplication::processEvents();  // one chance per folder for the cancel button
        if (gCancelScan || path.isEmpty()) return;
        if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
        // Linux has no path length limit to end a loop of links: a folder that is already on the
        // way down from the first one is a loop and is not entered again. A folder reached a
        // second way beside that way (a link to a sibling) is walked again, as every link is.
        FolderId id;
        if (!fs::folderIdentity(path, id) || isOnTheWayDown(id)) return;
        wayDown_.push_back(id);
        const int saved = Err.Number;
        const QString savedText = Err.Description;
        const bool listed = fs::listDirectory(path, [&](const fs::DirEntry& entry) {
            if (gCancelScan) return false;
            if (!entry.nameIsText)
                recordNameThatIsNoText(path, entry.name);
            else if (entry.isDirectory || (entry.isLink && fs::isDirectory(path + entry.name)))
                folder(path + entry.name);
            else if (all_ || entry.name.toUpper().endsWith(pattern_))
                list_.append(path + entry.name);
            return true;
        });
        wayDown_.pop_back();
        // A folder that cannot be listed is no error of the walk.
        if (!listed) {
            Err.Number = saved;
            Err.Description = savedText;
        }
    }

  private:
    bool isOnTheWayDown(const FolderId& id) const {
        return std::find(wayDown_.cbegin(), wayDown_.cend(), id) != wayDown_.cend();
    }

    // No path leads to such an entry, so it cannot be listed; the user learns of it here.
    static void recordNameThatIsNoText(const QString& folder, const QString& readableName) {
        Err.Raise(errnum::kBadFileNameOrNumber);
        gRecordError(QStringLiteral("v_gGetFiles"), fs::nameIsNoTextEvent(folder + readableName));
    }

    const QString pattern_;
    QStringList& list_;
    const bool all_;
    std::vector<FolderId> wayDown_;  // the folders from the first one down to the current one
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
