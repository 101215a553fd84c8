#include "Fixtures.h"

#include <QDir>
#include <QFile>

#include "backup/BackupRun.h"
#include "base/Prog.h"
#include "base/RunState.h"
#include "catalog/CatalogState.h"
#include "errors/COLError.h"
#include "platform/CatalogDatabase.h"
#include "platform/Clock.h"
#include "platform/Err.h"

namespace bravel::test {

void TempFolderTest::SetUp() {
    resetAll();
    ASSERT_TRUE(dir.isValid());
}

void TempFolderTest::TearDown() {
    resetCatalogState();
}

QString TempFolderTest::makeCatalog(const QString& name, const std::vector<CatalogEntry>& records) {
    const QString file = path(name);
    EXPECT_TRUE(writeCatalog(file, records)) << qPrintable(Err.Description);
    return file;
}

void CatalogControllerTest::SetUp() {
    TempFolderTest::SetUp();
    controller = std::make_unique<CatalogController>(view);
    controller->createColumns({2000, 2000, 500, 500, 500, 500, 500});
}

void CatalogControllerTest::TearDown() {
    controller->closeCatalog();
    controller.reset();
    TempFolderTest::TearDown();
}

std::vector<StoredRecord> storedRecords(const QString& catalog) {
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
        rset->Field(QStringLiteral("Dateidatum"), v);
        r.date = v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
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

void CatalogRunTest::SetUp() {
    CatalogControllerTest::SetUp();
    gHostName = QStringLiteral("PC2");
    setClockForTest(kRunNow);
    observer.onSummary = [this] {
        controller->mUpdateSelectionSummary();
        observer.status = view.summary;
    };
}

void CatalogRunTest::TearDown() {
    gPause = false;
    gCancel = false;
    CatalogControllerTest::TearDown();
}

QString CatalogRunTest::source(const QString& name, qint64 size, int seed) {
    const QString file = path(QStringLiteral("src/") + name);
    EXPECT_TRUE(writeFile(file, patterned(size, seed)));
    return file;
}

void CatalogRunTest::openCatalog(const std::vector<CatalogEntry>& records, const QString& at) {
    catalog = at.isEmpty() ? path(QStringLiteral("catalog.bvk")) : at;
    ASSERT_TRUE(writeCatalog(catalog, records)) << qPrintable(Err.Description);
    controller->mOpenDB(catalog);
    // The fill starts the selection timer; here no window stops it for a run, and its tick
    // would count the selection anew in the middle of a run that takes longer than 100 ms.
    controller->stopTimers();
    ASSERT_EQ(model().rowCount(), static_cast<int>(records.size()));
    gErrorStack.Clear();  // the fill's notes about folders that do not exist yet
}

int CatalogRunTest::rowOf(const QString& sourcePath) {
    for (int r = 0; r < model().rowCount(); ++r)
        if (model().cell(r, col::kSource) == sourcePath) return r;
    ADD_FAILURE() << "no row for " << sourcePath.toStdString();
    return 0;
}

void CatalogRunTest::run() {
    runBackup(model(), controller->rset_Record(), observer);
}

StoredRecord CatalogRunTest::storedRecord(const QString& src) const {
    for (const StoredRecord& r : storedRecords())
        if (r.source == src) return r;
    return {};
}

void ProgramRunTest::SetUp() {
    CatalogRunTest::SetUp();
    home = path(QStringLiteral("home"));
    for (const char* sub : {"cfg/quillfen", "data", "state", "run"})
        QDir().mkpath(home + QLatin1Char('/') + QLatin1String(sub));
    QFile::setPermissions(home + QStringLiteral("/run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QProcessEnvironment ProgramRunTest::programEnvironment(const QString& busAddress,
                                                       bool window) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));
    if (window) env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/cfg"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_STATE_HOME"), home + QStringLiteral("/state"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/run"));
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress);
    return env;
}

void ProgramRunTest::makeProgramCatalog(const std::vector<CatalogEntry>& records) {
    catalog = path(QStringLiteral("Katalog.bvk"));
    ASSERT_TRUE(writeCatalog(catalog, records)) << qPrintable(Err.Description);
}

}  // namespace bravel::test
