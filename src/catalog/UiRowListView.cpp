#include "catalog/UiRowListView.h"

#include <QAccessible>
#include <QEvent>
#include <QFontMetrics>
#include <QStyledItemDelegate>
#include <algorithm>

#include "catalog/CatalogListModel.h"

namespace bravel {
namespace {

// Gives the cells of selected rows the selected look.
class RowSelectionDelegate : public QStyledItemDelegate {
  public:
    RowSelectionDelegate(const CatalogListModel& list, QObject* parent)
        : QStyledItemDelegate(parent), list_(list) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        // The font's full height with a pixel above the accents of capitals ("Ü") and two below
        // for the descenders and the grid line, which the style's own hint leaves no room for.
        size.setHeight(std::max(size.height(), QFontMetrics(option.font).height() + 3));
        return size;
    }

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (list_.isRowSelected(index.row())) option->state |= QStyle::State_Selected;
    }

  private:
    const CatalogListModel& list_;
};

}  // namespace

UiRowListView::UiRowListView(QWidget* parent) : QTreeView(parent) {}

void UiRowListView::showList(CatalogListModel& list) {
    list_ = &list;
    setModel(&list);
    setSelectionModel(list.selectionModel());
    setItemDelegate(new RowSelectionDelegate(list, this));
}

void UiRowListView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                const QList<int>& roles) {
    if (!uniformRowHeights() || topLeft.row() == bottomRight.row()) {
        QTreeView::dataChanged(topLeft, bottomRight, roles);
        return;
    }
    // The item views look at every cell of a changed band for its place and height; a search
    // changes the band of all rows. Rows of one height keep their places, so a repaint of what is
    // shown is all a band needs (these lists have no editors to refresh).
    viewport()->update();
#if QT_CONFIG(accessibility)
    if (QAccessible::isActive()) {
        QAccessibleTableModelChangeEvent event(this, QAccessibleTableModelChangeEvent::DataChanged);
        event.setFirstRow(topLeft.row());
        event.setFirstColumn(topLeft.column());
        event.setLastRow(bottomRight.row());
        event.setLastColumn(bottomRight.column());
        QAccessible::updateAccessibility(&event);
    }
#endif
}

QItemSelectionModel::SelectionFlags UiRowListView::selectionCommand(const QModelIndex& index,
                                                                    const QEvent* event) const {
    QItemSelectionModel::SelectionFlags command = QTreeView::selectionCommand(index, event);
    if (!list_ || !(command & QItemSelectionModel::Toggle)) return command;
    // A toggle becomes a plain select or deselect, as QAbstractItemView makes of it when its
    // selection model can answer; a drag goes on with what its press decided.
    if (!event || event->type() != QEvent::MouseMove)
        dragDecision_ = index.isValid() && list_->isRowSelected(index.row())
                            ? QItemSelectionModel::Deselect
                            : QItemSelectionModel::Select;
    return (command & ~QItemSelectionModel::Toggle) | dragDecision_;
}

}  // namespace bravel
