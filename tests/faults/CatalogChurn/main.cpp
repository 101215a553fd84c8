// The second running copy of Bravel for the fault suite: on one catalog, it adds entries the way
// the entry editor does (mSaveEntries) and removes every other one again the way the main
// window's removal does (find by ID, Delete), until a stop file appears.
//
//   catalog_churn <catalog> <backup folder> <stop file>
//
// Prints "READY" once the catalog is open, then at the end "ADDED <n> REMOVED <n> FAILED <n>",
// one "KEPT <id> <source>" per entry it left in the catalog and one "FAIL <number> <text>" per
// failure (a message box counts as one). Exit code 0 when nothing failed.
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <vector>

#include "catalog/EntryWriter.h"
#include "errors/COLError.h"
#include "platform/CatalogDatabase.h"
#include "platform/Dialogs.h"
#include "platform/Err.h"

using namespace bravel;

namespace {

QTextStream out(stdout);
int failures = 0;

void fail(const QString& what) {
    ++failures;
    out << "FAIL " << Err.Number << ' ' << what << ' ' << Err.Description << Qt::endl;
}

// No person is there: every message box is a failure worth reporting.
class ReportingDialogs : public Dialogs {
  public:
    MsgResult messageBox(const QString& text, const QString&, MsgIcon, MsgButtons) override {
        fail(QStringLiteral("message: ") + text);
        return MsgResult::Ok;
    }
    std::optional<QStringList> openFiles(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> saveFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> browseFolder(const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<quint32> chooseColor(quint32, const QString&) override { return std::nullopt; }
    std::optional<QFont> chooseFont(const QFont&, const QString&) override { return std::nullopt; }
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ReportingDialogs reporting;
    setDialogs(&reporting);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        out << "usage: catalog_churn <catalog> <backup folder> <stop file>" << Qt::endl;
        return 2;
    }
    const QString folder = args[2];
    const QString stopFile = args[3];

    auto db = CatalogDatabase::open(args[1]);
    if (!db) {
        fail(QStringLiteral("open"));
        return 1;
    }
    auto rset = db->OpenRecordset(QStringLiteral("SELECT FILES.* FROM FILES"));
    if (!rset) {
        fail(QStringLiteral("OpenRecordset"));
        return 1;
    }
    out << "READY" << Qt::endl;

    struct Added {
        qint64 id;
        QString source;
    };
    std::vector<Added> kept;
    int added = 0;
    int removed = 0;
    for (int i = 0; i < 1000000 && !QFile::exists(stopFile); ++i) {
        const QString source = QStringLiteral("/churn/%1-%2.txt").arg(::getpid()).arg(i);
        gSelectedFiles = QStringList{source};
        Err.Clear();
        mSaveEntries(rset.get(), SaveMode::AddNew, folder);
        QVariant id, name;
        if (!rset->Field(QStringLiteral("ID"), id) ||
            !rset->Field(QStringLiteral("Eingangsdatei"), name) || name.toString() != source) {
            fail(QStringLiteral("add ") + source);
            continue;
        }
        ++added;
        kept.push_back({id.toLongLong(), source});
        if (i % 2 == 1) {
            // The one added before this one goes again.
            const Added gone = kept[kept.size() - 2];
            Err.Clear();
            rset->MoveFirst();
            if (!rset->FindFirst(QStringLiteral("ID = ") + QString::number(gone.id)) ||
                rset->NoMatch() || !rset->Delete()) {
                fail(QStringLiteral("remove ID = ") + QString::number(gone.id));
                continue;
            }
            ++removed;
            kept.erase(kept.end() - 2);
        }
    }
    for (int i = 1; i <= gErrorStack.Count(); ++i) {
        const auto item = gErrorStack.Item(i);
        ++failures;
        out << "FAIL " << item->ErrNumber() << " recorded " << item->ErrModul() << ' '
            << item->ErrEvent() << Qt::endl;
    }
    out << "ADDED " << added << " REMOVED " << removed << " FAILED " << failures << Qt::endl;
    for (const Added& entry : kept) out << "KEPT " << entry.id << ' ' << entry.source << Qt::endl;
    rset->Close();
    db->Close();
    return failures == 0 ? 0 : 1;
}
