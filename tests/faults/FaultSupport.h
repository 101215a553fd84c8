#pragma once

// The fault suite: the real catalog controller, the real backup run and real files, with the
// faults made for real (small tmpfs mounts, read-only remounts, a second process, huge files).
// Only dialogs, the clock and the system actions are scripted.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "BackupTestSupport.h"
#include "RecordingRunObserver.h"
#include "CatalogFiles.h"
#include "RecordingMainView.h"
#include "TestSupport.h"
#include "backup/BackupRun.h"
#include "base/Prog.h"
#include "base/RunState.h"
#include "catalog/CatalogController.h"
#include "catalog/CatalogState.h"
#include "platform/CatalogDatabase.h"
#include "platform/Clock.h"
#include "platform/Err.h"

namespace bravel::test {

// A tmpfs mounted on a folder for the life of the object. mounted() is false, with the reason in
// whyNot, when this machine does not allow it (not root, no mount permission in a container).
class ScopedTmpfs {
public:
    ScopedTmpfs(const QString& folder, const QByteArray& options) : folder_(folder) {
        QDir().mkpath(folder);
        if (!runningAsRoot()) {
            whyNot_ = "mounting a tmpfs needs root";
            return;
        }
        if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, options.constData()) != 0) {
            whyNot_ = std::string("mount not permitted here: ") + std::strerror(errno);
            return;
        }
        mounted_ = true;
    }
    ~ScopedTmpfs() {
        if (mounted_) ::umount2(QFile::encodeName(folder_).constData(), MNT_DETACH);
    }
    ScopedTmpfs(const ScopedTmpfs&) = delete;
    ScopedTmpfs& operator=(const ScopedTmpfs&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& whyNot() const { return whyNot_; }
    // Turns the mount read-only (or writable again); false when the kernel refused.
    bool remount(bool readOnly) {
        const unsigned long flags = MS_REMOUNT | (readOnly ? MS_RDONLY : 0);
        return ::mount("tmpfs", QFile::encodeName(folder_).constData(), "tmpfs", flags, nullptr) == 0;
    }
    // Fills every free block with one file; returns its path.
    QString fill() const {
        const QString filler = folder_ + QStringLiteral("/.filler");
        QFile file(filler);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return filler;
        const QByteArray block(64 * 1024, 'f');
        while (file.write(block) == block.size()) {}
        QByteArray one(1, 'f');
        while (file.write(one) == 1) {}
        file.close();
        return filler;
    }

private:
    QString folder_;
    bool mounted_ = false;
    std::string whyNot_;
};

#define SKIP_UNLESS_MOUNTED(mount) \
    if (!(mount).mounted()) GTEST_SKIP() << (mount).whyNot()

// One row of FILES as another program reads it.
struct StoredRecord {
    qint64 id = 0;
    QString source;
    QString folder;
    qint64 size = -1;
    QString status;
    QString hostStatus;
};

inline const QDateTime kFaultNow(QDate(2025, 3, 15), QTime(10, 20, 30));

class FaultTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetAll();
        ASSERT_TRUE(dir.isValid());
        gHostName = QStringLiteral("PC2");
        setClockForTest(kFaultNow);
        controller = std::make_unique<CatalogController>(view);
        controller->createColumns({2000, 2000, 500, 500, 500, 500, 500});
        observer.onSummary = [this] {
            controller->mUpdateSelectionSummary();
            observer.status = view.summary;
        };
    }
    void TearDown() override {
        controller->closeCatalog();
        controller.reset();
        resetCatalogState();
        gPause = false;
        gCancel = false;
    }

    QString path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }

    QString source(const QString& name, qint64 size = 10000, int seed = 1) {
        const QString file = path(QStringLiteral("src/") + name);
        EXPECT_TRUE(writeFile(file, patterned(size, seed)));
        return file;
    }

    // Creates the catalog at catalogPath with one record per (source, folder) and opens it in
    // the controller, as the main window does.
    void openCatalog(const std::vector<std::pair<QString, QString>>& entries, const QString& at = {}) {
        catalog = at.isEmpty() ? path(QStringLiteral("catalog.bvk")) : at;
        std::vector<CatalogEntry> records;
        for (const auto& [source, folder] : entries) records.push_back({source, folder, QString(), QString(), {}});
        ASSERT_TRUE(writeCatalog(catalog, records)) << qPrintable(Err.Description);
        controller->mOpenDB(catalog);
        // No refresh of the list behind the test's back (the main window stops the timers for
        // a run; here nothing would restart them for one).
        controller->stopTimers();
        ASSERT_EQ(model().rowCount(), static_cast<int>(entries.size()));
        gErrorStack.Clear();  // the fill's notes about folders that do not exist yet
    }

    CatalogListModel& model() { return controller->model(); }
    int rowOf(const QString& sourcePath) {
        for (int r = 0; r < model().rowCount(); ++r)
            if (model().cell(r, col::kSource) == sourcePath) return r;
        ADD_FAILURE() << "no row for " << sourcePath.toStdString();
        return 0;
    }
    QString statusOf(const QString& src) { return model().cell(rowOf(src), col::kStatus); }
    void selectAll() { model().selectAll(true); }
    void run() { runBackup(model(), controller->rset_Record(), observer); }

    std::vector<StoredRecord> storedRecords() const {
        std::vector<StoredRecord> all;
        auto db = CatalogDatabase::open(catalog);
        EXPECT_TRUE(db) << qPrintable(Err.Description);
        if (!db) return all;
        auto rset = db->OpenRecordset(QStringLiteral("SELECT FILES.* FROM FILES"));
        for (rset->MoveFirst(); !rset->EOF_(); rset->MoveNext()) {
            StoredRecord r;
            QVariant v;
            rset->Field(QStringLiteral("ID"), v);
            r.id = v.toLongLong();
            rset->Field(QStringLiteral("Eingangsdatei"), v);
            r.source = v.toString();
            rset->Field(QStringLiteral("Sicherungspfad"), v);
            r.folder = v.toString();
            rset->Field(QStringLiteral("Dateigroesse"), v);
            r.size = v.isNull() ? -1 : v.toLongLong();
            rset->Field(QStringLiteral("Status"), v);
            r.status = v.toString();
            rset->Field(QStringLiteral("Computerstatus"), v);
            r.hostStatus = v.toString();
            all.push_back(r);
        }
        rset->Close();
        db->Close();
        return all;
    }
    StoredRecord storedRecord(const QString& src) const {
        for (const StoredRecord& r : storedRecords())
            if (r.source == src) return r;
        return {};
    }

    QString integrityCheck() const { return test::integrityCheck(catalog); }

    QTemporaryDir dir;
    RecordingMainView view;
    std::unique_ptr<CatalogController> controller;
    RecordingRunObserver observer;
    QString catalog;
};

}  // namespace bravel::test
