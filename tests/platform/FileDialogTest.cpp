// The program's file dialogs show a catalog's folder without opening the files in it: opening
// and closing an open catalog, or its side files, anywhere in the program is what once dropped
// its locks.
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <QFileDialog>
#include <QTemporaryDir>
#include <QTreeView>

#include "TestSupport.h"
#include "platform/UiDialogs.h"

namespace bravel::test {
namespace {

// The names of the files in a folder that were opened since the watch began.
class OpenWatch {
  public:
    explicit OpenWatch(const QString& folder) {
        fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (fd_ >= 0) ::inotify_add_watch(fd_, QFile::encodeName(folder).constData(), IN_OPEN);
    }
    ~OpenWatch() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool watching() const { return fd_ >= 0; }
    QStringList openedFiles() {
        QStringList names;
        alignas(inotify_event) char buffer[8192];
        for (ssize_t n; (n = ::read(fd_, buffer, sizeof buffer)) > 0;) {
            for (char* at = buffer; at < buffer + n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(at);
                if (event->len > 0 && !(event->mask & IN_ISDIR))
                    names << QString::fromLocal8Bit(event->name);
                at += sizeof(inotify_event) + event->len;
            }
        }
        return names;
    }

  private:
    int fd_ = -1;
};

TEST(FileDialogTest, ListingACatalogFolderOpensNoFileInIt) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    // Contents that a content sniffer would take for something else than the names say.
    const QByteArray png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    for (const char* name : {"Katalog.bvk", "Katalog.bvk-wal", "Katalog.bvk-shm", "ohne Endung"})
        ASSERT_TRUE(writeFile(folder.filePath(QString::fromUtf8(name)), png));
    OpenWatch watch(folder.path());
    ASSERT_TRUE(watch.watching());

    QFileDialog dialog(nullptr, QStringLiteral("Test"), folder.path());
    prepareFileDialog(dialog);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.show();
    QTreeView* list = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    ASSERT_TRUE(list);
    ASSERT_TRUE(waitUntil([&] { return list->model()->rowCount(list->rootIndex()) == 4; }, 5000));
    // Every cell asked for, as painting the detail view does (icon and type included).
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < list->model()->columnCount(list->rootIndex()); ++c) {
            const QModelIndex index = list->model()->index(r, c, list->rootIndex());
            list->model()->data(index, Qt::DisplayRole);
            list->model()->data(index, Qt::DecorationRole);
        }
    waitUntil([] { return false; }, 500);
    dialog.close();
    EXPECT_EQ(watch.openedFiles(), QStringList());

    NameOnlyIconProvider names;
    EXPECT_NE(names.type(QFileInfo(folder.filePath(QStringLiteral("ohne Endung")))),
              QStringLiteral("PNG image"));
}

}  // namespace
}  // namespace bravel::test
