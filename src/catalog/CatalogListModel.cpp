#include "catalog/CatalogListModel.h"

#include <QColor>
#include <QFont>
#include <algorithm>
#include <numeric>

#include "platform/Colors.h"

namespace bravel {

CatalogListModel::CatalogListModel(QObject* parent) : QAbstractTableModel(parent), selection_(this) {
    // A check box is a view of the selection: repaint it whenever the selection changes.
    connect(&selection_, &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected, const QItemSelection& deselected) {
                for (const QItemSelection* part : {&selected, &deselected})
                    for (const QItemSelectionRange& range : *part)
                        emit dataChanged(index(range.top(), 0), index(range.bottom(), 0),
                                         {Qt::CheckStateRole});
            });
}

int CatalogListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int CatalogListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant CatalogListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const int r = index.row();
    const int c = index.column();
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole: return cell(r, c);
        case Qt::ForegroundRole: return colorFromBgr(cellColor(r, c));
        case Qt::FontRole:
            if (c == 0 && rows_[static_cast<size_t>(r)].bold) {
                QFont bold;  // resolved against the view's font: only the weight is set
                bold.setBold(true);
                return bold;
            }
            return {};
        case kGhostedRole: return c == 0 && rows_[static_cast<size_t>(r)].ghosted;
        case Qt::CheckStateRole:
            if (c == 0) return isRowSelected(r) ? Qt::Checked : Qt::Unchecked;
            return {};
        default: return {};
    }
}

bool CatalogListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    // Ticking a check box selects its row.
    if (role != Qt::CheckStateRole || index.column() != 0) return false;
    setRowSelected(index.row(), value.toInt() == Qt::Checked);
    return true;
}

QVariant CatalogListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    if (role == Qt::DisplayRole) return columns_[static_cast<size_t>(section)].header;
    if (role == Qt::UserRole) return columns_[static_cast<size_t>(section)].headerIcon;
    return {};
}

Qt::ItemFlags CatalogListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == 0) result |= Qt::ItemIsUserCheckable;
    return result;
}

void CatalogListModel::setColumns(std::vector<ListColumn> columns) {
    beginResetModel();
    columns_ = std::move(columns);
    for (ListRow& row : rows_) {
        row.cells.resize(columns_.size());
        row.colors.resize(columns_.size(), listcolor::kBlack);
    }
    endResetModel();
}

int CatalogListModel::findColumn(const QString& header) const {
    for (size_t c = 0; c < columns_.size(); ++c)
        if (columns_[c].header == header) return static_cast<int>(c);
    return -1;
}

int CatalogListModel::addColumn(const ListColumn& column) {
    const int position = columnCount();
    beginInsertColumns(QModelIndex(), position, position);
    columns_.push_back(column);
    for (ListRow& row : rows_) {
        row.cells.emplace_back();
        row.colors.push_back(listcolor::kBlack);
    }
    endInsertColumns();
    return position;
}

void CatalogListModel::removeColumnsFrom(int first) {
    if (first >= columnCount()) return;
    beginRemoveColumns(QModelIndex(), first, columnCount() - 1);
    columns_.resize(static_cast<size_t>(first));
    for (ListRow& row : rows_) {
        row.cells.resize(columns_.size());
        row.colors.resize(columns_.size());
    }
    endRemoveColumns();
}

void CatalogListModel::setColumnWidth(int column, double twips) {
    if (column < 0 || column >= columnCount()) return;
    columns_[static_cast<size_t>(column)].widthTwips = twips;
}

void CatalogListModel::setColumnHeader(int column, const QString& header) {
    if (column < 0 || column >= columnCount()) return;
    columns_[static_cast<size_t>(column)].header = header;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void CatalogListModel::clearRows() {
    beginResetModel();
    selection_.clear();
    rows_.clear();
    endResetModel();
}

void CatalogListModel::appendRows(std::vector<ListRow>&& rows) {
    if (rows.empty()) return;
    for (ListRow& row : rows) {
        row.cells.resize(columns_.size());
        row.colors.resize(columns_.size(), listcolor::kBlack);
    }
    const int first = rowCount();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(rows.size()) - 1);
    rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    endInsertRows();
}

int CatalogListModel::appendRow(ListRow row) {
    std::vector<ListRow> one;
    one.push_back(std::move(row));
    appendRows(std::move(one));
    return rowCount() - 1;
}

QString CatalogListModel::cell(int r, int c) const {
    const ListRow& item = rows_[static_cast<size_t>(r)];
    return c >= 0 && c < static_cast<int>(item.cells.size()) ? item.cells[static_cast<size_t>(c)] : QString();
}

quint32 CatalogListModel::cellColor(int r, int c) const {
    const ListRow& item = rows_[static_cast<size_t>(r)];
    return c >= 0 && c < static_cast<int>(item.colors.size()) ? item.colors[static_cast<size_t>(c)]
                                                              : listcolor::kBlack;
}

void CatalogListModel::setCell(int r, int c, const QString& text) {
    if (r < 0 || r >= rowCount() || c < 0 || c >= columnCount()) return;
    rows_[static_cast<size_t>(r)].cells[static_cast<size_t>(c)] = text;
    emit dataChanged(index(r, c), index(r, c), {Qt::DisplayRole});
}

void CatalogListModel::setCellColor(int r, int c, quint32 color) {
    if (r < 0 || r >= rowCount() || c < 0 || c >= columnCount()) return;
    rows_[static_cast<size_t>(r)].colors[static_cast<size_t>(c)] = color;
    emit dataChanged(index(r, c), index(r, c), {Qt::ForegroundRole});
}

void CatalogListModel::setRowColor(int r, quint32 color) {
    if (r < 0 || r >= rowCount()) return;
    std::fill(rows_[static_cast<size_t>(r)].colors.begin(), rows_[static_cast<size_t>(r)].colors.end(), color);
    emit dataChanged(index(r, 0), index(r, columnCount() - 1), {Qt::ForegroundRole});
}

void CatalogListModel::setRowMarks(const std::vector<RowMark>& marks) {
    if (rows_.empty()) return;
    // The selection is built as runs of matching rows and set in one step.
    QItemSelection matches;
    const int last = columnCount() - 1;
    int runStart = -1;
    const int count = rowCount();
    for (int r = 0; r <= count; ++r) {
        const RowMark mark = r < count && static_cast<size_t>(r) < marks.size() ? marks[static_cast<size_t>(r)]
                                                                               : RowMark::Normal;
        if (r < count) {
            ListRow& row = rows_[static_cast<size_t>(r)];
            row.bold = mark == RowMark::Match;
            row.ghosted = mark == RowMark::NoMatch;
            if (!row.colors.empty()) row.colors[0] = row.ghosted ? listcolor::kSilver : listcolor::kBlack;
        }
        const bool selected = r < count && mark == RowMark::Match;
        if (selected && runStart < 0) runStart = r;
        if (!selected && runStart >= 0) {
            matches.append(QItemSelectionRange(index(runStart, 0), index(r - 1, std::max(0, last))));
            runStart = -1;
        }
    }
    // Cleared first, so that the new selection is not compared range by range with the old one;
    // the runs already span every column, so no row expansion is asked for either (both are
    // quadratic in the number of runs inside QItemSelectionModel).
    selection_.clearSelection();
    if (!matches.isEmpty()) selection_.select(matches, QItemSelectionModel::Select);
    // The marks belong to the row text (the first column) only, like a list item's own marks.
    emit dataChanged(index(0, 0), index(count - 1, 0), {Qt::FontRole, Qt::ForegroundRole, kGhostedRole});
}

bool CatalogListModel::isRowSelected(int r) const {
    // Column 0 decides: a column added after the selection was made must not unselect rows.
    return selection_.isSelected(index(r, 0));
}

void CatalogListModel::setRowSelected(int r, bool selected) {
    if (r < 0 || r >= rowCount()) return;
    if (isRowSelected(r) == selected) return;
    selection_.select(index(r, 0), (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                                       QItemSelectionModel::Rows);
}

void CatalogListModel::selectAll(bool selected) {
    if (rowCount() == 0) return;
    if (!selected) {
        selection_.clearSelection();
        return;
    }
    const QItemSelection all(index(0, 0), index(rowCount() - 1, std::max(0, columnCount() - 1)));
    selection_.select(all, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

std::vector<int> CatalogListModel::selectedRows() const {
    std::vector<int> result;
    for (const QItemSelectionRange& range : selection_.selection())
        for (int r = range.top(); r <= range.bottom(); ++r) result.push_back(r);
    std::sort(result.begin(), result.end());
    result.erase(std::unique(result.begin(), result.end()), result.end());
    return result;
}

int CatalogListModel::selectedRowCount() const { return static_cast<int>(selectedRows().size()); }

void CatalogListModel::sortRows(int column, Qt::SortOrder order) {
    sortColumn_ = column;
    sortOrder_ = order;
    if (rows_.size() < 2 || column < 0 || column >= columnCount()) return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const std::vector<int> selected = selectedRows();
    std::vector<char> wasSelected(rows_.size(), 0);
    for (int r : selected) wasSelected[static_cast<size_t>(r)] = 1;

    // Case-folded once per row, so the comparisons that follow are plain ones.
    const auto c = static_cast<size_t>(column);
    std::vector<QString> foldedKeys;
    foldedKeys.reserve(rows_.size());
    for (const ListRow& row : rows_) foldedKeys.push_back(row.cells[c].toCaseFolded());
    std::vector<size_t> order_(rows_.size());
    std::iota(order_.begin(), order_.end(), 0);
    std::stable_sort(order_.begin(), order_.end(), [&](size_t a, size_t b) {
        return order == Qt::AscendingOrder ? foldedKeys[a] < foldedKeys[b] : foldedKeys[b] < foldedKeys[a];
    });
    std::vector<ListRow> sorted;
    sorted.reserve(rows_.size());
    QItemSelection newSelection;
    for (size_t position = 0; position < order_.size(); ++position) {
        sorted.push_back(std::move(rows_[order_[position]]));
        if (wasSelected[order_[position]]) {
            const int r = static_cast<int>(position);
            newSelection.select(index(r, 0), index(r, columnCount() - 1));
        }
    }
    rows_ = std::move(sorted);
    const QModelIndexList persistent = persistentIndexList();
    changePersistentIndexList(persistent, QModelIndexList(persistent.size()));
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    selection_.select(newSelection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

int CatalogListModel::indexFromKey(const QString& key) {
    int value = 0;
    for (const QChar ch : key) {
        if (!ch.isDigit()) break;
        value = value * 10 + ch.digitValue();
    }
    return value;
}

}  // namespace bravel
