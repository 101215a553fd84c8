#include "catalog/CatalogListModel.h"

#include <QCollator>
#include <QColor>
#include <QFont>
#include <algorithm>
#include <functional>
#include <iterator>
#include <limits>
#include <numeric>
#include <thread>

#include "platform/Colors.h"

namespace bravel {
namespace {

// Every key is made once per row, so the comparisons of the sort that follows are cheap ones.
template <typename Key, typename Less>
std::vector<size_t> stableOrder(const std::vector<Key>& keys, Qt::SortOrder order, Less less) {
    std::vector<size_t> positions(keys.size());
    std::iota(positions.begin(), positions.end(), 0);
    std::stable_sort(positions.begin(), positions.end(), [&](size_t a, size_t b) {
        return order == Qt::AscendingOrder ? less(keys[a], keys[b]) : less(keys[b], keys[a]);
    });
    return positions;
}

// The collation keys of rows first to end of a column, in the user's locale ("Ärger" before
// "zeile"), ignoring case. Each caller has a collator of its own: one is not to be shared by
// threads.
std::vector<QCollatorSortKey> collationKeys(const std::vector<ListRow>& rows, size_t column,
                                            size_t first, size_t end) {
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(end - first);
    for (size_t r = first; r < end; ++r) keys.push_back(collator.sortKey(rows[r].cells[column]));
    return keys;
}

std::vector<size_t> orderByText(const std::vector<ListRow>& rows, size_t column,
                                Qt::SortOrder order) {
    // Making the keys is most of the sort's time (a third of a second for 100,000 paths), so
    // long lists make them on every core.
    constexpr size_t kRowsPerThread = 10000;
    const size_t threads = std::min<size_t>(
        {std::max(1u, std::thread::hardware_concurrency()), 8, rows.size() / kRowsPerThread + 1});
    const size_t share = rows.size() / threads + 1;
    std::vector<std::vector<QCollatorSortKey>> parts(threads);
    std::vector<std::thread> helpers;
    for (size_t t = 1; t < threads; ++t)
        helpers.emplace_back([&, t] {
            parts[t] = collationKeys(rows, column, std::min(rows.size(), t * share),
                                     std::min(rows.size(), (t + 1) * share));
        });
    parts[0] = collationKeys(rows, column, 0, std::min(rows.size(), share));
    for (std::thread& helper : helpers) helper.join();
    std::vector<QCollatorSortKey> keys = std::move(parts[0]);
    keys.reserve(rows.size());
    for (size_t t = 1; t < threads; ++t)
        std::move(parts[t].begin(), parts[t].end(), std::back_inserter(keys));
    return stableOrder(keys, order, [](const QCollatorSortKey& a, const QCollatorSortKey& b) {
        return a.compare(b) < 0;
    });
}

std::vector<size_t> orderByPlainText(const std::vector<ListRow>& rows, size_t column,
                                     Qt::SortOrder order) {
    std::vector<QStringView> keys;
    keys.reserve(rows.size());
    for (const ListRow& row : rows) keys.push_back(row.cells[column]);
    return stableOrder(keys, order, [](QStringView a, QStringView b) { return a.compare(b) < 0; });
}

std::vector<size_t> orderByDate(const std::vector<ListRow>& rows, Qt::SortOrder order) {
    std::vector<qint64> keys;
    keys.reserve(rows.size());
    for (const ListRow& row : rows)
        keys.push_back(row.sortDate.isValid() ? row.sortDate.toMSecsSinceEpoch()
                                              : std::numeric_limits<qint64>::min());
    return stableOrder(keys, order, std::less<qint64>());
}

}  // namespace

// ---- selection model -------------------------------------------------------------------------

RowSelectionModel::RowSelectionModel(CatalogListModel& model)
    : QItemSelectionModel(&model), model_(model) {}

void RowSelectionModel::select(const QModelIndex& index,
                               QItemSelectionModel::SelectionFlags command) {
    select(QItemSelection(index, index), command);
}

void RowSelectionModel::select(const QItemSelection& selection,
                               QItemSelectionModel::SelectionFlags command) {
    if (!(command & (Clear | Select | Deselect | Toggle))) return;
    const int rows = model_.rowCount();
    const bool replacesLast = (command & Current) &&
                              versionAfterLast_ == model_.selectionVersion() &&
                              beforeLast_.size() == static_cast<size_t>(rows);
    // What the command works on: nothing after Clear, the state before the last command when it
    // replaces that one, otherwise the present selection.
    std::vector<char> base(static_cast<size_t>(rows), 0);
    if (!(command & Clear))
        for (int r = 0; r < rows; ++r)
            base[static_cast<size_t>(r)] =
                replacesLast ? beforeLast_[static_cast<size_t>(r)] : model_.isRowSelected(r);
    std::vector<char> target = base;
    for (const QItemSelectionRange& range : selection) {
        if (!range.isValid() || range.model() != &model_) continue;
        for (int r = std::max(0, range.top()); r <= std::min(rows - 1, range.bottom()); ++r) {
            char& state = target[static_cast<size_t>(r)];
            if (command & Toggle)
                state = !base[static_cast<size_t>(r)];
            else if (command & Deselect)
                state = 0;
            else if (command & Select)
                state = 1;
        }
    }
    beforeLast_ = std::move(base);
    model_.selectRowsWhere([&target](int r) { return target[static_cast<size_t>(r)] != 0; });
    versionAfterLast_ = model_.selectionVersion();
}

void RowSelectionModel::clear() {
    model_.selectAll(false);
    QItemSelectionModel::clear();
}

void RowSelectionModel::reset() {
    model_.selectAll(false);
    QItemSelectionModel::reset();
}

void RowSelectionModel::announce(int first, int last) {
    if (first > last || last >= model_.rowCount()) return;
    // One range over the changed rows: the views repaint that band, check boxes included.
    emit selectionChanged(QItemSelection(model_.index(first, 0),
                                         model_.index(last, std::max(0, model_.columnCount() - 1))),
                          QItemSelection());
}

// ---- model -----------------------------------------------------------------------------------

CatalogListModel::CatalogListModel(QObject* parent)
    : QAbstractTableModel(parent), selection_(*this) {}

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
        case Qt::ToolTipRole:
            return cell(r, c);
        case Qt::ForegroundRole:
            return colorFromBgr(cellColor(r, c));
        case Qt::FontRole:
            if (c == 0 && rows_[static_cast<size_t>(r)].bold) {
                QFont bold;  // resolved against the view's font: only the weight is set
                bold.setBold(true);
                return bold;
            }
            return {};
        case kGhostedRole:
            return c == 0 && rows_[static_cast<size_t>(r)].ghosted;
        case Qt::CheckStateRole:
            if (c == 0) return isRowSelected(r) ? Qt::Checked : Qt::Unchecked;
            return {};
        default:
            return {};
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
    if (role == Qt::DecorationRole) {
        const auto picture =
            headerPictures_.find(columns_[static_cast<size_t>(section)].headerIcon);
        if (picture != headerPictures_.end()) return picture->second;
    }
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

void CatalogListModel::setHeaderPictures(std::map<QString, QIcon> pictures) {
    headerPictures_ = std::move(pictures);
    if (!columns_.empty()) emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
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
        // Exactly one more: left to itself, each of 100,000 rows would double its room.
        row.cells.reserve(row.cells.size() + 1);
        row.colors.reserve(row.colors.size() + 1);
        row.cells.emplace_back();
        row.colors.push_back(listcolor::kBlack);
    }
    endInsertColumns();
    return position;
}

int CatalogListModel::hostColumn(const QString& host) {
    if (host.isEmpty()) return -1;
    for (int c = col::kFixedColumns; c < columnCount(); ++c)
        if (columns_[static_cast<size_t>(c)].header == host) return c;
    return addColumn({host, 1200, QStringLiteral("pc")});
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
    rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()),
                 std::make_move_iterator(rows.end()));
    endInsertRows();
}

int CatalogListModel::appendRow(ListRow row) {
    std::vector<ListRow> one;
    one.push_back(std::move(row));
    appendRows(std::move(one));
    return rowCount() - 1;
}

void CatalogListModel::replaceRow(int r, ListRow row) {
    if (r < 0 || r >= rowCount()) return;
    ListRow& kept = rows_[static_cast<size_t>(r)];
    row.cells.resize(columns_.size());
    row.colors.resize(columns_.size(), listcolor::kBlack);
    row.selected = kept.selected;
    row.tag = kept.tag;
    row.bold = kept.bold;
    row.ghosted = kept.ghosted;
    kept = std::move(row);
    emit dataChanged(index(r, 0), index(r, columnCount() - 1));
}

QString CatalogListModel::cell(int r, int c) const {
    const ListRow& item = rows_[static_cast<size_t>(r)];
    return c >= 0 && c < static_cast<int>(item.cells.size()) ? item.cells[static_cast<size_t>(c)]
                                                             : QString();
}

quint32 CatalogListModel::cellColor(int r, int c) const {
    const ListRow& item = rows_[static_cast<size_t>(r)];
    return c >= 0 && c < static_cast<int>(item.colors.size()) ? item.colors[static_cast<size_t>(c)]
                                                              : listcolor::kBlack;
}

void CatalogListModel::setCell(int r, int c, const QString& text) {
    if (r < 0 || r >= rowCount() || c < 0 || c >= columnCount()) return;
    QString& cell = rows_[static_cast<size_t>(r)].cells[static_cast<size_t>(c)];
    if (cell == text && cell.isNull() == text.isNull()) return;  // nothing to repaint
    cell = text;
    emit dataChanged(index(r, c), index(r, c), {Qt::DisplayRole});
}

void CatalogListModel::setCellColor(int r, int c, quint32 color) {
    if (r < 0 || r >= rowCount() || c < 0 || c >= columnCount()) return;
    quint32& cellColor = rows_[static_cast<size_t>(r)].colors[static_cast<size_t>(c)];
    if (cellColor == color) return;  // nothing to repaint
    cellColor = color;
    emit dataChanged(index(r, c), index(r, c), {Qt::ForegroundRole});
}

void CatalogListModel::setRowColor(int r, quint32 color) {
    if (r < 0 || r >= rowCount()) return;
    std::fill(rows_[static_cast<size_t>(r)].colors.begin(),
              rows_[static_cast<size_t>(r)].colors.end(), color);
    emit dataChanged(index(r, 0), index(r, columnCount() - 1), {Qt::ForegroundRole});
}

void CatalogListModel::setRowMarks(const std::vector<RowMark>& marks) {
    if (rows_.empty()) return;
    const auto markOf = [&marks](int r) {
        return static_cast<size_t>(r) < marks.size() ? marks[static_cast<size_t>(r)]
                                                     : RowMark::Normal;
    };
    for (int r = 0; r < rowCount(); ++r) {
        ListRow& row = rows_[static_cast<size_t>(r)];
        row.bold = markOf(r) == RowMark::Match;
        row.ghosted = markOf(r) == RowMark::NoMatch;
        if (!row.colors.empty())
            row.colors[0] = row.ghosted ? listcolor::kSilver : listcolor::kBlack;
    }
    selectRowsWhere([&markOf](int r) { return markOf(r) == RowMark::Match; });
    // The marks belong to the row text (the first column) only, like a list item's own marks.
    emit dataChanged(index(0, 0), index(rowCount() - 1, 0),
                     {Qt::FontRole, Qt::ForegroundRole, kGhostedRole});
}

bool CatalogListModel::isRowSelected(int r) const {
    return r >= 0 && r < rowCount() && rows_[static_cast<size_t>(r)].selected;
}

void CatalogListModel::setRowSelected(int r, bool selected) {
    if (r < 0 || r >= rowCount() || rows_[static_cast<size_t>(r)].selected == selected) return;
    rows_[static_cast<size_t>(r)].selected = selected;
    ++selectionVersion_;
    selection_.announce(r, r);
}

void CatalogListModel::selectAll(bool selected) {
    selectRowsWhere([selected](int) { return selected; });
}

void CatalogListModel::selectRowsWhere(const std::function<bool(int)>& selected) {
    int firstChanged = rowCount();
    int lastChanged = -1;
    for (int r = 0; r < rowCount(); ++r) {
        ListRow& row = rows_[static_cast<size_t>(r)];
        const bool state = selected(r);
        if (row.selected == state) continue;
        row.selected = state;
        firstChanged = std::min(firstChanged, r);
        lastChanged = r;
    }
    if (lastChanged < 0) return;
    ++selectionVersion_;
    selection_.announce(firstChanged, lastChanged);
}

std::vector<int> CatalogListModel::selectedRows() const {
    std::vector<int> result;
    for (int r = 0; r < rowCount(); ++r)
        if (rows_[static_cast<size_t>(r)].selected) result.push_back(r);
    return result;
}

int CatalogListModel::selectedRowCount() const {
    return static_cast<int>(
        std::count_if(rows_.begin(), rows_.end(), [](const ListRow& row) { return row.selected; }));
}

void CatalogListModel::sortRows(int column, Qt::SortOrder order) {
    sortColumn_ = column;
    sortOrder_ = order;
    if (rows_.size() < 2 || column < 0 || column >= columnCount()) return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const auto c = static_cast<size_t>(column);
    std::vector<size_t> order_;
    switch (columns_[c].sortAs) {
        case SortAs::Text:
            order_ = orderByText(rows_, c, order);
            break;
        case SortAs::Plain:
            order_ = orderByPlainText(rows_, c, order);
            break;
        case SortAs::Date:
            order_ = orderByDate(rows_, order);
            break;
    }
    // The selected state travels with its row.
    std::vector<ListRow> sorted;
    sorted.reserve(rows_.size());
    for (size_t from : order_) sorted.push_back(std::move(rows_[from]));
    rows_ = std::move(sorted);
    const QModelIndexList persistent = persistentIndexList();
    changePersistentIndexList(persistent, QModelIndexList(persistent.size()));
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
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
