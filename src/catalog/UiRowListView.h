#pragma once

#include <QTreeView>

namespace bravel {

class CatalogListModel;

// A view of a CatalogListModel with its selection. The model keeps its selection in its rows (see
// RowSelectionModel), out of sight of QAbstractItemView's own checks: this view draws selected
// rows selected, and its mouse and keyboard commands select or deselect by what the model holds
// where QAbstractItemView would ask its selection model.
class UiRowListView : public QTreeView {
    Q_OBJECT
  public:
    explicit UiRowListView(QWidget* parent = nullptr);

    // Shows list with its selection model.
    void showList(CatalogListModel& list);

  protected:
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;
    QItemSelectionModel::SelectionFlags selectionCommand(
        const QModelIndex& index, const QEvent* event = nullptr) const override;

  private:
    CatalogListModel* list_ = nullptr;
    // What a press decided for its row, which a drag that follows applies to the rows it passes.
    mutable QItemSelectionModel::SelectionFlag dragDecision_ = QItemSelectionModel::Select;
};

}  // namespace bravel
