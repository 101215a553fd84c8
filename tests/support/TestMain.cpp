// Every test program runs with its own temporary home: settings, desktop files and the
// instance lock never touch the real user's. Dialogs and system actions are scripted fakes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QTemporaryDir>
#include <cstdlib>

#include "TestSupport.h"
#include "platform/CatalogLocks.h"

int main(int argc, char** argv) {
    QTemporaryDir home;
    if (!home.isValid()) return 2;
    bravel::test::pointXdgFoldersInto(home.path());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QApplication app(argc, argv);
    bravel::installCatalogLocks();
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    bravel::test::installFakes();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
