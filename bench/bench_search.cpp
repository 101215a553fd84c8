// One keystroke of the list search over 100,000 rows of a main list with its nine
// columns and two computer columns, shown in a view, in the first column and in all columns;
// beside a plain QString::contains loop over the same cells that marks nothing. Also the
// peak memory before and after searching.
#include <QApplication>
#include <QTemporaryDir>

#include "BenchSupport.h"
#include "catalog/CatalogListModel.h"
#include "catalog/UiRowListView.h"
#include "listtools/ListSearch.h"

using namespace bravel;

namespace {

constexpr int kRows = 100000;

void fill(CatalogListModel& model) {
    std::vector<ListColumn> columns;
    for (const char* header : {"Eingangsdatei", "Sicherungspfad", "KByte", "Geändert", "Status",
                               "OAttr", "ZAttr", "", "Host und Datum;", "PC1", "LAPTOP"})
        columns.push_back(ListColumn{QString::fromUtf8(header), 1000, QString()});
    model.setColumns(columns);
    std::vector<ListRow> rows;
    rows.reserve(kRows);
    for (int i = 0; i < kRows; ++i) {
        ListRow row;
        row.key = QString::number(i + 1) + QLatin1Char('a');
        // Every hundredth file is a "Bericht"; every other folder holds "Projekte".
        const QString name = i % 100 == 0 ? QStringLiteral("Bericht %1.docx").arg(i)
                                          : QStringLiteral("datei %1.txt").arg(i);
        row.cells = {QStringLiteral("/home/benutzer/dokumente/ordner %1/").arg(i / 100) + name,
                     QStringLiteral("/media/sicherung/%1/ordner %2")
                         .arg(i % 2 ? "Projekte" : "Archiv")
                         .arg(i / 100),
                     QStringLiteral("                  12"),
                     QStringLiteral("01.12.2026 10:00:00"),
                     QStringLiteral(" gesichert (01.12.2026 10:00:00)"),
                     QStringLiteral("A"),
                     QString(),
                     QString::number(i + 1),
                     QStringLiteral("PC120261201;LAPTOP20261130;"),
                     QStringLiteral("20261201"),
                     QStringLiteral("20261130")};
        row.colors.assign(row.cells.size(), listcolor::kBlack);
        rows.push_back(std::move(row));
    }
    model.appendRows(std::move(rows));
}

// The baseline: one contains per searched cell, nothing marked.
int plainContains(const CatalogListModel& model, const QString& term, bool allColumns) {
    int hits = 0;
    const int columns = allColumns ? model.columnCount() : 1;
    for (int r = 0; r < model.rowCount(); ++r)
        for (int c = 0; c < columns; ++c)
            if (model.row(r).cells[static_cast<size_t>(c)].contains(term, Qt::CaseInsensitive)) {
                ++hits;
                break;
            }
    return hits;
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    bench::prepareEnvironment(home.path());
    QApplication app(argc, argv);
    CatalogListModel model;
    fill(model);
    UiRowListView view;
    view.setUniformRowHeights(true);
    view.showList(model);
    view.resize(1000, 600);
    if (qEnvironmentVariableIsEmpty("BENCH_NO_VIEW")) view.show();
    QCoreApplication::processEvents();
    const double memoryFilled = bench::peakResidentMb();

    struct Case {
        QString name;
        QString text;
        bool allColumns;
    };
    const Case cases[] = {
        {QStringLiteral("first column, 1% matches"), QStringLiteral("bericht"), false},
        {QStringLiteral("first column, no match"), QStringLiteral("xyz"), false},
        {QStringLiteral("first column, two terms"), QStringLiteral("bericht|xyz"), false},
        {QStringLiteral("all columns, 1% matches"), QStringLiteral("bericht"), true},
        {QStringLiteral("all columns, no match"), QStringLiteral("xyz"), true},
        {QStringLiteral("all columns, every other row"), QStringLiteral("projekte"), true},
    };
    for (const Case& c : cases) {
        const double search = bench::bestSeconds(5, [&] {
            gSearchList(model, QString(), c.allColumns);  // the keystroke before
            gSearchList(model, c.text, c.allColumns);
            QCoreApplication::processEvents();  // the view repaints
        });
        const double empty =
            bench::bestSeconds(5, [&] { gSearchList(model, QString(), c.allColumns); });
        const double baseline = bench::bestSeconds(5, [&] {
            for (const QString& term : c.text.split(QLatin1Char('|')))
                if (!term.isEmpty()) plainContains(model, term, c.allColumns);
        });
        bench::printFigure(QStringLiteral("search keystroke over 100000 rows, ") + c.name,
                           (search - empty) * 1000, QStringLiteral("ms"),
                           QStringLiteral("plain QString::contains loop"), baseline * 1000);
    }
    const double emptying = bench::bestSeconds(5, [&] {
        gSearchList(model, QStringLiteral("bericht"), false);
        gSearchList(model, QString(), false);
    });
    bench::printFigure(QStringLiteral("search and emptying the box over 100000 rows"),
                       emptying * 1000, QStringLiteral("ms"), QStringLiteral("limit"), 50);
    bench::printFigure(QStringLiteral("peak memory after searching 100000 rows"),
                       bench::peakResidentMb(), QStringLiteral("MB"),
                       QStringLiteral("peak memory before searching"), memoryFilled);
    return 0;
}
