// The criteria "ID = <number>" of Recordset::FindFirst on a real small catalog: only a strict
// decimal ID is understood, nothing of the text ever reaches SQL, and the catalog stays as it was.

#include <QRegularExpression>
#include <QTemporaryDir>
#include <memory>

#include "FuzzSupport.h"
#include "platform/CatalogDatabase.h"

using namespace bravel;

namespace {
// Kept to the end of the process and never destroyed: a catalog must be closed while Qt Sql
// still exists, and libFuzzer ends the process through exit().
CatalogDatabase* gCatalog = nullptr;
Recordset* gRecords = nullptr;

qint64 currentId() {
    QVariant id;
    if (!gRecords->Field(QStringLiteral("ID"), id)) return -1;
    return id.toLongLong();
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::startApplication();
    static QTemporaryDir dir;
    gCatalog = CatalogDatabase::create(dir.filePath(QStringLiteral("criteria.bvk"))).release();
    if (!gCatalog) std::abort();
    gRecords = gCatalog->OpenRecordset(QStringLiteral("SELECT FILES.* FROM FILES")).release();
    if (!gRecords) std::abort();
    for (int i = 0; i < 3; ++i) {
        if (!gRecords->AddNew() ||
            !gRecords->SetField(QStringLiteral("Eingangsdatei"), QStringLiteral("/q/%1").arg(i)) ||
            !gRecords->Update())
            std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString criteria = fuzz::text(data, size);
    Err.Clear();
    gRecords->MoveFirst();
    const qint64 before = currentId();
    FUZZ_CHECK(before == 1);

    const bool ok = gRecords->FindFirst(criteria);
    // What a strict reading takes: blanks, "ID" in any case, "=", blanks, a signed decimal.
    static const QRegularExpression strict(
        QStringLiteral("^\\s*[iI][dD]\\s*=\\s*([-+]?[0-9]+)\\s*$"));
    const QRegularExpressionMatch match = strict.match(criteria);
    if (!ok) {
        FUZZ_CHECK(Err.Number == 3077 || Err.Number != 0);
        FUZZ_CHECK(currentId() == before);  // a failing find leaves the current record
    } else {
        // Anything taken is a number written in the text; a match stands on that record.
        if (!gRecords->NoMatch()) {
            const qint64 found = currentId();
            FUZZ_CHECK(found >= 1 && found <= 3);
            FUZZ_CHECK(criteria.contains(QString::number(found)));
        } else {
            FUZZ_CHECK(currentId() == before);
        }
    }
    if (match.hasMatch()) {
        bool inRange = false;
        const qint64 wanted = match.captured(1).toLongLong(&inRange);
        if (inRange) {
            FUZZ_CHECK(ok);
            const bool present = wanted >= 1 && wanted <= 3;
            FUZZ_CHECK(gRecords->NoMatch() == !present);
            if (present) FUZZ_CHECK(currentId() == wanted);
        }
    }
    // Nothing was written or removed.
    FUZZ_CHECK(gRecords->RecordCount() == 3);
    Err.Clear();
    return 0;
}
