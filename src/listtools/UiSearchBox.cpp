#include "listtools/UiSearchBox.h"

#include <QEvent>
#include <QLineEdit>

#include "listtools/ListSearch.h"

namespace bravel {

SearchBox::SearchBox(QLineEdit* box, std::function<void(const QString&)> search)
    : QObject(box), box_(box), search_(std::move(search)) {
    box_->setText(searchPlaceholder());
    // Programmatic changes count too: the first activation types into the box this way.
    connect(box_, &QLineEdit::textChanged, this, [this](const QString& text) { search_(text); });
    box_->installEventFilter(this);
}

void SearchBox::resetToPlaceholder() {
    box_->setText(QString());
    box_->setText(searchPlaceholder());
}

bool SearchBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == box_) {
        if (event->type() == QEvent::FocusIn && box_->text() == searchPlaceholder())
            box_->setText(QString());
        if (event->type() == QEvent::FocusOut && box_->text().isEmpty())
            box_->setText(searchPlaceholder());
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace bravel
