// The real program started to add a file to its autostart catalog ends by itself; it must end
// cleanly, with the entry written, also when the catalog is still open at the end of Main.
#include <QProcess>

#include "FaultSupport.h"

namespace bravel::test {
namespace {

class ProgramEndTest : public FaultTest {};

TEST_F(ProgramEndTest, AnAddModeStartEndsWithoutACrashAndTheEntryIsThere) {
    const QString home = path(QStringLiteral("home"));
    for (const char* sub : {"cfg/quillfen", "data", "run"})
        QDir().mkpath(home + QLatin1Char('/') + QLatin1String(sub));
    QFile::setPermissions(home + QStringLiteral("/run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    openCatalog({});
    controller->closeCatalog();
    const QString backup = path(QStringLiteral("b"));
    const QString file = source(QStringLiteral("neu mit Blank.txt"));
    ASSERT_TRUE(writeFile(
        home + QStringLiteral("/cfg/quillfen/bravel.ini"),
        (QStringLiteral("[bravel]\nsetup_chk_autostart=1\nsetup_txt_autostart=") + catalog +
         QStringLiteral("\nsetup_txt_standardsicherungsverzeichnis=") + backup + QLatin1Char('\n'))
            .toUtf8()));

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/cfg"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/run"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(QStringLiteral(BRAVEL_BINARY), {file});
    ASSERT_TRUE(program.waitForStarted(10000));
    ASSERT_TRUE(program.waitForFinished(60000));
    const QString output = QString::fromUtf8(program.readAll());
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << output.toStdString();
    EXPECT_EQ(program.exitCode(), 0) << output.toStdString();

    const std::vector<StoredRecord> stored = storedRecords();
    ASSERT_EQ(stored.size(), 1u) << output.toStdString();
    EXPECT_EQ(stored[0].source, file);
    EXPECT_EQ(stored[0].folder, backup);
    EXPECT_EQ(integrityCheck(), QStringLiteral("ok"));
}

}  // namespace
}  // namespace bravel::test
