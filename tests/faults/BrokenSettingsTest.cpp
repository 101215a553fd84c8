// A settings file that is empty, binary garbage or unreadable: the main window loads with the
// defaults, as with no settings file at all, and says nothing about it.
#include <sys/stat.h>

#include <QPalette>
#include <QTreeView>

#include "FaultSupport.h"
#include "app/frm_main.h"
#include "platform/SettingsStore.h"

namespace bravel::test {
namespace {

// What the window took from the settings.
struct Loaded {
    QRect geometry;
    QColor listColor;
    int sortColumn = -1;
    bool loaded = false;
    size_t messages = 0;
    int errors = 0;
    bool operator==(const Loaded& o) const {
        return geometry == o.geometry && listColor == o.listColor && sortColumn == o.sortColumn &&
               loaded == o.loaded && messages == o.messages && errors == o.errors;
    }
};

std::ostream& operator<<(std::ostream& out, const Loaded& l) {
    return out << "geometry " << l.geometry.x() << ',' << l.geometry.y() << ' '
               << l.geometry.width() << 'x' << l.geometry.height() << " list colour "
               << l.listColor.name().toStdString() << " sort " << l.sortColumn << " loaded "
               << l.loaded << " messages " << l.messages << " errors " << l.errors;
}

QString settingsFile() {
    return settingsstore::filePath(QStringLiteral("quillfen"));
}

// Loads the main window over the settings file as it now is.
Loaded loadWindow() {
    settingsstore::reset();
    gErrorStack.Clear();
    scriptedDialogs().reset();
    Loaded result;
    {
        frm_main window;
        result.loaded = window.load();
        result.geometry = window.geometry();
        result.listColor = window.lst_Files->palette().color(QPalette::Base);
        result.sortColumn = window.controller().model().sortColumn();
        result.messages = scriptedDialogs().messages.size();
        result.errors = gErrorStack.Count();
        for (const auto& m : scriptedDialogs().messages)
            std::printf("message: %s\n", qPrintable(m.text));
        for (const QString& t : recordTexts()) std::printf("recorded: %s\n", qPrintable(t));
    }
    resetCatalogState();
    return result;
}

Loaded withoutSettingsFile() {
    QFile::remove(settingsFile());
    return loadWindow();
}

class BrokenSettingsTest : public FaultTest {};

TEST_F(BrokenSettingsTest, EmptyOrGarbage) {
    const Loaded defaults = withoutSettingsFile();
    EXPECT_TRUE(defaults.loaded);
    EXPECT_EQ(defaults.messages, 0u);
    EXPECT_EQ(defaults.errors, 0);

    QByteArray garbage = patterned(8192, 7);
    static const char tail[] = "\n[bravel]\n\xff\xfe=\x01\x02\n[\n=\n\\\n";
    garbage += QByteArray(tail, sizeof tail - 1);
    for (const QByteArray& content : {QByteArray(), garbage, QByteArray(1 << 20, '\0')}) {
        SCOPED_TRACE(content.size());
        ASSERT_TRUE(writeFile(settingsFile(), content));
        EXPECT_EQ(loadWindow(), defaults);
    }
}

// Runs as an unprivileged child (root reads any file): the settings file exists but cannot be read.
TEST(BrokenSettingsChild, Unreadable) {
    if (qEnvironmentVariableIsEmpty("BRAVEL_UNREADABLE_SETTINGS_CHILD"))
        GTEST_SKIP() << "runs only as the child of BrokenSettingsTest.Unreadable";
    resetAll();
    const Loaded defaults = withoutSettingsFile();
    ASSERT_TRUE(writeFile(settingsFile(), "[bravel]\nmain_width=3000\nlst_color=255\n"));
    ASSERT_EQ(::chmod(QFile::encodeName(settingsFile()).constData(), 0), 0);
    QFile probe(settingsFile());
    ASSERT_FALSE(probe.open(QIODevice::ReadOnly)) << "the file can still be read";
    EXPECT_EQ(loadWindow(), defaults);
    EXPECT_EQ(defaults.messages, 0u);
    EXPECT_EQ(defaults.errors, 0);
}

TEST_F(BrokenSettingsTest, Unreadable) {
    const ChildRun child =
        runChildTestAsNobody(QStringLiteral("BrokenSettingsChild.Unreadable"),
                             {QStringLiteral("BRAVEL_UNREADABLE_SETTINGS_CHILD=1")}, 120000);
    if (!child.whyNot.empty()) GTEST_SKIP() << child.whyNot;
    expectChildPassed(child);
}

}  // namespace
}  // namespace bravel::test
