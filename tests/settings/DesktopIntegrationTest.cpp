#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include "TestSupport.h"
#include "errors/COLError.h"
#include "platform/CatalogDatabase.h"
#include "platform/ProgramResources.h"
#include "settings/DesktopIntegration.h"

using namespace bravel;

namespace {

// Reads an Exec value the way a launcher does: the string escapes first, then the quoting.
QStringList execArguments(const QString& value) {
    QString unescaped;
    for (int i = 0; i < value.size(); ++i) {
        if (value[i] == QLatin1Char('\\') && i + 1 < value.size()) {
            const QChar next = value[++i];
            unescaped += next == QLatin1Char('n')   ? QChar('\n')
                         : next == QLatin1Char('t') ? QChar('\t')
                         : next == QLatin1Char('s') ? QChar(' ')
                                                    : next;
        } else {
            unescaped += value[i];
        }
    }
    QStringList arguments;
    QString current;
    bool quoted = false, inWord = false;
    for (int i = 0; i < unescaped.size(); ++i) {
        const QChar c = unescaped[i];
        if (quoted) {
            if (c == QLatin1Char('\\') && i + 1 < unescaped.size())
                current += unescaped[++i];
            else if (c == QLatin1Char('"'))
                quoted = false;
            else
                current += c;
        } else if (c == QLatin1Char('"')) {
            quoted = inWord = true;
        } else if (c == QLatin1Char(' ')) {
            if (inWord) arguments << current;
            current.clear();
            inWord = false;
        } else {
            current += c;
            inWord = true;
        }
    }
    if (inWord) arguments << current;
    for (QString& argument : arguments)
        if (argument != QLatin1String("%f") && argument != QLatin1String("%F"))
            argument.replace(QStringLiteral("%%"), QStringLiteral("%"));
    return arguments;
}

QString keyValue(const QString& file, const QString& key) {
    for (const QString& line : QString::fromUtf8(test::readFile(file)).split(QLatin1Char('\n')))
        if (line.startsWith(key + QLatin1Char('='))) return line.mid(key.size() + 1);
    return {};
}

struct ToolRun {
    int exitCode = -1;
    QString output;
};

ToolRun runTool(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    // GIO's answers are read in English.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "C.UTF-8");
    process.setProcessEnvironment(environment);
    process.start(QStandardPaths::findExecutable(tool), arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAll())};
}

bool installed(const QString& tool) {
    return !QStandardPaths::findExecutable(tool).isEmpty();
}

// The key=value lines of a key file's group, in order.
QStringList groupLines(const QString& text, const QString& group) {
    QStringList lines;
    bool inGroup = false;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('[')))
            inGroup = line == QLatin1Char('[') + group + QLatin1Char(']');
        else if (inGroup && line.contains(QLatin1Char('=')))
            lines << line;
    }
    return lines;
}

// Every file below folder with its contents, for comparing a tree before and after.
QMap<QString, QByteArray> snapshot(const QString& folder) {
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(path.mid(folder.size()), test::readFile(path));
    }
    return files;
}

// GIO's answer for a file's type and its icon names, as a GIO file manager sees them.
QString gioAttribute(const QString& file, const QString& attribute) {
    const ToolRun run = runTool("gio", {"info", "-a", attribute, file});
    for (const QString& line : run.output.split(QLatin1Char('\n')))
        if (line.trimmed().startsWith(attribute + QLatin1Char(':')))
            return line.trimmed().mid(attribute.size() + 1).trimmed();
    return run.output;
}

// The default application that GIO names for a type ("" for none).
QString gioDefault(const QString& mimeType) {
    const ToolRun run = runTool("gio", {"mime", mimeType});
    const QString first = run.output.section(QLatin1Char('\n'), 0, 0);
    if (!first.startsWith("Default application")) return QString();
    return first.section(QLatin1Char(':'), 1).trimmed();
}

// Each test gets its own data and config homes; the ones of the test program come back after.
class DesktopIntegrationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetAll();
        ASSERT_TRUE(home.isValid());
        savedData = qgetenv("XDG_DATA_HOME");
        savedConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.path() + "/data"));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + "/config"));
        // A program folder with blanks and characters a shell or launcher would take apart.
        programFolder = home.path() + "/Meine Programme/Bravel $HOME \"1\" 100%";
        QDir().mkpath(programFolder);
        program = programFolder + "/bravel";
        argumentsLog = home.path() + "/arguments.txt";
        // A stand-in for the program that notes each argument it was started with on a line.
        test::writeFile(
            program,
            QStringLiteral("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '%1'\n")
                .arg(argumentsLog)
                .toUtf8());
        QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner);
    }
    void TearDown() override {
        qputenv("XDG_DATA_HOME", savedData);
        qputenv("XDG_CONFIG_HOME", savedConfig);
    }

    // GLib looks for the program before it undoes the "%%" of a literal "%", so what GIO is to
    // launch or name as a default gets a folder without one; the quoting of "%" is checked apart.
    void useProgramGioFinds() {
        const QString folder = home.path() + "/Programme mit Blanks/$HOME \"x\" \\ `y`";
        QDir().mkpath(folder);
        ASSERT_TRUE(QFile::copy(program, folder + "/bravel"));
        program = folder + "/bravel";
    }

    QStringList loggedArguments() {
        for (int i = 0; i < 100 && !QFile::exists(argumentsLog); ++i) QThread::msleep(50);
        QThread::msleep(50);
        QStringList lines =
            QString::fromUtf8(test::readFile(argumentsLog)).split(QLatin1Char('\n'));
        if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
        return lines;
    }

    QTemporaryDir home;
    QByteArray savedData, savedConfig;
    QString programFolder, program, argumentsLog;
};

TEST_F(DesktopIntegrationTest, FilesGoUnderTheDataHomeAndTheProgramIsBravelBesideTheRunningOne) {
    EXPECT_EQ(desktop::dataHome(), home.path() + "/data");
    EXPECT_EQ(desktop::mimePackagePath(), home.path() + "/data/mime/packages/quillfen-bravel.xml");
    EXPECT_EQ(desktop::mimeAppsListPath(), home.path() + "/config/mimeapps.list");
    EXPECT_EQ(desktop::programPath(), QCoreApplication::applicationDirPath() + "/bravel");
    qputenv("XDG_DATA_HOME", "");
    EXPECT_EQ(desktop::dataHome(), QDir::homePath() + "/.local/share");
}

TEST_F(DesktopIntegrationTest, TheAssociationMakesBvkItsOwnTypeOpenedWithTheFileAndOpenMarker) {
    ASSERT_TRUE(desktop::gSetFileAssociation("Quillfen Bravelcraft Catalogue File", program,
                                             "Bravel", "bvk"));

    const QString package = QString::fromUtf8(test::readFile(desktop::mimePackagePath()));
    EXPECT_TRUE(package.contains("<mime-type type=\"application/x-bravel\">"));
    EXPECT_TRUE(package.contains("<comment>Quillfen Bravelcraft Catalogue File</comment>"));
    EXPECT_TRUE(package.contains("<glob pattern=\"*.bvk\"/>"));

    const QString entry = desktop::openEntryPath();
    EXPECT_EQ(keyValue(entry, "MimeType"), "application/x-bravel;");
    EXPECT_EQ(execArguments(keyValue(entry, "Exec")), (QStringList{program, "%f", "/open/"}));
    EXPECT_EQ(keyValue(desktop::mimeAppsListPath(), "application/x-bravel"),
              "quillfen-bravel.desktop");
}

TEST_F(DesktopIntegrationTest, TheDesktopToolsAcceptTheFilesAndNameOurTypeForACatalog) {
    useProgramGioFinds();
    ASSERT_TRUE(desktop::gSetFileAssociation("Quillfen Bravelcraft Catalogue File", program,
                                             "Bravel", "bvk"));
    ASSERT_TRUE(desktop::gSetContextMenu("zu Bravel hinzufügen...", program));

    if (!installed("desktop-file-validate"))
        GTEST_SKIP() << "desktop-file-validate is not installed";
    const ToolRun validation = runTool("desktop-file-validate", {desktop::openEntryPath()});
    EXPECT_EQ(validation.exitCode, 0) << validation.output.toStdString();
    EXPECT_FALSE(validation.output.contains("error", Qt::CaseInsensitive))
        << validation.output.toStdString();

    if (!installed("update-mime-database")) GTEST_SKIP() << "update-mime-database is not installed";
    const ToolRun update = runTool("update-mime-database", {"-V", desktop::dataHome() + "/mime"});
    EXPECT_EQ(update.exitCode, 0) << update.output.toStdString();
    EXPECT_FALSE(update.output.contains("error", Qt::CaseInsensitive))
        << update.output.toStdString();
    EXPECT_TRUE(test::readFile(desktop::dataHome() + "/mime/globs2")
                    .contains("application/x-bravel:*.bvk"));

    // What a desktop does with a real catalog: GIO reads the shared-mime-info database and the
    // default from mimeapps.list, where xdg-mime without a desktop session would ask `file`.
    if (!installed("gio")) GTEST_SKIP() << "gio (libglib2.0-bin) is not installed";
    const QString catalog = home.path() + "/Mein Katalog.bvk";
    CatalogDatabase::create(catalog)->Close();
    EXPECT_EQ(gioAttribute(catalog, "standard::content-type"), "application/x-bravel");
    EXPECT_TRUE(gioAttribute(catalog, "standard::icon").startsWith("application-x-bravel"))
        << gioAttribute(catalog, "standard::icon").toStdString();
    EXPECT_EQ(gioDefault("application/x-bravel"), "quillfen-bravel.desktop");
}

TEST_F(DesktopIntegrationTest, TheContextEntryNeverBecomesTheHandlerOfOtherFiles) {
    // The desktop entry an older version wrote for every file goes when the entry is written again.
    test::writeFile(desktop::oldContextEntryPath(),
                    "[Desktop Entry]\nType=Application\nName=alt\nExec=bravel %F\n"
                    "MimeType=application/octet-stream;\nNoDisplay=true\n");
    ASSERT_TRUE(desktop::gSetContextMenu("zu Bravel hinzufügen...", program));
    ASSERT_TRUE(desktop::gSetFileAssociation("Quillfen Bravelcraft Catalogue File", program,
                                             "Bravel", "bvk"));
    EXPECT_FALSE(QFile::exists(desktop::oldContextEntryPath()));
    const QStringList entries =
        QDir(desktop::dataHome() + "/applications").entryList({"*.desktop"}, QDir::Files);
    EXPECT_EQ(entries, QStringList{"quillfen-bravel.desktop"});
    EXPECT_EQ(keyValue(desktop::openEntryPath(), "MimeType"), "application/x-bravel;");

    if (!installed("gio")) GTEST_SKIP() << "gio (libglib2.0-bin) is not installed";
    const QString unknown = home.path() + "/unbekannt.xyz";
    test::writeFile(unknown, QByteArray("\x01\x02\x03\x00binary", 10));
    const QString unknownType = gioAttribute(unknown, "standard::content-type");
    for (const QString& type :
         {unknownType, QStringLiteral("application/octet-stream"), QStringLiteral("text/plain")}) {
        const ToolRun handlers = runTool("gio", {"mime", type});
        EXPECT_FALSE(handlers.output.contains("quillfen"))
            << type.toStdString() << ": " << handlers.output.toStdString();
    }
}

TEST_F(DesktopIntegrationTest, TheUsersEntryTakesTheInstalledOnesPlaceWithItsOwnProgram) {
    ASSERT_TRUE(desktop::gSetFileAssociation("Quillfen Bravelcraft Catalogue File", program,
                                             "Bravel", "bvk"));
    // Same file name as the installed entry: the user's copy hides it instead of standing beside
    // it.
    EXPECT_EQ(QFileInfo(desktop::openEntryPath()).fileName(), "quillfen-bravel.desktop");
    const QString installed = QString::fromUtf8(resourceBytes(kDesktopEntryResource));
    const QString written = QString::fromUtf8(test::readFile(desktop::openEntryPath()));
    ASSERT_FALSE(installed.isEmpty());
    QStringList expected = groupLines(installed, "Desktop Entry");
    QStringList actual = groupLines(written, "Desktop Entry");
    EXPECT_EQ(expected.filter(QRegularExpression("^Exec=")), QStringList{"Exec=bravel %f /open/"});
    expected.removeIf([](const QString& line) { return line.startsWith("Exec="); });
    actual.removeIf([](const QString& line) { return line.startsWith("Exec="); });
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(keyValue(desktop::openEntryPath(), "Icon"), "quillfen-bravel");

    // The icons the entry and the type name are there for the user, as compiled into the program.
    EXPECT_EQ(test::readFile(desktop::iconPath("apps", kProgramIconName)),
              resourceBytes(iconResource(kProgramIconName)));
    EXPECT_EQ(test::readFile(desktop::iconPath("mimetypes", kCatalogIconName)),
              resourceBytes(iconResource(kCatalogIconName)));
    EXPECT_TRUE(QString::fromUtf8(test::readFile(desktop::mimePackagePath()))
                    .contains("<icon name=\"application-x-bravel\"/>"));
    EXPECT_FALSE(programIcon().pixmap(32, 32).isNull());
}

TEST_F(DesktopIntegrationTest, RemovingTakesBackExactlyWhatWasWrittenAndKeepsTheRest) {
    useProgramGioFinds();
    // What the user had before: other defaults, a script and an entry of their own.
    const QString mimeApps =
        "[Added Associations]\ntext/plain=gedit.desktop;\n\n"
        "[Default Applications]\ntext/plain=gedit.desktop\nimage/png=eog.desktop\n";
    test::writeFile(desktop::mimeAppsListPath(), mimeApps.toUtf8());
    QDir().mkpath(desktop::nautilusScriptsFolder());
    test::writeFile(desktop::nautilusScriptsFolder() + "/Fremdes Skript",
                    "#!/bin/sh\necho fremd\n");
    test::writeFile(desktop::dataHome() + "/applications/fremd.desktop",
                    "[Desktop Entry]\nType=Application\nName=Fremd\nExec=fremd\n");
    const auto generated = [](const QString& path) {
        // The databases the desktop tools build from the files.
        return (path.startsWith("/data/mime/") && !path.startsWith("/data/mime/packages/")) ||
               path == "/data/applications/mimeinfo.cache";
    };
    auto withoutGenerated = [&](QMap<QString, QByteArray> files) {
        files.removeIf([&](const auto& file) { return generated(file.key()); });
        return files;
    };
    const auto before = withoutGenerated(snapshot(home.path()));

    ASSERT_TRUE(desktop::gSetFileAssociation("Quillfen Bravelcraft Catalogue File", program,
                                             "Bravel", "bvk"));
    ASSERT_TRUE(desktop::gSetContextMenu("zu Bravel hinzufügen...", program));
    test::writeFile(desktop::oldContextEntryPath(),
                    "[Desktop Entry]\nMimeType=application/octet-stream;\n");
    EXPECT_GE(withoutGenerated(snapshot(home.path())).size(), before.size() + 7);

    ASSERT_TRUE(desktop::gRemoveDesktopIntegration("Bravel"));
    EXPECT_EQ(withoutGenerated(snapshot(home.path())), before);
    EXPECT_EQ(QString::fromUtf8(test::readFile(desktop::mimeAppsListPath())), mimeApps);
    if (installed("gio")) {
        EXPECT_EQ(gioDefault("application/x-bravel"), "");
    }
    EXPECT_FALSE(
        test::readFile(desktop::dataHome() + "/mime/globs2").contains("application/x-bravel"));

    // A default the user has since given to another program is theirs and stays.
    const QString changed = "[Default Applications]\napplication/x-bravel=anders.desktop\n";
    test::writeFile(desktop::mimeAppsListPath(), changed.toUtf8());
    ASSERT_TRUE(desktop::gRemoveDesktopIntegration("Bravel"));
    EXPECT_EQ(QString::fromUtf8(test::readFile(desktop::mimeAppsListPath())), changed);
}

TEST_F(DesktopIntegrationTest, TheNemoActionStartsTheProgramWithTheChosenFiles) {
    ASSERT_TRUE(desktop::gSetContextMenu("zu Bravel hinzufügen...", program));
    const QString action = desktop::nemoActionPath();
    EXPECT_EQ(keyValue(action, "Name"), "zu Bravel hinzufügen...");
    EXPECT_EQ(keyValue(action, "Selection"), "notnone");
    // Nemo puts in the files quoted for a shell and splits the line as a shell does.
    const QString file = home.path() + "/Datei mit 'Quote' und $x.txt";
    QString command = keyValue(action, "Exec").replace("\\\\", "\\");
    ASSERT_TRUE(command.endsWith(" %F"));
    command.replace(
        "%F", desktop::quoteShellWord(file) + " " + desktop::quoteShellWord("/tmp/zweite Datei"));
    QProcess::execute("/bin/sh", {"-c", command});
    EXPECT_EQ(loggedArguments(), (QStringList{file, "/tmp/zweite Datei"}));
}

TEST_F(DesktopIntegrationTest, TheThunarActionJoinsTheUsersActionsAndLeavesThemAsTheyWere) {
    const QString foreign =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n<action>\n"
        "\t<name>Terminal hier</name>\n\t<unique-id>1234-1</unique-id>\n"
        "\t<command>xterm %f</command>\n</action>\n</actions>\n";
    test::writeFile(desktop::thunarActionsPath(), foreign.toUtf8());
    ASSERT_TRUE(desktop::gSetContextMenu("Alt", program));
    ASSERT_TRUE(desktop::gSetContextMenu("zu Bravel <hinzufügen> & mehr", program));
    const QString list = QString::fromUtf8(test::readFile(desktop::thunarActionsPath()));
    EXPECT_EQ(list.count("<unique-id>quillfen-bravel</unique-id>"), 1) << list.toStdString();
    EXPECT_TRUE(list.contains("<name>zu Bravel &lt;hinzufügen&gt; &amp; mehr</name>"))
        << list.toStdString();
    EXPECT_TRUE(list.startsWith(foreign.left(foreign.indexOf("</actions>")))) << list.toStdString();
    EXPECT_TRUE(list.endsWith("</action>\n</actions>\n"));

    // Thunar puts in the files quoted for a shell and splits the line as a shell does.
    QString command = list.section("<command>", 2, 2).section("</command>", 0, 0);
    command.replace("&quot;", "\"").replace("&lt;", "<").replace("&gt;", ">").replace("&amp;", "&");
    const QString file = home.path() + "/Datei mit 'Quote' und $x.txt";
    command.replace("%F", desktop::quoteShellWord(file));
    QProcess::execute("/bin/sh", {"-c", command});
    EXPECT_EQ(loggedArguments(), QStringList{file});

    ASSERT_TRUE(desktop::gRemoveDesktopIntegration("Bravel"));
    EXPECT_EQ(QString::fromUtf8(test::readFile(desktop::thunarActionsPath())), foreign);
}

TEST_F(DesktopIntegrationTest, OpeningACatalogStartsTheProgramWithThePathAndOpenMarker) {
    if (!installed("gio")) GTEST_SKIP() << "gio is not installed to launch the entry";
    useProgramGioFinds();
    ASSERT_TRUE(desktop::gSetFileAssociation("Quillfen Bravelcraft Catalogue File", program,
                                             "Bravel", "bvk"));
    const QString catalog = home.path() + "/Katalog mit Blanks.bvk";
    test::writeFile(catalog, "x");
    const ToolRun launch = runTool("gio", {"launch", desktop::openEntryPath(), catalog});
    ASSERT_EQ(launch.exitCode, 0) << launch.output.toStdString();
    EXPECT_EQ(loggedArguments(), (QStringList{catalog, "/open/"}));
}

TEST_F(DesktopIntegrationTest, TheContextEntriesStartTheProgramWithTheChosenFiles) {
    ASSERT_TRUE(desktop::gSetContextMenu("  zu Bravel hinzufügen...  ", program));
    const QString serviceMenu = QString::fromUtf8(test::readFile(desktop::serviceMenuPath()));
    EXPECT_TRUE(serviceMenu.contains("MimeType=all/allfiles;"));
    EXPECT_TRUE(serviceMenu.contains("Name=zu Bravel hinzufügen..."));
    EXPECT_EQ(execArguments(keyValue(desktop::serviceMenuPath(), "Exec")),
              (QStringList{program, "%F"}));
    EXPECT_TRUE(QFileInfo(desktop::serviceMenuPath()).isExecutable());

    // The Nautilus script is named by the text and hands on every selected file.
    const QString script = desktop::nautilusScriptsFolder() + "/zu Bravel hinzufügen...";
    ASSERT_TRUE(QFileInfo(script).isExecutable());
    const QString file = home.path() + "/Datei mit 'Quote' und $x.txt";
    QProcess::execute(script, {file, "/tmp/zweite Datei"});
    EXPECT_EQ(loggedArguments(), (QStringList{file, "/tmp/zweite Datei"}));
}

TEST_F(DesktopIntegrationTest, ARenamedContextEntryReplacesTheOldScriptAndKeepsOthers) {
    QDir().mkpath(desktop::nautilusScriptsFolder());
    test::writeFile(desktop::nautilusScriptsFolder() + "/Fremdes Skript",
                    "#!/bin/sh\necho fremd\n");
    ASSERT_TRUE(desktop::gSetContextMenu("Alt", program));
    ASSERT_TRUE(desktop::gSetContextMenu("Neu/mit Strich", program));
    QStringList scripts = QDir(desktop::nautilusScriptsFolder()).entryList(QDir::Files);
    scripts.sort();
    EXPECT_EQ(scripts, (QStringList{"Fremdes Skript", "Neu-mit Strich"}));
    EXPECT_EQ(keyValue(desktop::serviceMenuPath(), "Name"), "Neu/mit Strich");
}

TEST_F(DesktopIntegrationTest, TheDefaultGoesIntoAnExistingListWithoutLosingItsLines) {
    test::writeFile(desktop::mimeAppsListPath(),
                    "[Added Associations]\ntext/plain=gedit.desktop;\n\n"
                    "[Default Applications]\ntext/plain=gedit.desktop\n"
                    "application/x-bravel=alt.desktop\n");
    ASSERT_TRUE(desktop::gSetFileAssociation("Quillfen Bravelcraft Catalogue File", program,
                                             "Bravel", "bvk"));
    EXPECT_EQ(QString::fromUtf8(test::readFile(desktop::mimeAppsListPath())),
              "[Added Associations]\ntext/plain=gedit.desktop;\n\n"
              "[Default Applications]\ntext/plain=gedit.desktop\n"
              "application/x-bravel=quillfen-bravel.desktop\n");
    EXPECT_EQ(desktop::setKeyFileValue("[A]\nx=1\n\n[B]\ny=2\n", "A", "z", "3"),
              "[A]\nx=1\nz=3\n\n[B]\ny=2\n");
    EXPECT_EQ(desktop::setKeyFileValue("", "Default Applications", "k", "v"),
              "[Default Applications]\nk=v\n");
}

TEST_F(DesktopIntegrationTest, TheButtonsShowTheirMessagesAlsoWhenAFileCannotBeWritten) {
    but_SetKontextMenu_Click("  zu Bravel hinzufügen...  ");
    ASSERT_EQ(test::scriptedDialogs().messages.size(), 1u);
    EXPECT_EQ(test::scriptedDialogs().messages[0].text,
              "'zu Bravel hinzufügen...' erfolgreich in das Kontextmenu für Dateien aufgenommen.");
    EXPECT_EQ(test::scriptedDialogs().messages[0].icon, MsgIcon::Information);

    // The data home is a file: nothing can be written, the message comes all the same and the
    // failure is in the error stack.
    test::writeFile(home.path() + "/blocked", "");
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path() + "/blocked"));
    gErrorStack.Clear();
    but_SetExtension2Registry_Click();
    ASSERT_GE(gErrorStack.Count(), 1);
    EXPECT_EQ(gErrorStack.Item(1)->ErrModul(), "b_gSetFileAssociation");
    ASSERT_EQ(test::scriptedDialogs().messages.size(), 2u);
    EXPECT_EQ(test::scriptedDialogs().messages[1].text, "Endung 'bvk' erfolgreich assoziiert.");
    EXPECT_EQ(test::scriptedDialogs().messages[1].caption,
              QFileInfo(QCoreApplication::applicationFilePath()).fileName());

    but_RemoveDesktopEntries_Click();
    ASSERT_EQ(test::scriptedDialogs().messages.size(), 3u);
    EXPECT_EQ(test::scriptedDialogs().messages[2].text, "Desktop-Einträge erfolgreich entfernt.");
    EXPECT_EQ(test::scriptedDialogs().messages[2].icon, MsgIcon::Information);
}

}  // namespace
