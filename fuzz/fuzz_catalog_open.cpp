// Arbitrary bytes opened as a catalog: written to a file, opened, walked and closed. Nothing may
// crash, and a file that is not a catalog (or one already in WAL mode, which is what the program
// writes) must keep every byte.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "FuzzSupport.h"
#include "platform/CatalogDatabase.h"

using namespace bravel;

namespace {
QString gFolder;

QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QByteArray("<unreadable>");
    return file.readAll();
}

// Bytes 18 and 19 of an SQLite header: 2 and 2 in WAL mode.
bool walHeader(const QByteArray& bytes) {
    return bytes.size() >= 100 && bytes.startsWith("SQLite format 3") && bytes[18] == 2 &&
           bytes[19] == 2;
}

void walk(Recordset& records) {
    static const char* const fields[] = {
        "ID",         "Eingangsdatei", "Sicherungspfad", "Dateigroesse",
        "Dateidatum", "Status",        "Computerstatus", "Bemerkung"};
    records.MoveFirst();
    for (int n = 0; n < 200 && !records.EOF_(); ++n) {
        for (const char* name : fields) {
            QVariant value;
            records.Field(QString::fromLatin1(name), value);
        }
        records.MoveNext();
    }
    records.MoveLast();
    records.RecordCount();
    records.MoveFirst();
    records.FindFirst(QStringLiteral("ID = 1"));
    records.Close();
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::startApplication();
    static QTemporaryDir dir;
    gFolder = dir.path();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString path = gFolder + QStringLiteral("/input.bvk");
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QString::fromLatin1(suffix));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) std::abort();
    }

    fuzz::forgetErrors();
    std::unique_ptr<CatalogDatabase> catalog = CatalogDatabase::open(path);
    const bool opened = catalog != nullptr;
    if (catalog) {
        if (std::unique_ptr<Recordset> records =
                catalog->OpenRecordset(QStringLiteral("SELECT FILES.* FROM FILES")))
            walk(*records);
        catalog->Close();
        catalog.reset();
    } else {
        FUZZ_CHECK(Err.Number != 0);  // a refusal says why
    }
    Err.Clear();

    if (!opened || walHeader(bytes)) FUZZ_CHECK(readAll(path) == bytes);
    // A refused file leaves nothing beside it either, also when it claims to be in WAL mode.
    if (!opened) {
        FUZZ_CHECK(!QFile::exists(path + QStringLiteral("-wal")));
        FUZZ_CHECK(!QFile::exists(path + QStringLiteral("-journal")));
    }
    return 0;
}
