#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QStandardItemModel>
#include <QTest>
#include <QTreeView>
#include <functional>
#include <memory>

#include "TestSupport.h"
#include "catalog/CatalogListModel.h"
#include "catalog/UiRowListView.h"
#include "listtools/ListSearch.h"

using namespace bravel;

namespace {

constexpr int kRows = 8;
constexpr int kColumns = 3;

QString cellText(int r, int c) {
    return c == 0 ? QStringLiteral("datei %1").arg(r) : QString();
}

// The same rows twice: once in a list with its per-row selection, once in a plain Qt model
// with Qt's own selection model, each in a view of its own.
struct ViewPair {
    CatalogListModel list;
    QStandardItemModel reference{kRows, kColumns};
    UiRowListView listView;
    QTreeView referenceView;

    explicit ViewPair(QAbstractItemView::SelectionMode mode) {
        std::vector<ListColumn> columns(kColumns,
                                        ListColumn{QStringLiteral("Spalte"), 1000, QString()});
        list.setColumns(columns);
        std::vector<ListRow> rows(kRows);
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kColumns; ++c) {
                rows[static_cast<size_t>(r)].cells.push_back(cellText(r, c));
                reference.setItem(r, c, new QStandardItem(cellText(r, c)));
            }
        }
        list.appendRows(std::move(rows));
        listView.showList(list);
        referenceView.setModel(&reference);
        for (QTreeView* view : {static_cast<QTreeView*>(&listView), &referenceView}) {
            view->setRootIsDecorated(false);
            view->setUniformRowHeights(true);
            view->setSelectionMode(mode);
            view->setSelectionBehavior(QAbstractItemView::SelectRows);
            view->resize(400, 300);
            view->show();
        }
        QCoreApplication::processEvents();
    }

    std::vector<int> referenceSelection() const {
        std::vector<int> rows;
        for (int r = 0; r < kRows; ++r)
            if (referenceView.selectionModel()->isRowSelected(r, QModelIndex())) rows.push_back(r);
        return rows;
    }

    // Runs the same input on both views.
    void both(const std::function<void(QTreeView&)>& input) {
        input(listView);
        input(referenceView);
        QCoreApplication::processEvents();
    }
};

QPoint rowPoint(const QTreeView& view, int row) {
    return view.visualRect(view.model()->index(row, 1)).center();
}

void click(QTreeView& view, int row, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseClick(view.viewport(), Qt::LeftButton, modifiers, rowPoint(view, row));
}

void sendMouse(QTreeView& view, QEvent::Type type, int row, Qt::MouseButtons buttons) {
    const QPoint at = rowPoint(view, row);
    QMouseEvent event(type, at, view.viewport()->mapToGlobal(at), Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &event);
}

void drag(QTreeView& view, int from, const std::vector<int>& through) {
    sendMouse(view, QEvent::MouseButtonPress, from, Qt::LeftButton);
    for (int row : through) sendMouse(view, QEvent::MouseMove, row, Qt::LeftButton);
    sendMouse(view, QEvent::MouseButtonRelease, through.back(), Qt::NoButton);
}

}  // namespace

// Whatever a person does with mouse and keyboard selects the rows that Qt's own selection model
// would have selected.
TEST(RowSelectionTest, MouseAndKeysSelectAsWithQtsOwnSelection) {
    struct Step {
        const char* what;
        std::function<void(QTreeView&)> input;
    };
    const std::vector<Step> extended = {
        {"click", [](QTreeView& v) { click(v, 1); }},
        {"shift-click extends", [](QTreeView& v) { click(v, 4, Qt::ShiftModifier); }},
        {"ctrl-click takes one out", [](QTreeView& v) { click(v, 2, Qt::ControlModifier); }},
        {"ctrl-shift-click adds a band",
         [](QTreeView& v) { click(v, 6, Qt::ControlModifier | Qt::ShiftModifier); }},
        {"click on a selected row keeps only it", [](QTreeView& v) { click(v, 3); }},
        {"drag down and back",
         [](QTreeView& v) {
             drag(v, 1, {5, 3});
         }},
        {"ctrl+A", [](QTreeView& v) { QTest::keyClick(&v, Qt::Key_A, Qt::ControlModifier); }},
        {"shift+down from the current row",
         [](QTreeView& v) { QTest::keyClick(&v, Qt::Key_Down, Qt::ShiftModifier); }},
    };
    const std::vector<Step> multi = {
        {"click", [](QTreeView& v) { click(v, 1); }},
        {"second click adds", [](QTreeView& v) { click(v, 4); }},
        {"click again takes out", [](QTreeView& v) { click(v, 1); }},
        {"drag over rows",
         [](QTreeView& v) {
             drag(v, 2, {6, 5});
         }},
        {"space toggles the current row", [](QTreeView& v) { QTest::keyClick(&v, Qt::Key_Space); }},
        {"ctrl+A", [](QTreeView& v) { QTest::keyClick(&v, Qt::Key_A, Qt::ControlModifier); }},
        {"click after all", [](QTreeView& v) { click(v, 0); }},
    };
    for (const auto& [mode, steps] :
         {std::make_pair(QAbstractItemView::ExtendedSelection, extended),
          std::make_pair(QAbstractItemView::MultiSelection, multi)}) {
        ViewPair views(mode);
        for (const Step& step : steps) {
            views.both(step.input);
            EXPECT_EQ(views.list.selectedRows(), views.referenceSelection())
                << "mode " << mode << ", " << step.what;
        }
    }
}

TEST(RowSelectionTest, SelectedRowsAreDrawnSelectedAndCheckBoxesFollow) {
    ViewPair views(QAbstractItemView::MultiSelection);
    views.list.setRowSelected(2, true);
    QCoreApplication::processEvents();
    const QImage picture = views.listView.viewport()->grab().toImage();
    const QColor highlight = views.listView.palette().color(QPalette::Active, QPalette::Highlight);
    const QColor base = views.listView.palette().color(QPalette::Active, QPalette::Base);
    // A point in the empty second column, away from text and check box.
    EXPECT_EQ(picture.pixelColor(rowPoint(views.listView, 2)), highlight);
    EXPECT_EQ(picture.pixelColor(rowPoint(views.listView, 3)), base);
    EXPECT_EQ(views.list.data(views.list.index(2, 0), Qt::CheckStateRole).toInt(), Qt::Checked);

    // Ticking a check box selects its row; the view repaints it.
    views.list.setData(views.list.index(5, 0), Qt::Checked, Qt::CheckStateRole);
    QCoreApplication::processEvents();
    EXPECT_EQ(views.list.selectedRows(), (std::vector<int>{2, 5}));
    EXPECT_EQ(views.listView.viewport()->grab().toImage().pixelColor(rowPoint(views.listView, 5)),
              highlight);
}

TEST(RowSelectionTest, SelectionTravelsWithItsRowsAndSurvivesNewColumns) {
    ViewPair views(QAbstractItemView::MultiSelection);
    CatalogListModel& list = views.list;
    list.setRowSelected(1, true);  // "datei 1"
    list.setRowSelected(6, true);  // "datei 6"
    list.sortRows(0, Qt::DescendingOrder);
    std::vector<QString> selectedTexts;
    for (int r : list.selectedRows()) selectedTexts.push_back(list.cell(r, 0));
    EXPECT_EQ(selectedTexts, (std::vector<QString>{"datei 6", "datei 1"}));

    list.addColumn(ListColumn{QStringLiteral("PC1"), 500, QString()});
    EXPECT_EQ(list.selectedRowCount(), 2) << "a host column added during a run keeps the selection";
    list.selectionModel()->clear();
    EXPECT_EQ(list.selectedRowCount(), 0);
    list.selectAll(true);
    list.clearRows();
    EXPECT_EQ(list.selectedRowCount(), 0);
}

TEST(RowSelectionTest, SearchSelectsEveryMatchAmongManyRows) {
    CatalogListModel list;
    list.setColumns({ListColumn{QStringLiteral("Eingangsdatei"), 1000, QString()}});
    constexpr int rows = 20000;
    std::vector<ListRow> many(rows);
    for (int r = 0; r < rows; ++r)
        many[static_cast<size_t>(r)].cells = {r % 2 ? QStringLiteral("/a/Projekte/%1").arg(r)
                                                    : QStringLiteral("/a/b/%1").arg(r)};
    list.appendRows(std::move(many));
    UiRowListView view;
    view.setUniformRowHeights(true);
    view.showList(list);
    view.show();

    gSearchList(list, QStringLiteral("projekte"), false);
    QCoreApplication::processEvents();
    const std::vector<int> selected = list.selectedRows();
    ASSERT_EQ(selected.size(), static_cast<size_t>(rows / 2));
    EXPECT_EQ(selected.front(), 1);
    EXPECT_EQ(selected.back(), rows - 1);
    EXPECT_TRUE(list.rowBold(1));
    EXPECT_TRUE(list.rowGhosted(0));

    gSearchList(list, QString(), false);
    EXPECT_EQ(list.selectedRowCount(), 0);
    EXPECT_FALSE(list.rowGhosted(0));
}
