#pragma once

#include <QString>

#include "catalog/CatalogListModel.h"

namespace bravel {

// The text of a search box that asks for no search: "Suchen" and 14 blanks (20 characters).
QString searchPlaceholder();

// True when the row's first column, or with allColumns any of its columns, contains term in any
// letter case. (Rows are 0-based here, so a Boolean answers where a row number or 0 would be
// ambiguous for row 0.)
bool gFindInList(const CatalogListModel& list, const QString& term, int row, bool allColumns);

enum class SearchOutcome {
    Placeholder,  // the text is the placeholder: nothing changed
    Emptied,      // empty text: every row normal, nothing selected
    Searched,     // rows marked: matches bold and selected, the rest greyed and silver
};

// The search box's change handling: splits text at "|", ignores empty terms, and
// marks every row. The caller forgets its current-row reference unless the outcome is
// Placeholder. The busy cursor is on meanwhile.
SearchOutcome gSearchList(CatalogListModel& list, const QString& text, bool allColumns);

}  // namespace bravel
