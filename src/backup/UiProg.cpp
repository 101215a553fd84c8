#include "backup/UiProg.h"

#include <QHeaderView>
#include <QTreeView>

namespace bravel {

void gAutoSizeColumns(QTreeView* list, bool byHeader) {
    QHeaderView* header = list->header();
    // Fitting reads rows; on a big catalog a sample of them sets the width.
    header->setResizeContentsPrecision(200);
    for (int column = 0; column < header->count(); ++column) {
        if (header->isSectionHidden(column) || header->sectionSize(column) == 0) continue;
        int width = static_cast<const QAbstractItemView*>(list)->sizeHintForColumn(column);
        if (byHeader) width = std::max(width, header->sectionSizeHint(column));
        list->setColumnWidth(column, width);
    }
}

void gShowSystemCaption(QWidget* window, bool show) {
    const bool visible = window->isVisible();
    window->setWindowFlag(Qt::FramelessWindowHint, !show);
    if (visible) window->show();  // changing the flags hides a shown window
}

}  // namespace bravel
