#include "listtools/ListSearch.h"

#include <QStringMatcher>
#include <vector>

#include "backup/Prog.h"

namespace bravel {
namespace {

// One prepared term: the matcher skips through each cell without lower-casing a copy of it,
// so searching costs no memory per row.
bool rowMatches(const CatalogListModel& list, const QStringMatcher& term, int row, bool allColumns) {
    const ListRow& item = list.row(row);
    if (item.cells.empty()) return false;
    if (term.indexIn(item.cells[0]) >= 0) return true;
    if (!allColumns) return false;
    const size_t columns = std::min(item.cells.size(), static_cast<size_t>(list.columnCount()));
    for (size_t c = 1; c < columns; ++c)
        if (term.indexIn(item.cells[c]) >= 0) return true;
    return false;
}

}  // namespace

QString searchPlaceholder() { return QStringLiteral("Suchen") + QString(14, QLatin1Char(' ')); }

bool gFindInList(const CatalogListModel& list, const QString& term, int row, bool allColumns) {
    if (row < 0 || row >= list.rowCount()) return false;
    const QStringMatcher matcher(term.toLower(), Qt::CaseInsensitive);
    return rowMatches(list, matcher, row, allColumns);
}

SearchOutcome gSearchList(CatalogListModel& list, const QString& text, bool allColumns) {
    gBusyOn();
    if (text == searchPlaceholder()) {
        gBusyOff();
        return SearchOutcome::Placeholder;
    }
    const int rows = list.rowCount();
    if (text.isEmpty()) {
        list.setRowMarks(std::vector<RowMark>(static_cast<size_t>(rows), RowMark::Normal));
        gBusyOff();
        return SearchOutcome::Emptied;
    }
    // Terms as typed, blanks included; empty ones are skipped.
    std::vector<QStringMatcher> terms;
    for (const QString& term : text.split(QLatin1Char('|')))
        if (!term.isEmpty()) terms.emplace_back(term.toLower(), Qt::CaseInsensitive);
    std::vector<RowMark> marks(static_cast<size_t>(rows), RowMark::NoMatch);
    for (int r = 0; r < rows; ++r) {
        for (const QStringMatcher& term : terms) {
            if (rowMatches(list, term, r, allColumns)) {
                marks[static_cast<size_t>(r)] = RowMark::Match;
                break;
            }
        }
    }
    list.setRowMarks(marks);
    gBusyOff();
    return SearchOutcome::Searched;
}

}  // namespace bravel
