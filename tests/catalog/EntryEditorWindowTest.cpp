#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileSystemModel>
#include <QLabel>
#include <QTemporaryDir>
#include <QTreeView>

#include "Fixtures.h"
#include "catalog/CatalogState.h"
#include "catalog/frm_choosedir.h"

using namespace bravel;

namespace {

class EntryEditorWindowTest : public test::TempFolderTest {
  protected:
    test::RecordingMainView view;
};

TEST_F(EntryEditorWindowTest, TheFolderTreeShowsTheStartingFolderFarDownItsParent) {
    // Sixty sibling folders before it: at the default size the folder lies far below the view.
    for (int i = 0; i < 60; ++i)
        QDir(dir.path()).mkpath(QStringLiteral("a%1 Ordner").arg(i, 2, 10, QLatin1Char('0')));
    const QString target = dir.path() + QStringLiteral("/zz Ziel ü");
    ASSERT_TRUE(QDir().mkpath(target));
    view.setDetailTexts(QString(), target);

    frm_choosedir editor(view, EditorMode::Add, 0);
    editor.show();
    QTreeView* tree = editor.dir_Directory;
    auto* folders = qobject_cast<QFileSystemModel*>(tree->model());
    ASSERT_NE(folders, nullptr);
    const auto targetInView = [&] {
        const QRect row = tree->visualRect(folders->index(target));
        return row.isValid() && tree->viewport()->rect().contains(row);
    };
    // The model reads the folders in the background; the tree follows it there.
    EXPECT_TRUE(test::waitUntil(targetInView, 5000));
    EXPECT_TRUE(
        test::waitUntil([&] { return folders->rowCount(folders->index(dir.path())) == 61; }, 5000));
    test::waitUntil([] { return false; },
                    500);  // late reads and sorts must not move it away either
    EXPECT_TRUE(targetInView());
    EXPECT_EQ(folders->filePath(tree->currentIndex()), target);
    editor.reject();
}

TEST_F(EntryEditorWindowTest, CaptionsShowWholeAtTheDefaultSize) {
    view.setDetailTexts(QString(), dir.path());
    frm_choosedir editor(view, EditorMode::Add, 0);
    editor.show();
    QCoreApplication::processEvents();
    int captions = 0;
    for (const QLabel* label : editor.findChildren<QLabel*>()) {
        if (!label->text().startsWith("Eingangsdatei(en)") &&
            label->text() != "Sicherungsverzeichnis")
            continue;
        ++captions;
        const QRect room = label->contentsRect();
        const int flags = label->wordWrap() ? Qt::TextWordWrap : 0;
        const QRect needed = label->fontMetrics().boundingRect(QRect(0, 0, room.width(), 10000),
                                                               flags, label->text());
        EXPECT_LE(needed.width(), room.width()) << label->text().toStdString();
        EXPECT_LE(needed.height(), room.height()) << label->text().toStdString();
    }
    EXPECT_EQ(captions, 2);
    editor.reject();
}

}  // namespace
