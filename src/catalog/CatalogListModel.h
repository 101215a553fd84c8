#pragma once

#include <QAbstractTableModel>
#include <QDateTime>
#include <QIcon>
#include <QItemSelectionModel>
#include <QStringList>
#include <functional>
#include <map>
#include <vector>

namespace bravel {

// Cell colours as 0x00BBGGRR.
namespace listcolor {
constexpr quint32 kBlack = 0;
constexpr quint32 kRed = 255;
constexpr quint32 kGreen = 32768;      // 0x8000
constexpr quint32 kSilver = 0xC0C0C0;  // a row that the search did not match
}  // namespace listcolor

// Column indexes of the main list (0-based; a row's "sub-item k" is column k).
namespace col {
constexpr int kSource = 0;      // "Eingangsdatei"
constexpr int kFolder = 1;      // "Sicherungspfad"
constexpr int kSize = 2;        // "KByte"
constexpr int kChanged = 3;     // "Geändert"
constexpr int kStatus = 4;      // "Status"
constexpr int kSourceAttr = 5;  // "OAttr"
constexpr int kCopyAttr = 6;    // "ZAttr"
constexpr int kId = 7;          // hidden: the record's ID
constexpr int kHostStatus = 8;  // hidden: "Host und Datum;", the raw Computerstatus
constexpr int kFixedColumns = 9;
}  // namespace col

// How a column's rows sort: texts by the user's locale, ignoring case; plain texts as they stand
// (the right-aligned sizes); dates by the rows' sortDate.
enum class SortAs : char { Text, Plain, Date };

struct ListColumn {
    QString header;
    double widthTwips = 0;
    QString headerIcon;  // key of the header picture ("table", "field", "prop", "clock", "status",
                         // "pc")
    SortAs sortAs = SortAs::Text;
};

struct ListRow {
    QString key;  // position in gCatalogFiles followed by "a": "3a"
    // The record's own ID. The hidden ID cell only shows it: a cell can be written by others
    // (a computer column of the same header), this cannot.
    qint64 recordId = 0;
    // The date a SortAs::Date column sorts by; invalid ("n/a") sorts before every date.
    QDateTime sortDate;
    std::vector<QString> cells;
    std::vector<quint32> colors;
    bool tag = false;      // the remembered chosen state of the click toggle
    bool bold = false;     // search mark: the row matched
    bool ghosted = false;  // search mark: the row did not match (the view's greyed state)
    bool selected = false;
};

// The marks the search gives a row.
enum class RowMark : char { Normal, Match, NoMatch };

class CatalogListModel;

// The selection model of a CatalogListModel. The selection is kept as a flag in each row, not as
// ranges: a search that selects every other row of 100,000 would otherwise hold 50,000 ranges of
// persistent indexes, costing megabytes, and every painted cell would look through all of them.
// Commands arrive here as with any selection model and select what Qt's own would. The base
// class's ranges stay empty, so its isSelected() answers false: UiRowListView shows and edits
// the selection, and code asks the model.
class RowSelectionModel : public QItemSelectionModel {
    Q_OBJECT
  public:
    explicit RowSelectionModel(CatalogListModel& model);

    void select(const QModelIndex& index, QItemSelectionModel::SelectionFlags command) override;
    void select(const QItemSelection& selection,
                QItemSelectionModel::SelectionFlags command) override;
    void clear() override;
    void reset() override;

    // Tells the views that the selected state of rows first to last may have changed.
    void announce(int first, int last);

  private:
    CatalogListModel& model_;
    // The selection before the last command. A command with the Current flag replaces the last
    // command's part instead of adding to it (a drag redraws its band as the mouse moves on);
    // valid only while nothing else has changed the selection since.
    std::vector<char> beforeLast_;
    quint64 versionAfterLast_ = 0;
};

// The rows of a list as a model: key, cell texts, cell colours, tag and selected state. The
// check box of a row shows its selected state.
class CatalogListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit CatalogListModel(QObject* parent = nullptr);

    // Model interface.
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    RowSelectionModel* selectionModel() { return &selection_; }

    // The greyed state of a row, for views that draw it.
    static constexpr int kGhostedRole = Qt::UserRole + 1;

    // Columns.
    void setColumns(std::vector<ListColumn> columns);
    const std::vector<ListColumn>& columns() const { return columns_; }
    // The first column whose header equals text exactly, or -1.
    int findColumn(const QString& header) const;
    int addColumn(const ListColumn& column);
    // The column of a computer's backup dates, among the columns after the fixed ones; added at
    // the end when there is none. -1 for an empty name.
    int hostColumn(const QString& host);
    void removeColumnsFrom(int first);  // removes every column from index first on
    void setColumnWidth(int column, double twips);
    void setColumnHeader(int column, const QString& header);  // rows and selection stay
    // The pictures the headings show, by the columns' picture keys (the window's header picture
    // list); a column whose key has none shows no picture.
    void setHeaderPictures(std::map<QString, QIcon> pictures);

    // Rows.
    void clearRows();
    // Appends many rows at once (the fill builds them first, then hands them over).
    void appendRows(std::vector<ListRow>&& rows);
    int appendRow(ListRow row);
    // Puts new cells and colours into row r; its selection, tag and search marks stay.
    void replaceRow(int r, ListRow row);
    const ListRow& row(int r) const { return rows_[static_cast<size_t>(r)]; }
    qint64 recordId(int r) const { return rows_[static_cast<size_t>(r)].recordId; }
    QString cell(int r, int c) const;
    quint32 cellColor(int r, int c) const;
    void setCell(int r, int c, const QString& text);
    void setCellColor(int r, int c, quint32 color);
    void setRowColor(int r, quint32 color);  // every cell
    bool rowTag(int r) const { return rows_[static_cast<size_t>(r)].tag; }
    void setRowTag(int r, bool tag) { rows_[static_cast<size_t>(r)].tag = tag; }

    // Search marks of the row text (the first column). Normal: not bold, not greyed, black, not
    // selected; Match: bold and selected; NoMatch: greyed, silver, not selected. marks holds one
    // mark per row; the views hear of all rows at once.
    void setRowMarks(const std::vector<RowMark>& marks);
    bool rowBold(int r) const { return rows_[static_cast<size_t>(r)].bold; }
    bool rowGhosted(int r) const { return rows_[static_cast<size_t>(r)].ghosted; }

    // Selection.
    bool isRowSelected(int r) const;
    void setRowSelected(int r, bool selected);
    void selectAll(bool selected);
    // Every row r takes the state selected(r); the views hear of it once.
    void selectRowsWhere(const std::function<bool(int)>& selected);
    int selectedRowCount() const;
    std::vector<int> selectedRows() const;  // ascending
    // Counts the changes of the selection.
    quint64 selectionVersion() const { return selectionVersion_; }

    // Sorting by the column's SortAs, stable. The selection follows its rows.
    void sortRows(int column, Qt::SortOrder order);
    int sortColumn() const { return sortColumn_; }
    Qt::SortOrder sortOrder() const { return sortOrder_; }

    // The numeric value of a key's leading digits ("3a" gives 3), 0 when there are none.
    static int indexFromKey(const QString& key);

  private:
    std::vector<ListColumn> columns_;
    std::map<QString, QIcon> headerPictures_;
    std::vector<ListRow> rows_;
    RowSelectionModel selection_;
    quint64 selectionVersion_ = 1;
    int sortColumn_ = 0;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

}  // namespace bravel
