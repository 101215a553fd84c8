#pragma once

// The shared fixtures: a temporary folder with the program-wide state reset; on top of it the
// real catalog controller with a recording main view; on top of that a real catalog file
// opened in it and the real backup run.

#include <gtest/gtest.h>

#include <QDateTime>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <utility>
#include <vector>

#include "BackupTestSupport.h"
#include "CatalogFiles.h"
#include "RecordingMainView.h"
#include "RecordingRunObserver.h"
#include "TestSupport.h"
#include "catalog/CatalogController.h"

namespace bravel::test {

// A test with a temporary folder of its own; every program-wide value starts fresh and the
// catalog is closed at the end.
class TempFolderTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    QString path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }

    // A catalog at path holding the records (none: an empty one); returns its path.
    QString makeCatalog(const QString& name, const std::vector<CatalogEntry>& records = {});

    QTemporaryDir dir;
};

// The real catalog controller with its columns, reporting to a recording main view.
class CatalogControllerTest : public TempFolderTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    CatalogListModel& model() const { return controller->model(); }

    RecordingMainView view;
    std::unique_ptr<CatalogController> controller;
};

// One row of FILES as another program reads it.
struct StoredRecord {
    qint64 id = 0;
    QString source;
    QString folder;
    qint64 size = -1;  // -1 when empty
    QString date;      // "yyyy-MM-dd HH:mm:ss"
    QString status;
    QString hostStatus;
};

// All records of a catalog in the order of their IDs, read by another connection.
std::vector<StoredRecord> storedRecords(const QString& catalog);

// The clock of catalog runs: 15.03.2025 10:20:30, this computer "PC2".
inline const QDateTime kRunNow(QDate(2025, 3, 15), QTime(10, 20, 30));

// The real catalog controller, filled from a real catalog, and the real backup run with a
// recording observer in place of the windows.
class CatalogRunTest : public CatalogControllerTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    // A source file below "src/" with patterned content.
    QString source(const QString& name, qint64 size = 10000, int seed = 1);
    QString source(int i, qint64 size = 10000) {
        return source(QStringLiteral("a%1.bin").arg(i), size, i);
    }

    // Creates the catalog (at, or "catalog.bvk" in the folder) with the records and opens it in
    // the controller, as the main window does.
    void openCatalog(const std::vector<CatalogEntry>& records, const QString& at = {});

    int rowOf(const QString& sourcePath);
    QString statusOf(const QString& src) { return model().cell(rowOf(src), col::kStatus); }
    void select(const QString& src) { model().setRowSelected(rowOf(src), true); }
    void selectAll() { model().selectAll(true); }
    void run();

    std::vector<StoredRecord> storedRecords() const { return test::storedRecords(catalog); }
    StoredRecord storedRecord(const QString& src) const;
    QString integrityCheck() const { return test::integrityCheck(catalog); }

    RecordingRunObserver observer;
    QString catalog;
};

// The program itself as a second process, with a home of its own below the folder.
class ProgramRunTest : public CatalogRunTest {
  protected:
    void SetUp() override;

    // The program's environment: the home's XDG folders and the session bus at busAddress; no
    // window system, or the offscreen one with window.
    QProcessEnvironment programEnvironment(const QString& busAddress, bool window = false) const;
    // "Katalog.bvk" in the folder with the records, kept in catalog; the program opens it.
    void makeProgramCatalog(const std::vector<CatalogEntry>& records);

    QString home;  // with cfg/quillfen, data, state and run (the owner's alone)
};

}  // namespace bravel::test
