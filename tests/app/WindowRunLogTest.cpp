// The window's run log: every run from the window writes one, and "Letztes Protokoll" in the
// "Programm" menu opens the newest in the desktop's viewer.
#include <gtest/gtest.h>

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>

#include "CatalogFiles.h"
#include "TestSupport.h"
#include "app/CommandLine.h"
#include "app/frm_main.h"
#include "backup/RunReport.h"
#include "catalog/CatalogController.h"
#include "catalog/CatalogState.h"
#include "settings/SettingKeys.h"

namespace bravel::test {

// Stands in for the desktop's viewer: remembers the files it was asked to open.
class OpenedFiles : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> urls;
  public slots:
    void open(const QUrl& url) { urls << url; }
};

namespace {

class WindowRunLogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetAll();
        ASSERT_TRUE(dir.isValid());
        QDir(runLogFolder()).removeRecursively();
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, "open");
    }
    void TearDown() override {
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        resetCatalogState();
    }
    QString path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }

    QTemporaryDir dir;
    OpenedFiles opened;
};

TEST_F(WindowRunLogTest, AWindowRunIsLoggedAndTheNewestLogOpensFromTheMenu) {
    const QString source = path(QStringLiteral("Brief ü.txt"));
    ASSERT_TRUE(writeFile(source, "Brief"));
    const QString missing = path(QStringLiteral("fehlt.txt"));
    const QString catalog = path(QStringLiteral("k.bvk"));
    ASSERT_TRUE(writeCatalog(catalog, {{source, path(QStringLiteral("s")), {}, {}, {}},
                                       {missing, path(QStringLiteral("s")), {}, {}, {}}}));
    setStartCommand({catalog, QStringLiteral("/open/")});

    frm_main window;
    ASSERT_TRUE(window.load());
    QAction* lastLog = window.mnu_applastlog;
    ASSERT_NE(lastLog, nullptr);
    EXPECT_EQ(lastLog->text(), QStringLiteral("Letztes Protokoll"));
    EXPECT_TRUE(window.mnu_app->actions().contains(lastLog));

    lastLog->trigger();
    EXPECT_TRUE(opened.urls.isEmpty());
    ASSERT_EQ(scriptedDialogs().messages.size(), 1u) << "no log yet: said so";
    EXPECT_EQ(scriptedDialogs().messages[0].text,
              QStringLiteral("Es gibt noch kein Protokoll einer Sicherung."));

    window.controller().model().selectAll(true);
    window.controller().timer2Tick();  // the commands follow the selection
    window.but_Start->click();
    const QString newest = newestRunLog();
    ASSERT_FALSE(newest.isEmpty());
    const QString log = QString::fromUtf8(readFile(newest));
    EXPECT_TRUE(log.contains(QStringLiteral("Sicherung im Fenster")));
    EXPECT_TRUE(log.contains(QStringLiteral("Katalog: ") + catalog));
    EXPECT_TRUE(log.contains(QStringLiteral("gesichert: ") + source + QStringLiteral(" -> ") +
                             path(QStringLiteral("s"))));
    EXPECT_TRUE(log.contains(QStringLiteral("nicht gesichert: ") + missing)) << log.toStdString();
    EXPECT_TRUE(log.endsWith(QStringLiteral("Exitcode: 1\n"))) << log.toStdString();

    lastLog->trigger();
    ASSERT_EQ(opened.urls.size(), 1);
    EXPECT_EQ(opened.urls[0], QUrl::fromLocalFile(newest));
    window.close();
}

TEST_F(WindowRunLogTest, AnAutomaticRunThatSelectsNothingIsLoggedToo) {
    const QString source = path(QStringLiteral("a.txt"));
    ASSERT_TRUE(writeFile(source, "A"));
    const QString catalog = path(QStringLiteral("k.bvk"));
    ASSERT_TRUE(writeCatalog(catalog, {{source, path(QStringLiteral("s")), {}, {}, {}}}));
    writeSetting(keys::setup_chk_autostart, QStringLiteral("1"));
    writeSetting(keys::setup_txt_autostart, catalog);
    writeSetting(keys::setup_opt_AutoCopyRange, QStringLiteral("True"));
    writeSetting(keys::setup_txt_AutoCopyRange, QStringLiteral("passt auf nichts"));

    frm_main window;
    ASSERT_TRUE(window.load());
    window.show();
    ASSERT_TRUE(waitUntil([] { return !newestRunLog().isEmpty(); }));
    const QString log = QString::fromUtf8(readFile(newestRunLog()));
    EXPECT_TRUE(log.contains(QStringLiteral("Ausgewählte Einträge: 0 ("))) << log.toStdString();
    EXPECT_TRUE(log.endsWith(QStringLiteral("Exitcode: 0\n"))) << log.toStdString();
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("s/a.txt"))));
    window.close();
}

}  // namespace
}  // namespace bravel::test

#include "WindowRunLogTest.moc"
