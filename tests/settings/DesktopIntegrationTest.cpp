#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include "TestSupport.h"
#include "errors/COLError.h"
#include "platform/CatalogDatabase.h"
#include "settings/DesktopIntegration.h"

using namespace bravel;

namespace {

// Reads an Exec value the way a launcher does: the string escapes first, then the quoting.
QStringList execArguments(const QString& value) {
    QString unescaped;
    for (int i = 0; i < value.size(); ++i) {
        if (value[i] == QLatin1Char('\\') && i + 1 < value.size()) {
            const QChar next = value[++i];
            unescaped += next == QLatin1Char('n') ? QChar('\n') : next == QLatin1Char('t') ? QChar('\t')
                         : next == QLatin1Char('s') ? QChar(' ') : next;
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
            if (c == QLatin1Char('\\') && i + 1 < unescaped.size()) current += unescaped[++i];
            else if (c == QLatin1Char('"')) quoted = false;
            else current += c;
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
    process.start(QStandardPaths::findExecutable(tool), arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAll())};
}

bool installed(const QString& tool) { return !QStandardPaths::findExecutable(tool).isEmpty(); }

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
        test::writeFile(program, QStringLiteral("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '%1'\n")
                                     .arg(argumentsLog)
                                     .toUtf8());
        QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner);
    }
    void TearDown() override {
        qputenv("XDG_DATA_HOME", savedData);
        qputenv("XDG_CONFIG_HOME", savedConfig);
    }

    QStringList loggedArguments() {
        for (int i = 0; i < 100 && !QFile::exists(argumentsLog); ++i) QThread::msleep(50);
        QThread::msleep(50);
        QStringList lines = QString::fromUtf8(test::readFile(argumentsLog)).split(QLatin1Char('\n'));
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
    ASSERT_TRUE(desktop::gSetFileAssociation("Quillfen Bravelcraft Catalogue File", program, "Bravel", "bvk"));

    const QString package = QString::fromUtf8(test::readFile(desktop::mimePackagePath()));
    EXPECT_TRUE(package.contains("<mime-type type=\"application/x-bravel\">"));
    EXPECT_TRUE(package.contains("<comment>Quillfen Bravelcraft Catalogue File</comment>"));
    EXPECT_TRUE(package.contains("<glob pattern=\"*.bvk\"/>"));

    const QString entry = desktop::openEntryPath();
    EXPECT_EQ(keyValue(entry, "MimeType"), "application/x-bravel;");
    EXPECT_EQ(execArguments(keyValue(entry, "Exec")), (QStringList{program, "%f", "/open/"}));
    EXPECT_EQ(keyValue(desktop::mimeAppsListPath(), "application/x-bravel"), "quillfen-bravel.desktop");
}

TEST_F(DesktopIntegrationTest, TheDesktopToolsAcceptTheFilesAndNameOurTypeForACatalog) {
    ASSERT_TRUE(desktop::gSetFileAssociation("Quillfen Bravelcraft Catalogue File", program, "Bravel", "bvk"));
    ASSERT_TRUE(desktop::gSetContextMenu("zu Bravel hinzufügen...", program));

    if (!installed("desktop-file-validate")) GTEST_SKIP() << "desktop-file-validate is not installed";
    for (const QString& file : {desktop::openEntryPath(), desktop::contextEntryPath()}) {
        const ToolRun run = runTool("desktop-file-validate", {file});
        EXPECT_EQ(run.exitCode, 0) << file.toStdString() << ": " << run.output.toStdString();
        EXPECT_FALSE(run.output.contains("error", Qt::CaseInsensitive)) << run.output.toStdString();
    }

    if (!installed("update-mime-database")) GTEST_SKIP() << "update-mime-database is not installed";
    const ToolRun update = runTool("update-mime-database", {"-V", desktop::dataHome() + "/mime"});
    EXPECT_EQ(update.exitCode, 0) << update.output.toStdString();
    EXPECT_FALSE(update.output.contains("error", Qt::CaseInsensitive)) << update.output.toStdString();
    EXPECT_TRUE(test::readFile(desktop::dataHome() + "/mime/globs2").contains("application/x-bravel:*.bvk"));
    if (installed("update-desktop-database")) {
        EXPECT_TRUE(test::readFile(desktop::dataHome() + "/applications/mimeinfo.cache")
                        .contains("application/x-bravel=quillfen-bravel.desktop"));
    }

    if (!installed("xdg-mime")) GTEST_SKIP() << "xdg-mime is not installed";
    const QString catalog = home.path() + "/Mein Katalog.bvk";
    CatalogDatabase::create(catalog)->Close();
    const ToolRun query = runTool("xdg-mime", {"query", "filetype", catalog});
    EXPECT_EQ(query.output.trimmed(), "application/x-bravel");
    const ToolRun handler = runTool("xdg-mime", {"query", "default", "application/x-bravel"});
    EXPECT_EQ(handler.output.trimmed(), "quillfen-bravel.desktop");
}

TEST_F(DesktopIntegrationTest, OpeningACatalogStartsTheProgramWithThePathAndOpenMarker) {
    if (!installed("gio")) GTEST_SKIP() << "gio is not installed to launch the entry";
    // GLib looks for the program before it undoes the "%%" of a literal "%", so this launcher
    // gets a folder without one; the quoting of "%" is checked above.
    const QString folder = home.path() + "/Programme mit Blanks/$HOME \"x\" \\ `y`";
    QDir().mkpath(folder);
    ASSERT_TRUE(QFile::copy(program, folder + "/bravel"));
    program = folder + "/bravel";
    ASSERT_TRUE(desktop::gSetFileAssociation("Quillfen Bravelcraft Catalogue File", program, "Bravel", "bvk"));
    const QString catalog = home.path() + "/Katalog mit Blanks.bvk";
    test::writeFile(catalog, "x");
    const ToolRun launch = runTool("gio", {"launch", desktop::openEntryPath(), catalog});
    ASSERT_EQ(launch.exitCode, 0) << launch.output.toStdString();
    EXPECT_EQ(loggedArguments(), (QStringList{catalog, "/open/"}));
}

TEST_F(DesktopIntegrationTest, TheContextEntriesStartTheProgramWithTheChosenFiles) {
    ASSERT_TRUE(desktop::gSetContextMenu("  zu Bravel hinzufügen...  ", program));
    EXPECT_EQ(keyValue(desktop::contextEntryPath(), "Name"), "zu Bravel hinzufügen...");
    EXPECT_EQ(execArguments(keyValue(desktop::contextEntryPath(), "Exec")), (QStringList{program, "%F"}));
    const QString serviceMenu = QString::fromUtf8(test::readFile(desktop::serviceMenuPath()));
    EXPECT_TRUE(serviceMenu.contains("MimeType=all/allfiles;"));
    EXPECT_TRUE(serviceMenu.contains("Name=zu Bravel hinzufügen..."));
    EXPECT_EQ(execArguments(keyValue(desktop::serviceMenuPath(), "Exec")), (QStringList{program, "%F"}));
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
    test::writeFile(desktop::nautilusScriptsFolder() + "/Fremdes Skript", "#!/bin/sh\necho fremd\n");
    ASSERT_TRUE(desktop::gSetContextMenu("Alt", program));
    ASSERT_TRUE(desktop::gSetContextMenu("Neu/mit Strich", program));
    QStringList scripts = QDir(desktop::nautilusScriptsFolder()).entryList(QDir::Files);
    scripts.sort();
    EXPECT_EQ(scripts, (QStringList{"Fremdes Skript", "Neu-mit Strich"}));
    EXPECT_EQ(keyValue(desktop::contextEntryPath(), "Name"), "Neu/mit Strich");
}

TEST_F(DesktopIntegrationTest, TheDefaultGoesIntoAnExistingListWithoutLosingItsLines) {
    test::writeFile(desktop::mimeAppsListPath(), "[Added Associations]\ntext/plain=gedit.desktop;\n\n"
                                                 "[Default Applications]\ntext/plain=gedit.desktop\n"
                                                 "application/x-bravel=alt.desktop\n");
    ASSERT_TRUE(desktop::gSetFileAssociation("Quillfen Bravelcraft Catalogue File", program, "Bravel", "bvk"));
    EXPECT_EQ(QString::fromUtf8(test::readFile(desktop::mimeAppsListPath())),
              "[Added Associations]\ntext/plain=gedit.desktop;\n\n"
              "[Default Applications]\ntext/plain=gedit.desktop\n"
              "application/x-bravel=quillfen-bravel.desktop\n");
    EXPECT_EQ(desktop::setKeyFileValue("[A]\nx=1\n\n[B]\ny=2\n", "A", "z", "3"), "[A]\nx=1\nz=3\n\n[B]\ny=2\n");
    EXPECT_EQ(desktop::setKeyFileValue("", "Default Applications", "k", "v"), "[Default Applications]\nk=v\n");
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
    EXPECT_EQ(test::scriptedDialogs().messages[1].caption, QFileInfo(QCoreApplication::applicationFilePath()).fileName());
}

}  // namespace
