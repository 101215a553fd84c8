#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <cstdio>

#include "Fixtures.h"
#include "app/CommandLine.h"
#include "app/frm_main.h"
#include "base/AppValues.h"
#include "base/Prog.h"
#include "catalog/COLArchivFiles.h"
#include "catalog/CatalogController.h"
#include "catalog/CatalogState.h"
#include "errors/COLError.h"
#include "platform/CatalogDatabase.h"
#include "platform/FileSystem.h"
#include "platform/Twips.h"
#include "settings/SettingKeys.h"

using namespace bravel;

namespace {

class MainWindowTest : public test::TempFolderTest {
  protected:
    // "haupt.bvk" with the sources, all backed up into folder.
    QString makeCatalog(const QStringList& sources, const QString& folder) {
        std::vector<test::CatalogEntry> records;
        for (const QString& source : sources) records.push_back({source, folder});
        return TempFolderTest::makeCatalog("haupt.bvk", records);
    }
};

TEST_F(MainWindowTest, OpensTheCommandLineCatalogAndBacksUpTheSelection) {
    const QString source = path("Quelle mit Blanks ü.txt");
    test::writeFile(source, "Inhalt der Quelle");
    QDir().mkpath(path("sicherung"));
    setStartCommand({makeCatalog({source}, path("sicherung")), QStringLiteral("/open/")});

    frm_main window;
    ASSERT_TRUE(window.load());
    window.show();
    ASSERT_EQ(window.controller().model().rowCount(), 1);
    EXPECT_EQ(window.lbl_RecordCount->text(), "1 Eintrag");
    EXPECT_FALSE(window.lbl_lstoverlay->isVisible());

    window.controller().mSelectAll(true);
    window.controller().timer2Tick();
    ASSERT_TRUE(window.but_Start->isEnabled());
    window.mnu_fileactionstart->trigger();
    EXPECT_EQ(test::readFile(path("sicherung/Quelle mit Blanks ü.txt")), "Inhalt der Quelle");
    EXPECT_TRUE(window.controller().model().cell(0, col::kStatus).startsWith("gesichert ("));
    EXPECT_TRUE(gIdle);
    window.close();
}

TEST_F(MainWindowTest, ClosingIsRefusedWhileARunWorks) {
    frm_main window;
    window.load();
    window.show();
    gIdle = false;
    EXPECT_FALSE(window.close());
    gIdle = true;
    EXPECT_TRUE(window.close());
}

TEST_F(MainWindowTest, GeometryComesBackFromTheSettingsOrMaximisedWhenTooBig) {
    {
        frm_main window;
        window.load();
        window.setGeometry(100, 80, twipsToPixels(10500), twipsToPixels(6000));
        window.show();
        window.setGeometry(100, 80, twipsToPixels(10500), twipsToPixels(6000));
        window.close();
    }
    EXPECT_NEAR(readNumber(keys::main_width), 10500, 20);
    {
        frm_main window;
        window.load();
        EXPECT_NEAR(window.width(), twipsToPixels(10500), 2);
        EXPECT_FALSE(window.isMaximized());
    }
    writeSetting(keys::main_width, QString("999999"));
    writeSetting(keys::main_height, QString("999999"));
    frm_main window;
    window.load();
    EXPECT_TRUE(window.windowState() & Qt::WindowMaximized);
}

TEST_F(MainWindowTest, CommandLineFilesGoIntoTheAutostartCatalogThenTheProgramEnds) {
    const QString source = path("Ordner eins/Brief ä.txt");
    test::writeFile(source, "x");
    QDir().mkpath(path("ziel"));
    const QString catalog = makeCatalog({}, QString());
    writeSetting(keys::setup_chk_autostart, QString("1"));
    writeSetting(keys::setup_txt_autostart, catalog);
    writeSetting(keys::setup_txt_StandardSicherungsverzeichnis, path("ziel"));
    writeSetting(keys::setup_chk_UseOrigPath, QString("1"));
    setStartCommand({source});

    frm_main window;
    EXPECT_FALSE(window.load()) << "an add-mode start never stays open";
    window.controller().closeCatalog();

    auto db = CatalogDatabase::open(catalog);
    auto rset = db->OpenRecordset("SELECT FILES.* FROM FILES");
    rset->MoveFirst();
    ASSERT_FALSE(rset->EOF_());
    QVariant value;
    rset->Field("Eingangsdatei", value);
    EXPECT_EQ(value.toString(), source);
    rset->Field("Sicherungspfad", value);
    const QString mirrored = path("ziel") + "/" + path("Ordner eins").mid(1);
    EXPECT_EQ(value.toString(), mirrored);
    EXPECT_TRUE(QDir(mirrored).exists()) << "the mirrored folders are created";
    rset->Close();
    db->Close();
}

TEST_F(MainWindowTest, CommandLineFilesWithoutAutostartCatalogWarnAndEnd) {
    setStartCommand({path("a.txt")});
    frm_main window;
    EXPECT_FALSE(window.load());
    ASSERT_EQ(test::scriptedDialogs().messages.size(), 1u);
    EXPECT_TRUE(test::scriptedDialogs().messages[0].text.startsWith(
        "Es ist kein Autostart-Katalog aktiviert.\r\n\r\n"));
    EXPECT_EQ(test::scriptedDialogs().messages[0].icon, MsgIcon::Exclamation);
}

TEST_F(MainWindowTest, BrokenAutostartEntrySwitchesAutostartOff) {
    writeSetting(keys::setup_chk_autostart, QString("1"));
    writeSetting(keys::setup_txt_autostart, path("verschwunden.bvk"));
    {
        frm_main window;
        window.load();
    }
    ASSERT_EQ(test::scriptedDialogs().messages.size(), 1u);
    EXPECT_EQ(test::scriptedDialogs().messages[0].text,
              "Eintrag in der Registry ist fehlerhaft:\r\n\r\nDatenbank existiert nicht!\r\nBitte "
              "im Setup prüfen.");
    EXPECT_EQ(readText(keys::setup_chk_autostart), "0");
    frm_main again;
    again.load();
    EXPECT_EQ(test::scriptedDialogs().messages.size(), 1u) << "the next start says nothing";
    EXPECT_EQ(again.lbl_lstoverlay->text(), " Kein Katalog geladen.");
}

TEST_F(MainWindowTest, FirstActivationBacksUpEveryEntryWhenAskedTo) {
    QDir().mkpath(path("sicherung"));
    QStringList sources;
    for (const char* name : {"eins.txt", "zwei.txt"}) {
        sources << path(name);
        test::writeFile(sources.back(), name);
    }
    const QString catalog = makeCatalog(sources, path("sicherung"));
    writeSetting(keys::setup_chk_autostart, QString("1"));
    writeSetting(keys::setup_txt_autostart, catalog);
    writeSetting(keys::setup_opt_AutoCopyAll, QString("True"));

    frm_main window;
    ASSERT_TRUE(window.load());
    window.show();
    window.activateWindow();
    EXPECT_TRUE(
        test::waitUntil([&] { return QFile::exists(path("sicherung/zwei.txt")) == true; }, 3000));
    EXPECT_TRUE(test::waitUntil([&] { return gIdle; }, 3000));
    EXPECT_EQ(test::readFile(path("sicherung/eins.txt")), "eins.txt");
    EXPECT_FALSE(window.chk_CheckItem->isChecked());
    window.close();
}

}  // namespace

namespace {
TEST_F(MainWindowTest, ClickingRowsAndStartBacksThemUp) {
    const QString source = path("a.txt");
    test::writeFile(source, "A");
    QDir().mkpath(path("s"));
    setStartCommand({makeCatalog({source}, path("s")), QStringLiteral("/open/")});
    frm_main window;
    ASSERT_TRUE(window.load());
    window.show();
    const QRect row = window.lst_Files->visualRect(window.controller().model().index(0, 0));
    QTest::mouseClick(window.lst_Files->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_TRUE(window.controller().model().isRowSelected(0));
    window.controller().timer2Tick();
    ASSERT_TRUE(window.but_Start->isEnabled());
    QTest::mouseClick(window.but_Start, Qt::LeftButton);
    EXPECT_EQ(test::readFile(path("s/a.txt")), "A");
    window.close();
}

TEST_F(MainWindowTest, ComputerColumnsShowTheComputerPictureInTheirHeading) {
    const QString source = path("a.txt");
    test::writeFile(source, "A");
    QDir().mkpath(path("s"));
    const QString catalog = makeCatalog({source}, path("s"));
    {
        auto db = CatalogDatabase::open(catalog);
        auto rset = db->OpenRecordset("SELECT FILES.* FROM FILES");
        rset->MoveFirst();
        rset->Edit();
        rset->SetField("Computerstatus", "LAPTOP20250101;");
        rset->Update();
        rset->Close();
        db->Close();
    }
    setStartCommand({catalog, QStringLiteral("/open/")});
    frm_main window;
    ASSERT_TRUE(window.load());
    window.show();
    const QAbstractItemModel* shown = window.lst_Files->model();
    auto picture = [&](int column) {
        return shown->headerData(column, Qt::Horizontal, Qt::DecorationRole).value<QIcon>();
    };
    auto columnNamed = [&](const QString& header) {
        for (int c = 0; c < shown->columnCount(); ++c)
            if (shown->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString() == header)
                return c;
        return -1;
    };
    for (int c : {col::kSource, col::kFolder, col::kSize, col::kChanged, col::kStatus})
        EXPECT_FALSE(picture(c).isNull()) << "column " << c;
    const int laptop = columnNamed("LAPTOP");
    ASSERT_GE(laptop, col::kFixedColumns);
    EXPECT_FALSE(picture(laptop).isNull()) << "a computer column from the catalog";
    EXPECT_NE(picture(laptop).cacheKey(), picture(col::kSource).cacheKey());

    // The column the backup run adds for this computer shows the same picture.
    window.controller().mSelectAll(true);
    window.controller().timer2Tick();
    window.but_Start->click();
    ASSERT_NE(gHostName, "LAPTOP");
    const int here = columnNamed(gHostName);
    ASSERT_GE(here, col::kFixedColumns);
    EXPECT_EQ(picture(here).cacheKey(), picture(laptop).cacheKey());
    window.close();
}

}  // namespace

namespace {

TEST_F(MainWindowTest, OpensACatalogWhoseNameIsNoTextAsTheFileTypeEntryPassesIt) {
    const QString source = path("Quelle.txt");
    test::writeFile(source, "Inhalt");
    QDir().mkpath(path("sicherung"));
    const QByteArray latin1 = QFile::encodeName(dir.path()) + "/K\xe4talog.bvk";
    ASSERT_EQ(::rename(QFile::encodeName(makeCatalog({source}, path("sicherung"))).constData(),
                       latin1.constData()),
              0);
    QByteArray program("bravel"), catalog(latin1), marker("/open/");
    char* argv[] = {program.data(), catalog.data(), marker.data(), nullptr};
    setStartCommand(argumentsOf(3, argv));

    frm_main window;
    ASSERT_TRUE(window.load());
    ASSERT_TRUE(gDBOpen);
    EXPECT_EQ(window.controller().model().rowCount(), 1);
    EXPECT_EQ(fs::encodeName(gDB.Access->name()), latin1);
    EXPECT_EQ(fs::encodeName(gRecentCatalogs[0]), latin1)
        << "the recent list has it as long as the program runs";
}

}  // namespace

namespace {

TEST_F(MainWindowTest, ACommandLineFileWhoseNameIsNoTextIsRecordedAndNotAdded) {
    const QString good = path("gut.txt");
    test::writeFile(good, "gut");
    const QByteArray latin1 = QFile::encodeName(dir.path()) +
                              "/Gr\xfc\xdf"
                              "e.txt";
    ASSERT_EQ(::rename(QFile::encodeName(good).constData(), latin1.constData()), 0);
    test::writeFile(good, "gut");
    QDir().mkpath(path("ziel"));
    const QString catalog = makeCatalog({}, QString());
    writeSetting(keys::setup_chk_autostart, QString("1"));
    writeSetting(keys::setup_txt_autostart, catalog);
    writeSetting(keys::setup_txt_StandardSicherungsverzeichnis, path("ziel"));
    QByteArray program("bravel"), odd(latin1), plain(QFile::encodeName(good));
    char* argv[] = {program.data(), odd.data(), plain.data(), nullptr};
    setStartCommand(argumentsOf(3, argv));

    frm_main window;
    EXPECT_FALSE(window.load());
    window.controller().closeCatalog();
    auto db = CatalogDatabase::open(catalog);
    auto rset = db->OpenRecordset("SELECT FILES.* FROM FILES");
    EXPECT_EQ(rset->RecordCount(), 1) << "its bytes cannot be kept in the catalog";
    rset->MoveFirst();
    QVariant value;
    rset->Field("Eingangsdatei", value);
    EXPECT_EQ(value.toString(), good);
    rset->Close();
    db->Close();
    bool recorded = false;
    for (int i = 1; i <= gErrorStack.Count(); ++i)
        recorded |=
            gErrorStack.Item(i)->ErrEvent() ==
            "Name ist kein Text und wird nicht aufgenommen: '" + dir.path() + "/Gr\\xFC\\xDFe.txt'";
    EXPECT_TRUE(recorded);
}

}  // namespace
