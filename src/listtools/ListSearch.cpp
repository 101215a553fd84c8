#include "listtools/ListSearch.h"

#include <QStringMatcher>
#include <vector>

#include "base/Prog.h"

namespace bravel {
namespace {

char16_t folded(char16_t unit) {
    if (unit < 0x80)
        return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit | 0x20) : unit;
    return static_cast<char16_t>(QChar::toCaseFolded(static_cast<char32_t>(unit)));
}

// One search term, found in a cell as a case-insensitive QString::contains would find it: both
// sides folded unit by unit, ASCII letters with a bit operation. Nothing is copied per cell.
// A term with a character beyond the Basic Multilingual Plane (a surrogate pair) is left to
// QStringMatcher, which folds such pairs as one character.
class SearchTerm {
  public:
    explicit SearchTerm(const QString& term) : matcher_(term, Qt::CaseInsensitive) {
        folded_.reserve(static_cast<size_t>(term.size()));
        for (const QChar ch : term) {
            if (ch.isSurrogate()) hasSurrogates_ = true;
            folded_.push_back(folded(ch.unicode()));
        }
    }

    bool foundIn(const QString& text) const {
        if (hasSurrogates_) return matcher_.indexIn(text) >= 0;
        const qsizetype length = static_cast<qsizetype>(folded_.size());
        if (length == 0) return true;
        const QChar* units = text.constData();
        const char16_t first = folded_[0];
        for (qsizetype start = 0; start + length <= text.size(); ++start) {
            if (folded(units[start].unicode()) != first) continue;
            qsizetype k = 1;
            while (k < length &&
                   folded(units[start + k].unicode()) == folded_[static_cast<size_t>(k)])
                ++k;
            if (k == length) return true;
        }
        return false;
    }

  private:
    std::vector<char16_t> folded_;
    QStringMatcher matcher_;
    bool hasSurrogates_ = false;
};

bool rowMatches(const CatalogListModel& list, const SearchTerm& term, int row, bool allColumns) {
    const ListRow& item = list.row(row);
    if (item.cells.empty()) return false;
    if (term.foundIn(item.cells[0])) return true;
    if (!allColumns) return false;
    const size_t columns = std::min(item.cells.size(), static_cast<size_t>(list.columnCount()));
    for (size_t c = 1; c < columns; ++c)
        if (term.foundIn(item.cells[c])) return true;
    return false;
}

}  // namespace

QString searchPlaceholder() {
    return QStringLiteral("Suchen") + QString(14, QLatin1Char(' '));
}

bool gFindInList(const CatalogListModel& list, const QString& term, int row, bool allColumns) {
    if (row < 0 || row >= list.rowCount()) return false;
    return rowMatches(list, SearchTerm(term), row, allColumns);
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
    std::vector<SearchTerm> terms;
    for (const QString& term : text.split(QLatin1Char('|')))
        if (!term.isEmpty()) terms.emplace_back(term);
    std::vector<RowMark> marks(static_cast<size_t>(rows), RowMark::NoMatch);
    for (int r = 0; r < rows; ++r) {
        for (const SearchTerm& term : terms) {
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
