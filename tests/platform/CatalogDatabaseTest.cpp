#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <map>
#include <set>

#include "CatalogFiles.h"
#include "TestSupport.h"
#include "platform/CatalogDatabase.h"
#include "platform/CatalogLocks.h"
#include "platform/Err.h"

using namespace bravel;

namespace {

const QString kQuery = QStringLiteral("SELECT FILES.* FROM FILES");

// Every file of a folder with its bytes: "unchanged" means this map is equal afterwards, so a
// stray -wal, -shm or -journal file counts as a change too.
std::map<QString, QByteArray> snapshot(const QString& folder) {
    std::map<QString, QByteArray> files;
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo& entry : entries)
        files[entry.fileName()] =
            entry.isDir() ? QByteArray("<folder>") : test::readFile(entry.filePath());
    return files;
}

// A plain Qt Sql connection beside the engine, to look at a catalog as SQLite sees it.
class RawSql {
  public:
    explicit RawSql(const QString& path) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open());
    }
    ~RawSql() {
        QSqlDatabase::database(name_, false).close();
        QSqlDatabase::removeDatabase(name_);
    }
    std::vector<QVariantList> rows(const QString& sql) {
        std::vector<QVariantList> result;
        QSqlQuery query(QSqlDatabase::database(name_, false));
        EXPECT_TRUE(query.exec(sql)) << sql.toStdString();
        while (query.next()) {
            QVariantList row;
            for (int i = 0; i < query.record().count(); ++i) row << query.value(i);
            result.push_back(row);
        }
        return result;
    }
    QVariant value(const QString& sql) {
        const auto all = rows(sql);
        return all.empty() || all[0].isEmpty() ? QVariant() : all[0][0];
    }

  private:
    QString name_ = QStringLiteral("raw-sql-inspection");
};

qint64 currentId(const Recordset& rs) {
    QVariant id;
    return rs.Field(QStringLiteral("ID"), id) ? id.toLongLong() : -1;
}

QString text(const Recordset& rs, const char* field) {
    QVariant value;
    return rs.Field(QString::fromLatin1(field), value) ? value.toString()
                                                       : QStringLiteral("<error>");
}

bool addRecord(Recordset& rs, const QString& source, const QString& status = QString()) {
    return rs.AddNew() && rs.SetField(QStringLiteral("Eingangsdatei"), source) &&
           (status.isNull() || rs.SetField(QStringLiteral("Status"), status)) && rs.Update();
}

class CatalogDatabaseTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        Err.Clear();
    }
    QString path(const QString& name) const { return dir_.filePath(name); }
    // A closed catalog with `count` records "/src/<i>".
    QString makeCatalog(const QString& name, int count) {
        const QString file = path(name);
        auto db = CatalogDatabase::create(file);
        EXPECT_TRUE(db) << Err.Description.toStdString();
        if (!db) return file;
        auto rs = db->OpenRecordset(kQuery);
        for (int i = 1; i <= count; ++i)
            EXPECT_TRUE(addRecord(*rs, QStringLiteral("/src/%1").arg(i)));
        return file;
    }

    QTemporaryDir dir_;
};

// ---- creating -------------------------------------------------------------------------------

TEST_F(CatalogDatabaseTest, NewCatalogHasTheSchemaTheIndexAndNoRecords) {
    const QString file = path(QStringLiteral("neu.bvk"));
    {
        auto db = CatalogDatabase::create(file);
        ASSERT_TRUE(db) << Err.Description.toStdString();
        EXPECT_TRUE(db->isOpen());
        EXPECT_FALSE(db->isReadOnly());
        EXPECT_EQ(db->name(), QFileInfo(file).absoluteFilePath());
        auto rs = db->OpenRecordset(kQuery);
        ASSERT_TRUE(rs);
        EXPECT_TRUE(rs->EOF_() && rs->BOF());
        EXPECT_EQ(rs->RecordCount(), 0);
        rs->MoveFirst();
        rs->MoveLast();
        EXPECT_TRUE(rs->EOF_() && rs->BOF());
        EXPECT_EQ(Err.Number, 0) << "moving in an empty recordset is no error";
    }
    EXPECT_EQ(snapshot(dir_.path()).size(), 1u) << "closing leaves no -wal or -shm file";

    RawSql raw(file);
    const auto columns =
        raw.rows(QStringLiteral("PRAGMA table_info(FILES)"));  // cid name type notnull dflt pk
    const QStringList names = {"ID",         "Eingangsdatei", "Sicherungspfad", "Dateigroesse",
                               "Dateidatum", "Status",        "Computerstatus", "Bemerkung"};
    const QStringList types = {"INTEGER", "VARCHAR(255)", "VARCHAR(255)", "INTEGER",
                               "TEXT",    "TEXT",         "TEXT",         "TEXT"};
    ASSERT_EQ(columns.size(), 8u);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(columns[i][1].toString(), names[i]);
        EXPECT_EQ(columns[i][2].toString(), types[i]) << names[i].toStdString();
        EXPECT_EQ(columns[i][3].toInt(), 0) << names[i].toStdString() << " must allow null";
        EXPECT_TRUE(columns[i][4].isNull()) << names[i].toStdString() << " has no default";
        EXPECT_EQ(columns[i][5].toInt(), i == 0 ? 1 : 0);
    }
    EXPECT_TRUE(raw.value("SELECT sql FROM sqlite_master WHERE name = 'FILES'")
                    .toString()
                    .contains("AUTOINCREMENT"));
    const auto indexes =
        raw.rows(QStringLiteral("SELECT name, tbl_name FROM sqlite_master WHERE type = 'index'"));
    ASSERT_EQ(indexes.size(), 1u);
    EXPECT_EQ(indexes[0][0].toString(), "ID");
    EXPECT_EQ(indexes[0][1].toString(), "FILES");
    EXPECT_EQ(raw.value("SELECT name FROM pragma_index_info('ID')").toString(), "ID");
    EXPECT_EQ(raw.value("PRAGMA journal_mode").toString(), "wal");
    EXPECT_EQ(raw.value("SELECT COUNT(*) FROM FILES").toInt(), 0);
}

TEST_F(CatalogDatabaseTest, CreateNeverOverwritesAndNeedsAnExistingFolder) {
    const QString catalog = makeCatalog(QStringLiteral("alt.bvk"), 2);
    test::writeFile(path(QStringLiteral("leer.bvk")), QByteArray());
    test::writeFile(path(QStringLiteral("text.bvk")), "nur ein Text\n");
    const auto before = snapshot(dir_.path());
    for (const QString& existing : {catalog, path("leer.bvk"), path("text.bvk"), dir_.path()}) {
        Err.Clear();
        EXPECT_FALSE(CatalogDatabase::create(existing)) << existing.toStdString();
        EXPECT_EQ(Err.Number, errnum::kDbFileExists) << existing.toStdString();
        EXPECT_TRUE(Err.Description.contains(existing)) << Err.Description.toStdString();
    }
    EXPECT_EQ(snapshot(dir_.path()), before);

    Err.Clear();
    EXPECT_FALSE(CatalogDatabase::create(path(QStringLiteral("fehlt/neu.bvk"))));
    EXPECT_EQ(Err.Number, errnum::kPathNotFound);
    EXPECT_EQ(snapshot(dir_.path()), before);
}

// ---- opening --------------------------------------------------------------------------------

TEST_F(CatalogDatabaseTest, OpenRefusesWhatIsNoCatalogAndLeavesItUnchanged) {
    QByteArray noise(4096, '\0');
    QRandomGenerator generator(4711);
    for (char& c : noise) c = static_cast<char>(generator.bounded(256));
    struct Case {
        QString name;
        std::function<void(const QString&)> make;
        std::set<int> numbers;
        QString kind;  // failures of one kind share their explanation
    };
    const std::vector<Case> cases = {
        {"fehlt.bvk", [](const QString&) {}, {errnum::kDbFileNotFound}, "missing"},
        {"leer.bvk",
         [](const QString& f) { test::writeFile(f, QByteArray()); },
         {errnum::kDbNotADatabase},
         "empty"},
        {"zufall.bvk",
         [&](const QString& f) { test::writeFile(f, noise); },
         {errnum::kDbNotADatabase},
         "no sqlite"},
        {"text.bvk",
         [](const QString& f) { test::writeFile(f, "Eingangsdatei;Sicherungspfad\n/a;/b\n"); },
         {errnum::kDbNotADatabase},
         "no sqlite"},
        {"kopf.bvk",
         [&](const QString& f) { test::writeFile(f, QByteArray("SQLite format 3", 16) + noise); },
         {errnum::kDbNotADatabase, errnum::kDbCorrupt},
         "damaged"},
        {"andere.bvk",
         [](const QString& f) {
             RawSql raw(f);
             raw.rows(QStringLiteral("CREATE TABLE OTHER (x INTEGER)"));
             raw.rows(QStringLiteral("INSERT INTO OTHER VALUES (1)"));
         },
         {errnum::kDbTableNotFound},
         "no table"},
        {"ordner.bvk",
         [](const QString& f) { QDir().mkpath(f); },
         {errnum::kDbCannotOpen},
         "folder"},
    };
    std::map<QString, std::set<QString>> descriptionsByKind;
    for (const Case& c : cases) {
        QTemporaryDir place;
        const QString file = place.filePath(c.name);
        c.make(file);
        const auto before = snapshot(place.path());
        Err.Clear();
        EXPECT_FALSE(CatalogDatabase::open(file)) << c.name.toStdString();
        EXPECT_TRUE(c.numbers.count(Err.Number))
            << c.name.toStdString() << ": " << Err.Number << " " << Err.Description.toStdString();
        descriptionsByKind[c.kind].insert(
            QString(Err.Description).replace(file, QStringLiteral("<Datei>")));
        EXPECT_EQ(snapshot(place.path()), before) << c.name.toStdString() << " must stay as it was";
    }
    std::set<QString> distinct;
    for (const auto& [kind, descriptions] : descriptionsByKind) {
        EXPECT_EQ(descriptions.size(), 1u) << kind.toStdString();
        distinct.insert(descriptions.begin(), descriptions.end());
    }
    EXPECT_EQ(distinct.size(), descriptionsByKind.size())
        << "each kind of failure explains itself differently";
}

TEST_F(CatalogDatabaseTest, CatalogInAReadOnlyPlaceOpensForReadingAndRefusesWrites) {
    for (const bool folderReadOnly : {false, true}) {
        SCOPED_TRACE(folderReadOnly ? "read-only folder" : "read-only file");
        QTemporaryDir place;
        const QString sub = place.filePath(QStringLiteral("kataloge"));
        QDir().mkpath(sub);
        {
            auto db = CatalogDatabase::create(sub + QStringLiteral("/nur-lesen.bvk"));
            ASSERT_TRUE(db);
            auto rs = db->OpenRecordset(kQuery);
            ASSERT_TRUE(addRecord(*rs, QStringLiteral("/src/a")));
            ASSERT_TRUE(addRecord(*rs, QStringLiteral("/src/b")));
        }
        const QString file = sub + QStringLiteral("/nur-lesen.bvk");
        const QByteArray bytes = test::readFile(file);
        const auto readOnly =
            QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
        if (folderReadOnly)
            QFile::setPermissions(sub, readOnly | QFileDevice::ExeOwner | QFileDevice::ExeGroup |
                                           QFileDevice::ExeOther);
        else
            QFile::setPermissions(file, readOnly);
        {
            auto db = CatalogDatabase::open(file);
            ASSERT_TRUE(db) << Err.Description.toStdString();
            EXPECT_TRUE(db->isReadOnly());
            auto rs = db->OpenRecordset(kQuery);
            ASSERT_TRUE(rs);
            EXPECT_EQ(rs->RecordCount(), 2);
            EXPECT_EQ(text(*rs, "Eingangsdatei"), "/src/a");
            ASSERT_TRUE(rs->FindFirst(QStringLiteral("ID = 2")));
            EXPECT_EQ(text(*rs, "Eingangsdatei"), "/src/b");
            for (const auto& write : std::vector<std::function<bool()>>{
                     [&] { return rs->Edit(); }, [&] { return rs->AddNew(); },
                     [&] { return rs->Delete(); }}) {
                Err.Clear();
                EXPECT_FALSE(write());
                EXPECT_EQ(Err.Number, errnum::kDbReadOnly);
            }
            Err.Clear();
            EXPECT_FALSE(rs->Update());
            EXPECT_EQ(Err.Number, errnum::kDbUpdateWithoutEdit);
            EXPECT_EQ(rs->RecordCount(), 2);
        }
        QFile::setPermissions(
            sub, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        EXPECT_EQ(test::readFile(file), bytes);
    }
}

#ifdef CATALOG_DB_HELPER
// Root reads every file, so the check runs in the helper program as the user "nobody".
TEST_F(CatalogDatabaseTest, FileWithoutReadPermissionFailsForAnotherUser) {
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (setpriv.isEmpty()) {
        GTEST_SKIP() << "setpriv (util-linux) is not installed";
    }
    // The build folder may lie in a home that the other user cannot enter.
    const QStringList asNobody = {"--reuid=65534", "--regid=65534", "--clear-groups",
                                  test::copyForOtherUsers(QStringLiteral(CATALOG_DB_HELPER))};
    auto runAsNobody = [&](const QStringList& args, QString& out) {
        QProcess helper;
        helper.start(setpriv, asNobody + args);
        if (!helper.waitForFinished(30000)) return -1;
        out = QString::fromUtf8(helper.readAllStandardOutput()).trimmed();
        return helper.exitStatus() == QProcess::NormalExit ? helper.exitCode() : -1;
    };
    QString out;
    if (runAsNobody({}, out) != 2 || !out.startsWith(QLatin1String("usage"))) {
        GTEST_SKIP() << "the helper cannot run as uid 65534 here (" << out.toStdString() << ")";
    }

    QFile::setPermissions(dir_.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                           QFileDevice::ExeOther);
    const QString readable = makeCatalog(QStringLiteral("offen.bvk"), 3);
    const QString secret = makeCatalog(QStringLiteral("geheim.bvk"), 1);
    QFile::setPermissions(secret, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const auto before = snapshot(dir_.path());

    // The control: the same user reads a readable catalog in this folder, which it cannot write.
    EXPECT_EQ(runAsNobody({"open", readable}, out), 0) << out.toStdString();
    EXPECT_EQ(out, "OPEN readonly=1 count=3");
    EXPECT_EQ(runAsNobody({"open", secret}, out), 1);
    EXPECT_TRUE(out.startsWith(QStringLiteral("ERR %1 ").arg(errnum::kDbNoPermission)))
        << out.toStdString();
    EXPECT_EQ(snapshot(dir_.path()), before);
}
#endif

// ---- records --------------------------------------------------------------------------------

TEST_F(CatalogDatabaseTest, AddEditAndDeleteKeepValuesNullsAndIdentity) {
    const QString file = path(QStringLiteral("daten.bvk"));
    auto db = CatalogDatabase::create(file);
    ASSERT_TRUE(db);
    auto rs = db->OpenRecordset(kQuery);
    ASSERT_TRUE(rs);
    const QDateTime when(QDate(2026, 3, 4), QTime(5, 6, 7));

    ASSERT_TRUE(rs->AddNew());
    EXPECT_TRUE(rs->SetField(QStringLiteral("eingangsdatei"), QStringLiteral("/home/u/a.txt")));
    EXPECT_TRUE(rs->SetField(QStringLiteral("Sicherungspfad"), QStringLiteral("")));
    EXPECT_TRUE(rs->SetField(QStringLiteral("Dateigroesse"), qint64(5'000'000'000)));
    EXPECT_TRUE(rs->SetField(QStringLiteral("Dateidatum"), when));
    EXPECT_TRUE(rs->SetField(QStringLiteral("Status"), QString()));
    Err.Clear();
    EXPECT_FALSE(rs->SetField(QStringLiteral("ID"), 77));
    EXPECT_EQ(Err.Number, errnum::kDbFieldNotUpdatable);
    Err.Clear();
    EXPECT_FALSE(rs->SetField(QStringLiteral("Groesse"), 1));
    EXPECT_EQ(Err.Number, errnum::kDbFieldNotFound);
    ASSERT_TRUE(rs->Update()) << Err.Description.toStdString();
    EXPECT_EQ(currentId(*rs), 1);
    ASSERT_TRUE(addRecord(*rs, QStringLiteral("/home/u/b.txt")));
    EXPECT_EQ(currentId(*rs), 2);

    ASSERT_TRUE(rs->FindFirst(QStringLiteral("ID = 1")));
    QVariant value;
    ASSERT_TRUE(rs->Field(QStringLiteral("BEMERKUNG"), value));
    EXPECT_TRUE(value.isNull()) << "a field never set is null";
    ASSERT_TRUE(rs->Field(QStringLiteral("Sicherungspfad"), value));
    EXPECT_FALSE(value.isNull());
    EXPECT_EQ(value.toString(), "");
    ASSERT_TRUE(rs->Field(QStringLiteral("Status"), value));
    EXPECT_FALSE(value.isNull()) << "a text is stored as text, even an empty QString";
    ASSERT_TRUE(rs->Field(QStringLiteral("Dateigroesse"), value));
    EXPECT_EQ(value.toLongLong(), 5'000'000'000);
    ASSERT_TRUE(rs->Field(QStringLiteral("Dateidatum"), value));
    EXPECT_EQ(value.toDateTime(), when);
    Err.Clear();
    EXPECT_FALSE(rs->Field(QStringLiteral("Groesse"), value));
    EXPECT_EQ(Err.Number, errnum::kDbFieldNotFound);

    Err.Clear();
    EXPECT_FALSE(rs->Update());
    EXPECT_EQ(Err.Number, errnum::kDbUpdateWithoutEdit);
    Err.Clear();
    EXPECT_FALSE(rs->SetField(QStringLiteral("Status"), QStringLiteral("x")));
    EXPECT_EQ(Err.Number, errnum::kDbUpdateWithoutEdit);

    ASSERT_TRUE(rs->Edit());
    ASSERT_TRUE(rs->SetField(QStringLiteral("Status"), QStringLiteral("gesichert (12:00)")));
    ASSERT_TRUE(rs->SetField(QStringLiteral("Bemerkung"), QVariant()));
    ASSERT_TRUE(rs->Update());
    EXPECT_EQ(text(*rs, "Status"), "gesichert (12:00)");
    EXPECT_EQ(text(*rs, "Eingangsdatei"), "/home/u/a.txt") << "fields not set stay";
    {
        RawSql raw(file);
        EXPECT_EQ(raw.value("SELECT Dateidatum FROM FILES WHERE ID = 1").toString(),
                  "2026-03-04 05:06:07");
        EXPECT_EQ(raw.value("SELECT typeof(Dateidatum) || typeof(Dateigroesse) || "
                            "typeof(Bemerkung) FROM FILES "
                            "WHERE ID = 1")
                      .toString(),
                  "textintegernull");
        EXPECT_EQ(raw.value("SELECT Status FROM FILES WHERE ID = 1").toString(),
                  "gesichert (12:00)");
    }

    ASSERT_TRUE(rs->Delete());
    Err.Clear();
    EXPECT_FALSE(rs->Field(QStringLiteral("ID"), value));
    EXPECT_EQ(Err.Number, errnum::kDbRecordDeleted);
    Err.Clear();
    rs->MoveNext();
    EXPECT_EQ(Err.Number, 0);
    EXPECT_EQ(currentId(*rs), 2) << "MoveNext goes on after the deleted record";
    ASSERT_TRUE(rs->Delete());
    rs->MoveFirst();
    EXPECT_TRUE(rs->EOF_() && rs->BOF());
    Err.Clear();
    EXPECT_FALSE(rs->Field(QStringLiteral("ID"), value));
    EXPECT_EQ(Err.Number, errnum::kDbNoCurrentRecord);
    Err.Clear();
    EXPECT_FALSE(rs->Edit());
    EXPECT_EQ(Err.Number, errnum::kDbNoCurrentRecord);

    ASSERT_TRUE(addRecord(*rs, QStringLiteral("/home/u/c.txt")));
    EXPECT_EQ(currentId(*rs), 3) << "identities of deleted records are not given again";
    EXPECT_EQ(rs->RecordCount(), 1);
}

// Every kind of value a field is given reaches the file as SQLite's own kind and comes back as it
// went in; a date that is none is null, as an unset field.
TEST_F(CatalogDatabaseTest, ValuesKeepTheirKindOnTheWayToTheFileAndBack) {
    const QString file = makeCatalog(QStringLiteral("arten.bvk"), 1);
    auto db = CatalogDatabase::open(file);
    ASSERT_TRUE(db);
    auto rs = db->OpenRecordset(kQuery);
    ASSERT_TRUE(rs && rs->FindFirst(QStringLiteral("ID = 1")));
    const QString longName =
        QStringLiteral("/Bäume/") + QString(3990, QChar(0x00FC)) + QStringLiteral("\nx y");
    const QByteArray bytes("\0\1\2ab", 5);
    ASSERT_TRUE(rs->Edit());
    ASSERT_TRUE(rs->SetField(QStringLiteral("Eingangsdatei"), longName));
    ASSERT_TRUE(rs->SetField(QStringLiteral("Sicherungspfad"), bytes));
    ASSERT_TRUE(rs->SetField(QStringLiteral("Dateigroesse"), 2.5));
    ASSERT_TRUE(rs->SetField(QStringLiteral("Dateidatum"), QDateTime()));
    ASSERT_TRUE(rs->SetField(QStringLiteral("Status"), QString()));
    ASSERT_TRUE(rs->SetField(QStringLiteral("Computerstatus"), QDate()));
    ASSERT_TRUE(rs->SetField(QStringLiteral("Bemerkung"), QByteArray()));
    ASSERT_TRUE(rs->Update()) << Err.Description.toStdString();
    {
        RawSql raw(file);
        EXPECT_EQ(raw.value("SELECT typeof(Eingangsdatei) || ' ' || typeof(Sicherungspfad) || ' ' "
                            "|| typeof(Dateigroesse) || ' ' || typeof(Dateidatum) || ' ' || "
                            "typeof(Status) || ' ' || typeof(Computerstatus) || ' ' || "
                            "typeof(Bemerkung) FROM FILES WHERE ID = 1")
                      .toString(),
                  "text blob real null text null null");
        EXPECT_EQ(raw.value("SELECT length(Eingangsdatei) FROM FILES").toInt(), longName.size());
    }

    auto reopened = CatalogDatabase::open(file);
    ASSERT_TRUE(reopened);
    auto again = reopened->OpenRecordset(kQuery);
    ASSERT_TRUE(again && again->FindFirst(QStringLiteral("ID = 1")) && !again->NoMatch());
    QVariant value;
    ASSERT_TRUE(again->Field(QStringLiteral("Eingangsdatei"), value));
    EXPECT_EQ(value.toString(), longName);
    ASSERT_TRUE(again->Field(QStringLiteral("Sicherungspfad"), value));
    EXPECT_EQ(value.toByteArray(), bytes);
    ASSERT_TRUE(again->Field(QStringLiteral("Dateigroesse"), value));
    EXPECT_EQ(value.typeId(), QMetaType::Double);
    EXPECT_EQ(value.toDouble(), 2.5);
    ASSERT_TRUE(again->Field(QStringLiteral("Status"), value));
    EXPECT_FALSE(value.isNull()) << "an empty text stays a text";
    EXPECT_EQ(value.toString(), QString());
    for (const char* field : {"Dateidatum", "Computerstatus", "Bemerkung"}) {
        ASSERT_TRUE(again->Field(QString::fromLatin1(field), value));
        EXPECT_TRUE(value.isNull()) << field;
    }
}

TEST_F(CatalogDatabaseTest, FindFirstUnderstandsOnlyIdEqualsANumber) {
    auto db = CatalogDatabase::open(makeCatalog(QStringLiteral("suche.bvk"), 3));
    ASSERT_TRUE(db);
    auto rs = db->OpenRecordset(kQuery);
    ASSERT_TRUE(rs);
    for (const auto& [criteria, id] : std::vector<std::pair<QString, qint64>>{
             {"ID = 2", 2}, {"ID=3", 3}, {"  id  =\t1  ", 1}, {"ID = +2", 2}, {"ID = 0003", 3}}) {
        Err.Clear();
        ASSERT_TRUE(rs->FindFirst(criteria)) << criteria.toStdString();
        EXPECT_FALSE(rs->NoMatch());
        EXPECT_EQ(currentId(*rs), id) << criteria.toStdString();
    }
    for (const QString criteria : {"ID = 99", "ID = -1", "ID = 0"}) {
        ASSERT_TRUE(rs->FindFirst(criteria));
        EXPECT_TRUE(rs->NoMatch()) << criteria.toStdString();
        EXPECT_EQ(currentId(*rs), 3) << "without a match the current record stays";
    }
    ASSERT_TRUE(rs->FindFirst(QStringLiteral("ID = 1")));
    for (const QString criteria : {"ID = 5; DROP TABLE FILES", "ID = 2 OR 1=1", "ID = ", "ID = 2.0",
                                   "ID = 0x2", "ID == 2", "IDX = 2", "Eingangsdatei = 2",
                                   "ID = 99999999999999999999", "ID = ２", "", "ID = 2 --"}) {
        Err.Clear();
        EXPECT_FALSE(rs->FindFirst(criteria)) << criteria.toStdString();
        EXPECT_EQ(Err.Number, errnum::kDbSyntax) << criteria.toStdString();
        EXPECT_FALSE(rs->NoMatch());
        EXPECT_EQ(currentId(*rs), 1) << criteria.toStdString();
    }
    Err.Clear();
    EXPECT_FALSE(db->OpenRecordset(QStringLiteral("SELECT FILES.* FROM FILES; DELETE FROM FILES")));
    EXPECT_EQ(Err.Number, errnum::kDbSyntax);
    EXPECT_EQ(rs->RecordCount(), 3);
}

TEST_F(CatalogDatabaseTest, WalkingAndCountingSeeWhatAnotherConnectionAdds) {
    const int count = 300;
    const QString file = makeCatalog(QStringLiteral("viele.bvk"), count);
    auto db = CatalogDatabase::open(file);
    auto other = CatalogDatabase::open(file);
    ASSERT_TRUE(db && other);
    auto rs = db->OpenRecordset(kQuery);
    auto writer = other->OpenRecordset(kQuery);
    ASSERT_TRUE(rs && writer);
    EXPECT_EQ(currentId(*rs), 1) << "a new recordset stands on its first record";

    qint64 walked = 0;
    qint64 last = 0;
    for (rs->MoveFirst(); !rs->EOF_(); rs->MoveNext()) {
        const qint64 id = currentId(*rs);
        EXPECT_GT(id, last);
        last = id;
        if (++walked == 10) {
            ASSERT_TRUE(addRecord(*writer, QStringLiteral("/src/neu")));
        }
    }
    EXPECT_EQ(walked, count + 1) << "the record added during the walk is met at its end";
    EXPECT_FALSE(rs->BOF());
    Err.Clear();
    rs->MoveNext();
    EXPECT_EQ(Err.Number, errnum::kDbNoCurrentRecord);

    rs->MoveLast();
    EXPECT_EQ(currentId(*rs), count + 1);
    EXPECT_EQ(text(*rs, "Eingangsdatei"), "/src/neu");
    EXPECT_EQ(rs->RecordCount(), count + 1);
    ASSERT_TRUE(writer->FindFirst(QStringLiteral("ID = 5")));
    ASSERT_TRUE(writer->Delete());
    EXPECT_EQ(rs->RecordCount(), count);
    ASSERT_TRUE(rs->FindFirst(QStringLiteral("ID = 5")));
    EXPECT_TRUE(rs->NoMatch());
}

// Finding and editing the same records over and over (as a run does, with its statements kept
// compiled) neither holds on to an old view of the catalog nor keeps another connection from
// writing in between; an edited record reads back as written.
TEST_F(CatalogDatabaseTest, RepeatedFindsAndEditsSeeAndLetThroughAnotherConnectionsWrites) {
    const QString file = makeCatalog(QStringLiteral("wechsel.bvk"), 3);
    auto db = CatalogDatabase::open(file);
    auto other = CatalogDatabase::open(file);
    ASSERT_TRUE(db && other);
    ASSERT_TRUE(other->setBusyTimeout(0));  // a lock left behind fails at once instead of waiting
    auto rs = db->OpenRecordset(kQuery);
    auto writer = other->OpenRecordset(kQuery);
    ASSERT_TRUE(rs && writer);
    const QDateTime when(QDate(2024, 2, 29), QTime(23, 59, 58));
    for (int round = 0; round < 3; ++round) {
        for (int id = 1; id <= 3; ++id) {
            const QString criteria = QStringLiteral("ID = %1").arg(id);
            ASSERT_TRUE(rs->FindFirst(criteria));
            ASSERT_FALSE(rs->NoMatch());
            const QString mine = QStringLiteral("gesichert %1/%2").arg(round).arg(id);
            ASSERT_TRUE(rs->Edit() && rs->SetField(QStringLiteral("Status"), mine) &&
                        rs->SetField(QStringLiteral("Dateidatum"), when) &&
                        rs->SetField(QStringLiteral("Dateigroesse"), qint64(round * 10 + id)) &&
                        rs->Update())
                << Err.Description.toStdString();
            EXPECT_EQ(text(*rs, "Status"), mine);
            QVariant date;
            ASSERT_TRUE(rs->Field(QStringLiteral("Dateidatum"), date));
            EXPECT_EQ(date.toDateTime(), when);

            const QString theirs = QStringLiteral("fremd %1/%2").arg(round).arg(id);
            ASSERT_TRUE(writer->FindFirst(criteria));
            ASSERT_TRUE(writer->Edit() && writer->SetField(QStringLiteral("Bemerkung"), theirs) &&
                        writer->Update())
                << "the other connection could not write: " << Err.Description.toStdString();
            ASSERT_TRUE(rs->FindFirst(criteria));
            EXPECT_EQ(text(*rs, "Bemerkung"), theirs)
                << "the next find sees the other connection's write";
            EXPECT_EQ(text(*rs, "Status"), mine);
        }
    }
    RawSql raw(file);
    EXPECT_EQ(raw.value(QStringLiteral("SELECT Dateigroesse FROM FILES WHERE ID = 3")).toLongLong(),
              23);
}

TEST_F(CatalogDatabaseTest, ABatchIsSeenByOthersOnlyWhenCommittedAndGoesWholeWhenItFails) {
    const QString file = makeCatalog(QStringLiteral("stapel.bvk"), 3);
    auto db = CatalogDatabase::open(file);
    auto other = CatalogDatabase::open(file);
    ASSERT_TRUE(db && other);
    ASSERT_TRUE(other->setBusyTimeout(0));
    auto rs = db->OpenRecordset(kQuery);
    auto theirs = other->OpenRecordset(kQuery);
    ASSERT_TRUE(rs && theirs);
    auto setStatus = [](Recordset& set, int id, const QString& status) {
        return set.FindFirst(QStringLiteral("ID = %1").arg(id)) && !set.NoMatch() && set.Edit() &&
               set.SetField(QStringLiteral("Status"), status) && set.Update();
    };
    auto statusOf = [](Recordset& set, int id) {
        return set.FindFirst(QStringLiteral("ID = %1").arg(id)) ? text(set, "Status") : QString();
    };

    ASSERT_TRUE(db->beginBatch()) << Err.Description.toStdString();
    EXPECT_TRUE(db->inBatch());
    ASSERT_TRUE(setStatus(*rs, 1, QStringLiteral("eins")));
    ASSERT_TRUE(setStatus(*rs, 2, QStringLiteral("zwei")));
    EXPECT_EQ(statusOf(*rs, 2), QStringLiteral("zwei")) << "the batch sees its own writes";
    EXPECT_EQ(statusOf(*theirs, 1), QString()) << "others read the last commit";
    EXPECT_FALSE(setStatus(*theirs, 3, QStringLiteral("fremd"))) << "and cannot write meanwhile";
    EXPECT_EQ(Err.Number, errnum::kDbLocked);
    ASSERT_TRUE(db->commitBatch());
    EXPECT_FALSE(db->inBatch());
    EXPECT_EQ(statusOf(*theirs, 1), QStringLiteral("eins"));
    EXPECT_EQ(statusOf(*theirs, 2), QStringLiteral("zwei"));
    EXPECT_TRUE(setStatus(*theirs, 3, QStringLiteral("fremd"))) << Err.Description.toStdString();

    // A write that fails inside the batch (here a trigger of whoever wrote the catalog refuses
    // it) takes the batch with it, also what came before.
    RawSql(file).rows(
        QStringLiteral("CREATE TRIGGER nein BEFORE UPDATE ON FILES WHEN NEW.Status = 'kaputt' "
                       "BEGIN SELECT RAISE(ABORT, 'nein'); END"));
    ASSERT_TRUE(db->beginBatch());
    ASSERT_TRUE(setStatus(*rs, 1, QStringLiteral("neu")));
    EXPECT_FALSE(setStatus(*rs, 2, QStringLiteral("kaputt")));
    EXPECT_NE(Err.Number, 0);
    EXPECT_FALSE(db->inBatch());
    EXPECT_TRUE(db->commitBatch()) << "nothing is left to commit";
    EXPECT_EQ(statusOf(*theirs, 1), QStringLiteral("eins"));
    EXPECT_EQ(statusOf(*rs, 1), QStringLiteral("eins"));

    // Closing the catalog in the middle of a batch drops what was not committed.
    ASSERT_TRUE(db->beginBatch());
    ASSERT_TRUE(setStatus(*rs, 1, QStringLiteral("offen")));
    db->Close();
    EXPECT_FALSE(db->inBatch());
    EXPECT_EQ(statusOf(*theirs, 1), QStringLiteral("eins"));
    EXPECT_TRUE(setStatus(*theirs, 1, QStringLiteral("danach"))) << "and leaves no lock";
}

#ifdef CATALOG_DB_HELPER
TEST_F(CatalogDatabaseTest, TwoProgramsAddingAtOnceLoseNothing) {
    const int perProgram = 200;
    const QString file = makeCatalog(QStringLiteral("geteilt.bvk"), 0);
    auto db = CatalogDatabase::open(file);
    ASSERT_TRUE(db);
    auto rs = db->OpenRecordset(kQuery);
    ASSERT_TRUE(rs);

    std::vector<std::unique_ptr<QProcess>> children;
    for (const char* tag : {"kind1", "kind2"}) {
        auto child = std::make_unique<QProcess>();
        child->start(QStringLiteral(CATALOG_DB_HELPER),
                     {"add", file, QString::number(perProgram), tag});
        ASSERT_TRUE(child->waitForStarted(10000));
        children.push_back(std::move(child));
    }
    for (auto& child : children) {
        while (!child->canReadLine())
            ASSERT_TRUE(child->waitForReadyRead(20000))
                << child->readAllStandardError().toStdString();
        ASSERT_EQ(child->readLine().trimmed(), "READY");
    }
    for (auto& child : children) child->write("go\n");
    for (int i = 0; i < perProgram; ++i) {
        ASSERT_TRUE(addRecord(*rs, QStringLiteral("eltern-%1").arg(i)))
            << Err.Description.toStdString();
        const qint64 id = currentId(*rs);
        ASSERT_TRUE(rs->FindFirst(QStringLiteral("ID = %1").arg(id)));
        ASSERT_TRUE(rs->Edit() &&
                    rs->SetField(QStringLiteral("Status"), QStringLiteral("eltern")) &&
                    rs->Update())
            << Err.Description.toStdString();
    }
    for (auto& child : children) {
        ASSERT_TRUE(child->waitForFinished(120000));
        const QString out = QString::fromUtf8(child->readAllStandardOutput());
        EXPECT_EQ(child->exitCode(), 0) << out.toStdString();
        EXPECT_EQ(out.trimmed(), "DONE");
        EXPECT_FALSE(QString::fromUtf8(child->readAllStandardError())
                         .contains("locked", Qt::CaseInsensitive));
    }

    EXPECT_EQ(rs->RecordCount(), 3 * perProgram);
    std::map<QString, std::set<QString>> sourcesByStatus;
    for (rs->MoveFirst(); !rs->EOF_(); rs->MoveNext())
        sourcesByStatus[text(*rs, "Status")].insert(text(*rs, "Eingangsdatei"));
    ASSERT_EQ(sourcesByStatus.size(), 3u);
    for (const char* tag : {"eltern", "kind1", "kind2"}) {
        const std::set<QString>& sources = sourcesByStatus[QString::fromLatin1(tag)];
        EXPECT_EQ(sources.size(), static_cast<size_t>(perProgram)) << tag;
        EXPECT_EQ(sources.count(QStringLiteral("%1-%2").arg(tag).arg(perProgram - 1)), 1u) << tag;
    }
}

// What a file dialog does when it shows the catalog's folder: it opens each file to guess its
// type from the first bytes, and closes it again.
void readAndClose(const QString& file) {
    QFile peek(file);
    if (peek.open(QIODevice::ReadOnly)) peek.read(512);
}

// Another program adds records and ends; its end checkpoints and deletes the -wal and -shm files
// when it believes itself the catalog's last user.
void addFromAnotherProgram(const QString& file, int count, const QString& tag) {
    QProcess child;
    child.start(QStringLiteral(CATALOG_DB_HELPER), {"add", file, QString::number(count), tag});
    ASSERT_TRUE(child.waitForStarted(10000));
    while (!child.canReadLine())
        ASSERT_TRUE(child.waitForReadyRead(20000)) << child.readAllStandardError().toStdString();
    ASSERT_EQ(child.readLine().trimmed(), "READY");
    child.write("go\n");
    ASSERT_TRUE(child.waitForFinished(60000));
    EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString();
}

TEST_F(CatalogDatabaseTest, ReadingTheCatalogFilesElsewhereInTheProcessKeepsTheCatalogShared) {
    const QString file = makeCatalog(QStringLiteral("geteilt.bvk"), 3);
    auto db = CatalogDatabase::open(file);
    ASSERT_TRUE(db);
    auto rs = db->OpenRecordset(kQuery);
    ASSERT_TRUE(rs);
    // A second connection of this process, as the refresh timer's is.
    auto second = CatalogDatabase::open(file);
    ASSERT_TRUE(second);
    auto secondRs = second->OpenRecordset(kQuery);
    ASSERT_TRUE(secondRs);
    ASSERT_TRUE(addRecord(*rs, QStringLiteral("vorher")));
    secondRs->MoveLast();
    EXPECT_EQ(secondRs->RecordCount(), 4);

    for (const char* suffix : {"", "-wal", "-shm"}) readAndClose(file + QLatin1String(suffix));
    addFromAnotherProgram(file, 20, QStringLiteral("anderes"));
    EXPECT_TRUE(QFile::exists(file + QStringLiteral("-wal")))
        << "the other program deleted the log under us";

    for (int i = 0; i < 5; ++i) ASSERT_TRUE(addRecord(*rs, QStringLiteral("nachher-%1").arg(i)));
    addFromAnotherProgram(file, 20, QStringLiteral("drittes"));
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(addRecord(*rs, QStringLiteral("zuletzt-%1").arg(i)));
    // SQLite's own shell takes the classic process locks; they meet ours all the same.
    readAndClose(file);
    ASSERT_EQ(
        QProcess::execute(
            QStringLiteral("sqlite3"),
            {file, QStringLiteral(
                       "INSERT INTO FILES (Eingangsdatei, Status) VALUES ('shell', 'shell')")}),
        0);
    EXPECT_TRUE(QFile::exists(file + QStringLiteral("-wal")));
    ASSERT_TRUE(addRecord(*rs, QStringLiteral("nach der Shell")));
    ASSERT_TRUE(secondRs->FindFirst(QStringLiteral("ID = 2")) && !secondRs->NoMatch());
    ASSERT_TRUE(secondRs->Edit() &&
                secondRs->SetField(QStringLiteral("Status"), QStringLiteral("zweite")) &&
                secondRs->Update());
    rs->Close();
    secondRs->Close();
    second->Close();
    db->Close();

    EXPECT_EQ(test::integrityCheck(file), QStringLiteral("ok"));
    RawSql raw(file);
    EXPECT_EQ(raw.value(QStringLiteral("SELECT COUNT(*) FROM FILES")).toInt(),
              3 + 1 + 20 + 5 + 20 + 5 + 1 + 1);
    for (const char* tag : {"anderes", "drittes"})
        EXPECT_EQ(
            raw.value(QStringLiteral("SELECT COUNT(*) FROM FILES WHERE Status = '%1'").arg(tag))
                .toInt(),
            20);
    EXPECT_EQ(raw.value(QStringLiteral("SELECT Status FROM FILES WHERE ID = 2")).toString(),
              QStringLiteral("zweite"));
}
#endif

int openDescriptors() {
    return static_cast<int>(
        QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size());
}

TEST_F(CatalogDatabaseTest, LockDescriptorsGoWithTheLastConnectionOfTheirCatalog) {
    ASSERT_TRUE(catalogLocksRouted()) << catalogLockingNote().toStdString();
    const QString file = makeCatalog(QStringLiteral("oft.bvk"), 2);
    const int before = openDescriptors();
    for (int i = 0; i < 100; ++i) {
        auto db = CatalogDatabase::open(file);
        ASSERT_TRUE(db);
        auto rs = db->OpenRecordset(kQuery);
        ASSERT_TRUE(rs && addRecord(*rs, QStringLiteral("/oft/%1").arg(i)));
    }
    EXPECT_EQ(openDescriptors(), before);
}

// ---- closing --------------------------------------------------------------------------------

QStringList gQtMessages;
void collectQtMessage(QtMsgType, const QMessageLogContext&, const QString& message) {
    gQtMessages << message;
}

TEST_F(CatalogDatabaseTest, CloseReleasesTheConnectionAndRetiresItsRecordsets) {
    gQtMessages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectQtMessage);
    const QString file = makeCatalog(QStringLiteral("zu.bvk"), 3);
    auto db = CatalogDatabase::open(file);
    ASSERT_TRUE(db);
    const QString connection = db->connectionName();
    auto walking = db->OpenRecordset(kQuery);
    auto counting = db->OpenRecordset(kQuery);
    ASSERT_TRUE(walking && counting);
    walking->MoveNext();  // a statement is running now
    EXPECT_NE(connection, CatalogDatabase::open(file)->connectionName());
    EXPECT_TRUE(QSqlDatabase::contains(connection));

    EXPECT_TRUE(db->Close());
    EXPECT_FALSE(db->isOpen());
    EXPECT_FALSE(QSqlDatabase::contains(connection));
    Err.Clear();
    walking->MoveNext();
    EXPECT_EQ(Err.Number, errnum::kDbObjectClosed);
    QVariant value;
    Err.Clear();
    EXPECT_FALSE(counting->Field(QStringLiteral("ID"), value));
    EXPECT_EQ(Err.Number, errnum::kDbObjectClosed);
    Err.Clear();
    EXPECT_FALSE(db->OpenRecordset(kQuery));
    EXPECT_EQ(Err.Number, errnum::kDbObjectClosed);
    EXPECT_TRUE(db->Close()) << "closing twice is harmless";

    // Destroying an open database closes it too, while a recordset of it lives on.
    auto again = CatalogDatabase::open(file);
    auto orphan = again->OpenRecordset(kQuery);
    const QString secondConnection = again->connectionName();
    again.reset();
    EXPECT_FALSE(QSqlDatabase::contains(secondConnection));
    EXPECT_TRUE(orphan->EOF_());
    orphan.reset();
    walking.reset();
    db.reset();
    qInstallMessageHandler(previous);
    EXPECT_TRUE(gQtMessages.isEmpty()) << gQtMessages.join('\n').toStdString();
    EXPECT_EQ(snapshot(dir_.path()).size(), 1u) << "no -wal or -shm file is left behind";
}

}  // namespace

TEST_F(CatalogDatabaseTest, RefusedSqliteFileInWalModeLeavesNoSideFiles) {
    const QString file = path(QStringLiteral("fremd.db"));
    ASSERT_EQ(QProcess::execute(
                  QStringLiteral("sqlite3"),
                  {file, QStringLiteral("PRAGMA journal_mode=WAL; CREATE TABLE other (x);")}),
              0);
    ASSERT_FALSE(QFile::exists(file + QStringLiteral("-wal")))
        << "sqlite3 removes them when it closes";
    const QByteArray before = test::readFile(file);
    EXPECT_FALSE(CatalogDatabase::open(file));
    EXPECT_EQ(test::readFile(file), before);
    EXPECT_FALSE(QFile::exists(file + QStringLiteral("-wal")));
    EXPECT_FALSE(QFile::exists(file + QStringLiteral("-shm")));
}
