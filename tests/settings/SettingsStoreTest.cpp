// The settings store through the program's own readers and writers, against the real INI file
// in the test's temporary XDG_CONFIG_HOME.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "TestSupport.h"
#include "platform/Err.h"
#include "platform/SettingsStore.h"
#include "settings/SettingKeys.h"
#include "settings/Settings.h"

using namespace bravel;

namespace {

QString iniPath() {
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/quillfen/bravel.ini");
}

// Puts a settings file in place as another program run (or a person with an editor) left it.
void placeIniFile(const QByteArray& content) {
    ASSERT_TRUE(test::writeFile(iniPath(), content));
    // QSettings rereads a file only when its size or time changed; files placed within the same
    // millisecond would look alike.
    static QDateTime stamp = QDateTime::currentDateTime().addDays(-1);
    stamp = stamp.addSecs(1);
    QFile file(iniPath());
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(stamp, QFileDevice::FileModificationTime));
    file.close();
    settingsstore::reset();
}

QString get(const QString& key, const QString& defaultValue = QString()) {
    return GetSetting(kSettingsApp, kSettingsSection, key, defaultValue);
}

bool save(const QString& key, const QString& value) {
    return SaveSetting(kSettingsApp, kSettingsSection, key, value);
}

}  // namespace

class SettingsStoreTest : public ::testing::Test {
  protected:
    void SetUp() override { test::resetAll(); }
    void TearDown() override {
        // A test may have left a folder or a locked file where the INI belongs.
        QFile::setPermissions(iniPath(), QFile::ReadOwner | QFile::WriteOwner);
        QDir(iniPath()).removeRecursively();
        QFile::remove(iniPath());
    }
};

TEST_F(SettingsStoreTest, WritesLowerCaseKeysIntoGroupBravelOfTheConfigFile) {
    EXPECT_EQ(settingsstore::filePath(kSettingsApp), iniPath());
    ASSERT_TRUE(writeSetting(keys::recentWriteKey(3), QStringLiteral("/home/anna/Fotos.bvk")));
    ASSERT_TRUE(writeSetting(keys::setup_chk_ShowStatus, QStringLiteral("1")));

    const QString content = QString::fromUtf8(test::readFile(iniPath()));
    EXPECT_TRUE(content.contains(QStringLiteral("[bravel]"))) << content.toStdString();
    EXPECT_TRUE(content.contains(QStringLiteral("recent3=/home/anna/Fotos.bvk")));
    EXPECT_TRUE(content.contains(QStringLiteral("setup_chk_showstatus=1")));
    EXPECT_FALSE(content.contains(QStringLiteral("Show"))) << "no key keeps its capitals";
}

TEST_F(SettingsStoreTest, KeysMatchInAnyCaseAcrossProgramRuns) {
    ASSERT_TRUE(writeSetting(keys::recentWriteKey(3), QStringLiteral("/daten/Katalog.bvk")));
    EXPECT_EQ(readText(keys::recentReadKey(3)), "/daten/Katalog.bvk");

    settingsstore::reset();  // the next program run reads the file anew
    EXPECT_EQ(readText(keys::recentReadKey(3)), "/daten/Katalog.bvk");
    EXPECT_EQ(get(QStringLiteral("RECENT3")), "/daten/Katalog.bvk");
    EXPECT_EQ(readText(keys::recentReadKey(4)), "") << "another slot stays empty";

    // A key written in one case and then in another is one value, not two.
    ASSERT_TRUE(save(QStringLiteral("Main_Width"), QStringLiteral("8000")));
    ASSERT_TRUE(save(QStringLiteral("main_width"), QStringLiteral("9000")));
    EXPECT_EQ(get(QStringLiteral("MAIN_WIDTH")), "9000");
}

TEST_F(SettingsStoreTest, AbsentKeyGivesTheReadersDefaultWithoutStoringIt) {
    EXPECT_EQ(readText(keys::main_width), "9345");
    EXPECT_EQ(readText(keys::setup_txt_AutoUpdate), "1000");
    EXPECT_EQ(readText(keys::setup_txt_AutoUpdate,
                       QString::fromLatin1(keys::kAutoUpdateDefaultWhenApplyingSetup)),
              "200");
    EXPECT_EQ(readNumber(keys::choosedir_width), 4200);
    EXPECT_EQ(readText(keys::columnWidthKey(2)), "2000");
    EXPECT_EQ(readText(keys::columnWidthKey(3)), "500");
    EXPECT_FALSE(QFile::exists(iniPath())) << "reading never writes";

    // Once a value is stored, both readers see it whatever default they pass.
    ASSERT_TRUE(writeSetting(keys::setup_txt_AutoUpdate, qint64(750)));
    EXPECT_EQ(readText(keys::setup_txt_AutoUpdate), "750");
    EXPECT_EQ(readText(keys::setup_txt_AutoUpdate, QStringLiteral("200")), "750");
    EXPECT_FALSE(test::readFile(iniPath()).contains("main_width")) << "defaults are not stored";
}

TEST_F(SettingsStoreTest, ClearingWritesTheEmptyTextAndTheKeyRemains) {
    ASSERT_TRUE(writeSetting(keys::recentWriteKey(1), QStringLiteral("/a.bvk")));
    ASSERT_TRUE(writeSetting(keys::recentWriteKey(1), QString()));
    EXPECT_EQ(readText(keys::recentReadKey(1), QStringLiteral("vorgabe")), "")
        << "an empty stored text is a value, not an absent key";
    EXPECT_TRUE(test::readFile(iniPath()).contains("recent1="));
}

TEST_F(SettingsStoreTest, TextsSurviveCommasBlanksQuotesAndUmlauts) {
    const QStringList values = {
        QStringLiteral("/home/anna/Briefe, alt/Katalog.bvk"),
        QStringLiteral("1;2;3;4;5;6;7;8;9"),
        QStringLiteral("  eingerückt  "),
        QStringLiteral("\"zitiert\" = und \\ Rückstrich"),
        QStringLiteral("@Variant(keine)"),
        QStringLiteral("Grüße, Ölmühle; Straße"),
    };
    for (int i = 0; i < values.size(); ++i)
        ASSERT_TRUE(save(QStringLiteral("wert%1").arg(i), values[i]));
    settingsstore::reset();
    for (int i = 0; i < values.size(); ++i)
        EXPECT_EQ(get(QStringLiteral("Wert%1").arg(i)), values[i]) << values[i].toStdString();
}

TEST_F(SettingsStoreTest, EmptyGarbageOrUnreadableFileGivesDefaults) {
    placeIniFile(QByteArray());
    EXPECT_EQ(readText(keys::main_height), "5700");
    qint64 colour = 0;
    EXPECT_TRUE(readInteger(keys::main_lbl_caption_backcolor, colour));
    EXPECT_EQ(colour, 16744576);

    QByteArray garbage;
    for (int i = 0; i < 4096; ++i) garbage.append(static_cast<char>((i * 7919 + 13) % 256));
    placeIniFile(garbage);
    EXPECT_EQ(readText(keys::main_height), "5700");
    EXPECT_EQ(readText(keys::recentReadKey(1)), "");

    // A folder in the file's place cannot be read by anyone, not even by root.
    QFile::remove(iniPath());
    ASSERT_TRUE(QDir().mkpath(iniPath()));
    settingsstore::reset();
    EXPECT_EQ(readText(keys::main_height), "5700");
    EXPECT_FALSE(writeSetting(keys::main_height, qint64(6000)));
    EXPECT_GT(Err.Number, 0) << "a failed write is the calling routine's error";
}

TEST_F(SettingsStoreTest, FileWithAnUnparsableLineStillTakesWrites) {
    placeIniFile("[bravel]\nmain_width=8000\ndiese Zeile hat kein Gleichheitszeichen\n");
    EXPECT_EQ(readText(keys::main_width), "8000") << "the good lines are read";
    EXPECT_TRUE(writeSetting(keys::main_height, qint64(6000)));
    EXPECT_EQ(Err.Number, 0) << "a write that reached the file is no failure";
    EXPECT_TRUE(writeSetting(keys::main_left, qint64(10)));
    EXPECT_TRUE(test::readFile(iniPath()).contains("main_height=6000"));

    settingsstore::reset();
    EXPECT_EQ(readText(keys::main_width), "8000");
    EXPECT_EQ(readText(keys::main_height), "6000");
    EXPECT_EQ(readText(keys::main_left), "10");

    QByteArray garbage("\x01\x02[\xff\xfe=\x00\x00\n==\n[[[", 15);
    placeIniFile(garbage);
    EXPECT_TRUE(writeSetting(keys::recentWriteKey(1), QStringLiteral("/neu.bvk")));
    settingsstore::reset();
    EXPECT_EQ(readText(keys::recentReadKey(1)), "/neu.bvk");
}

TEST_F(SettingsStoreTest, IntegerReadsFailOnTextsThatAreNoNumber) {
    placeIniFile(
        "[bravel]\n"
        "lst_view=abc\n"
        "lst_color=12abc\n"
        "main_lst_files_sortkey=\n"
        "main_lst_files_sortorder= 1 \n"
        "main_mnu_app_backcolor=4294967295\n");
    int view = 3;
    EXPECT_FALSE(readInteger(keys::lst_view, view));
    EXPECT_EQ(view, 3) << "the target keeps its value";
    EXPECT_EQ(Err.Number, errnum::kTypeMismatch);
    Err.Clear();

    qint64 colour = 16777215;
    EXPECT_FALSE(readInteger(keys::lst_color, colour)) << "a numeric prefix is not enough here";
    EXPECT_EQ(colour, 16777215);
    Err.Clear();

    int sortKey = 4;
    EXPECT_FALSE(readInteger(keys::main_lst_files_sortkey, sortKey)) << "empty text is no number";
    EXPECT_EQ(sortKey, 4);
    Err.Clear();

    int sortOrder = 0;
    EXPECT_TRUE(readInteger(keys::main_lst_files_sortorder, sortOrder));
    EXPECT_EQ(sortOrder, 1);
    EXPECT_EQ(Err.Number, 0);

    int narrow = 7;
    EXPECT_FALSE(readInteger(keys::main_mnu_app_backcolor, narrow)) << "does not fit an int";
    EXPECT_EQ(narrow, 7);
    qint64 wide = 0;
    EXPECT_TRUE(readInteger(keys::main_mnu_app_backcolor, wide));
    EXPECT_EQ(wide, 4294967295LL);
}

TEST_F(SettingsStoreTest, NumberReadsTakeTheNumericPrefix) {
    placeIniFile(
        "[bravel]\n"
        "main_left=1234.9xyz\n"
        "main_top=abc\n"
        "main_width=  8000 \n"
        "main_height=-250\n"
        "choosedir_width=\n");
    EXPECT_DOUBLE_EQ(readNumber(keys::main_left), 1234.9);
    EXPECT_DOUBLE_EQ(readNumber(keys::main_top), 0) << "no numeric prefix reads as 0";
    EXPECT_DOUBLE_EQ(readNumber(keys::main_width), 8000);
    EXPECT_DOUBLE_EQ(readNumber(keys::main_height), -250);
    EXPECT_DOUBLE_EQ(numericPrefix(QString::fromUtf8("\xc2\xa0\t 77.5e1 px")), 775);
    EXPECT_DOUBLE_EQ(numericPrefix(QString::fromUtf8("\xd9\xa1\xd9\xa2")), 0)
        << "digits other than 0 to 9 are no number";
    EXPECT_DOUBLE_EQ(readNumber(keys::choosedir_width), 0) << "a stored empty text is no default";
    EXPECT_DOUBLE_EQ(readNumber(keys::choosedir_height), 4170);
    EXPECT_DOUBLE_EQ(readNumber(keys::choosedir_left, QStringLiteral("2573")), 2573);
    EXPECT_EQ(Err.Number, 0) << "prefix reads never fail";
}

TEST_F(SettingsStoreTest, FlagsMarkedEqualOneAreOnOnlyForTheNumberOne) {
    struct Case {
        const char* stored;
        bool converts;
        bool on;
    };
    const Case cases[] = {{"1", true, true},      {" 1", true, true},   {"1.0", true, true},
                          {"0", true, false},     {"2", true, false},   {"-1", true, false},
                          {"True", false, false}, {"ja", false, false}, {"", false, false}};
    for (const Case& c : cases) {
        placeIniFile(QByteArray("[bravel]\nlst_tooltip=") + c.stored + "\n");
        Err.Clear();
        bool value = !c.on;  // a failed read must leave this untouched
        const bool sentinel = value;
        EXPECT_EQ(readFlagEq1(keys::lst_tooltip, value), c.converts) << c.stored;
        EXPECT_EQ(value, c.converts ? c.on : sentinel) << c.stored;
        EXPECT_EQ(Err.Number, c.converts ? 0 : errnum::kTypeMismatch) << c.stored;
    }
    // Absent: the default "1" of the tooltip flag, "0" of the status flag.
    placeIniFile(QByteArray());
    bool tooltip = false, status = true;
    EXPECT_TRUE(readFlagEq1(keys::lst_tooltip, tooltip));
    EXPECT_TRUE(readFlagEq1(keys::setup_chk_ShowStatus, status));
    EXPECT_TRUE(tooltip);
    EXPECT_FALSE(status);
}

TEST_F(SettingsStoreTest, BooleanFlagsReadNumbersAndBooleanTexts) {
    struct Case {
        const char* stored;
        bool converts;
        bool value;
    };
    const Case cases[] = {{"0", true, false},   {"1", true, true},          {"-1", true, true},
                          {"2", true, true},    {"True", true, true},       {"false", true, false},
                          {"TRUE", true, true}, {"wahrlich", false, false}, {"", false, false}};
    for (const Case& c : cases) {
        placeIniFile(QByteArray("[bravel]\nlst_grid=") + c.stored + "\n");
        Err.Clear();
        bool value = !c.value;
        const bool sentinel = value;
        EXPECT_EQ(readBool(keys::lst_grid, value), c.converts) << c.stored;
        EXPECT_EQ(value, c.converts ? c.value : sentinel) << c.stored;
    }
}

TEST_F(SettingsStoreTest, WrittenFlagsReadBackThroughTheirReaders) {
    ASSERT_TRUE(writeBoolText(keys::setup_opt_AutoCopyAll, true));
    ASSERT_TRUE(writeBoolText(keys::setup_opt_AutoCopyRange, false));
    ASSERT_TRUE(writeCheckBox(keys::setup_chk_autostart, true));
    ASSERT_TRUE(writeCheckBox(keys::chk_SearchInAllCols, false));
    settingsstore::reset();

    bool all = false, range = true, autostart = false, searchAll = true;
    EXPECT_TRUE(readBool(keys::setup_opt_AutoCopyAll, all));
    EXPECT_TRUE(readBool(keys::setup_opt_AutoCopyRange, range));
    EXPECT_TRUE(readFlagEq1(keys::setup_chk_autostart, autostart));
    EXPECT_TRUE(readBool(keys::chk_SearchInAllCols, searchAll));
    EXPECT_TRUE(all);
    EXPECT_FALSE(range);
    EXPECT_TRUE(autostart);
    EXPECT_FALSE(searchAll);
    EXPECT_EQ(readText(keys::setup_chk_autostart), "1") << "check boxes store \"1\"";
}

TEST(SettingsStoreCaseTest, KeysWrittenByHandInAnotherCaseAreFound) {
    bravel::test::resetAll();
    const QString file = bravel::settingsstore::filePath(QStringLiteral("quillfen"));
    ASSERT_TRUE(bravel::test::writeFile(
        file, "[Bravel]\nSetup_Txt_StandardSicherungsverzeichnis=/srv/sicherung\n"));
    bravel::settingsstore::reset();
    EXPECT_EQ(bravel::readText(bravel::keys::setup_txt_StandardSicherungsverzeichnis),
              "/srv/sicherung");
}
