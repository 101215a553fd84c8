// What the command line asks for: the forms of the window (plain, open, add), the options of the
// run without a window, and paths taken exactly as given.
#include <gtest/gtest.h>

#include <QDir>

#include "TestSupport.h"
#include "app/CommandLine.h"
#include "base/AppValues.h"
#include "platform/FileSystem.h"

using namespace bravel;

namespace {

CommandLine line(const QStringList& arguments) {
    return interpretCommandLine(arguments);
}

}  // namespace

TEST(CommandLineTest, TheOpenMarkerIsTheLastArgumentAloneAndTheCatalogIsTakenAsGiven) {
    CommandLine open = line({QStringLiteral("/daten/Katalog.bvk"), QStringLiteral("/open/")});
    EXPECT_EQ(open.mode, CommandLineMode::Open);
    EXPECT_EQ(open.catalog, "/daten/Katalog.bvk");

    // Blanks at either end belong to the name: only the blank that joins it to the marker goes.
    open = line({QStringLiteral(" /tmp/x/lead.bvk "), QStringLiteral("/open/")});
    EXPECT_EQ(open.mode, CommandLineMode::Open);
    EXPECT_EQ(open.catalog, " /tmp/x/lead.bvk ");

    // A catalog path split into several arguments by a launcher that did not quote it.
    open = line(
        {QStringLiteral("/home/a/Mein"), QStringLiteral("Katalog.bvk"), QStringLiteral("/open/")});
    EXPECT_EQ(open.catalog, "/home/a/Mein Katalog.bvk");

    // A folder named "open" is part of a path, not the marker.
    const CommandLine add = line({QStringLiteral("/home/a/open/brief.txt")});
    EXPECT_EQ(add.mode, CommandLineMode::Add);
    EXPECT_EQ(add.files, QStringList{"/home/a/open/brief.txt"});
    EXPECT_EQ(
        line({QStringLiteral("/home/a/open/brief.txt"), QStringLiteral("/b/open/c.txt")}).mode,
        CommandLineMode::Add);
    EXPECT_EQ(line({QStringLiteral("/x/Katalog.bvk /open/")}).mode, CommandLineMode::Add)
        << "the marker must be an argument of its own";
}

TEST(CommandLineTest, FilesToAddKeepTheirBlanksAndAreMadeAbsolute) {
    const CommandLine add = line({QStringLiteral("trailing.txt "), QStringLiteral(" lead.txt"),
                                  QStringLiteral("/a/ü ß.txt")});
    ASSERT_EQ(add.mode, CommandLineMode::Add);
    EXPECT_EQ(add.files, (QStringList{QDir::currentPath() + "/trailing.txt ",
                                      QDir::currentPath() + "/ lead.txt", "/a/ü ß.txt"}));
    EXPECT_EQ(line({}).mode, CommandLineMode::Plain);
    EXPECT_EQ(line({QStringLiteral("  ")}).mode, CommandLineMode::Plain);
}

TEST(CommandLineTest, TheRunOptionsInBothSpellingsAndInAnyOrder) {
    CommandLine run = line({QStringLiteral("--run"), QStringLiteral("/k/Katalog.bvk"),
                            QStringLiteral("--match"), QStringLiteral("brief|rechnung"),
                            QStringLiteral("--attributes"), QStringLiteral("--quiet")});
    ASSERT_EQ(run.mode, CommandLineMode::Run) << run.error.toStdString();
    EXPECT_EQ(run.run.catalog, "/k/Katalog.bvk");
    EXPECT_EQ(run.run.match, QString("brief|rechnung"));
    EXPECT_TRUE(run.run.attributes);
    EXPECT_TRUE(run.run.quiet);

    run = line({QStringLiteral("--quiet"), QStringLiteral("--match=a b"),
                QStringLiteral("--run=/k/x y.bvk ")});
    ASSERT_EQ(run.mode, CommandLineMode::Run) << run.error.toStdString();
    EXPECT_EQ(run.run.catalog, "/k/x y.bvk ");
    EXPECT_EQ(run.run.match, QString("a b"));
    EXPECT_FALSE(run.run.attributes);

    // The value of an option is the next argument, whatever it begins with.
    run = line({QStringLiteral("--run"), QStringLiteral("--seltsam.bvk")});
    ASSERT_EQ(run.mode, CommandLineMode::Run);
    EXPECT_EQ(run.run.catalog, "--seltsam.bvk");
    EXPECT_FALSE(line({QStringLiteral("--run"), QStringLiteral("k.bvk")}).run.match.has_value())
        << "no --match: every entry";
    EXPECT_EQ(line({QStringLiteral("--run"), QStringLiteral("k.bvk"), QStringLiteral("--match=")})
                  .run.match,
              QString(""));
}

TEST(CommandLineTest, WrongCommandLinesSayWhatIsWrong) {
    const std::vector<std::pair<QStringList, QString>> wrong = {
        {{QStringLiteral("--bogus")}, QStringLiteral("--bogus")},
        {{QStringLiteral("--run")}, QStringLiteral("--run")},
        {{QStringLiteral("--run=")}, QStringLiteral("--run")},
        {{QStringLiteral("--run"), QStringLiteral("k.bvk"), QStringLiteral("--match")},
         QStringLiteral("--match")},
        {{QStringLiteral("--run"), QStringLiteral("k.bvk"), QStringLiteral("/x/y.txt")},
         QStringLiteral("/x/y.txt")},
        {{QStringLiteral("--quiet"), QStringLiteral("/x/y.txt")}, QStringLiteral("--quiet")},
        {{QStringLiteral("--match"), QStringLiteral("a")}, QStringLiteral("--match")},
        {{QStringLiteral("/x/y.txt"), QStringLiteral("--attributes")},
         QStringLiteral("--attributes")},
        {{QStringLiteral("--Run"), QStringLiteral("k.bvk")}, QStringLiteral("--Run")},
    };
    for (const auto& [arguments, named] : wrong) {
        const CommandLine result = line(arguments);
        EXPECT_EQ(result.mode, CommandLineMode::Invalid) << arguments.join(' ').toStdString();
        EXPECT_TRUE(result.error.contains(named)) << result.error.toStdString();
        EXPECT_FALSE(startsWindow(result));
    }
}

TEST(CommandLineTest, AfterTheEndOfOptionsEveryArgumentIsAFile) {
    CommandLine add =
        line({QStringLiteral("--"), QStringLiteral("--run"), QStringLiteral("/a/--x.txt")});
    ASSERT_EQ(add.mode, CommandLineMode::Add);
    EXPECT_EQ(add.files, (QStringList{QDir::currentPath() + "/--run", "/a/--x.txt"}));
    EXPECT_TRUE(startsWindow(add));

    add = line({QStringLiteral("--"), QStringLiteral("--"), QStringLiteral("/open/")});
    EXPECT_EQ(add.mode, CommandLineMode::Open);
    EXPECT_EQ(add.catalog, "--");

    // A single dash is no option.
    EXPECT_EQ(line({QStringLiteral("-h")}).mode, CommandLineMode::Add);
}

TEST(CommandLineTest, HelpAndVersion) {
    EXPECT_EQ(line({QStringLiteral("--help")}).mode, CommandLineMode::Help);
    EXPECT_EQ(line({QStringLiteral("--version")}).mode, CommandLineMode::Version);
    EXPECT_EQ(
        line({QStringLiteral("--run"), QStringLiteral("k.bvk"), QStringLiteral("--help")}).mode,
        CommandLineMode::Help);
    EXPECT_EQ(versionLine(), "Bravel 1.02.15");
    const QString help = helpText(QStringLiteral("bravel"));
    for (const char* form :
         {"bravel KATALOG /open/", "bravel DATEI...", "--run KATALOG", "--match TEXT",
          "--attributes", "--quiet", "--help", "--version", "\n  --  ", "Exitcodes", "  3  "})
        EXPECT_TRUE(help.contains(QString::fromUtf8(form))) << form;
}

TEST(CommandLineTest, TheStartCommandFeedsTheCommandLineText) {
    test::resetAll();
    setStartCommand({QStringLiteral("/k/K.bvk"), QStringLiteral("/open/")});
    EXPECT_EQ(gStartCommand.mode, CommandLineMode::Open);
    EXPECT_EQ(gCommandLine, "/k/K.bvk /open/");
    test::resetAll();
    EXPECT_EQ(gStartCommand.mode, CommandLineMode::Plain);
    EXPECT_TRUE(gCommandLine.isEmpty());
}

namespace {

TEST(CommandLineBytesTest, ArgumentsThatAreNoUtf8KeepTheirBytes) {
    QByteArray program("bravel"), run("--run"), catalog("/k/K\xe4talog.bvk"), open("/open/");
    char* argv[] = {program.data(), run.data(), catalog.data(), nullptr};
    const QStringList arguments = argumentsOf(3, argv);
    ASSERT_EQ(arguments.size(), 2);
    EXPECT_EQ(fs::encodeName(arguments[1]), catalog);
    const CommandLine line = interpretCommandLine(arguments);
    ASSERT_EQ(line.mode, CommandLineMode::Run);
    EXPECT_EQ(fs::encodeName(line.run.catalog), catalog);

    char* openArgv[] = {program.data(), catalog.data(), open.data(), nullptr};
    const CommandLine opened = interpretCommandLine(argumentsOf(3, openArgv));
    ASSERT_EQ(opened.mode, CommandLineMode::Open);
    EXPECT_EQ(fs::encodeName(opened.catalog), catalog);
}

}  // namespace
