#pragma once

#include <QObject>
#include <functional>

class QLineEdit;

namespace bravel {

// The behaviour of a search box txt_Suche shared by the main window and the scanner:
// it starts with the placeholder, every change of its text runs search(text), gaining the focus
// empties a placeholder and losing it puts the placeholder back into an empty box.
class SearchBox : public QObject {
    Q_OBJECT
  public:
    SearchBox(QLineEdit* box, std::function<void(const QString&)> search);

    // Empties the box, then gives it the placeholder: every row back to normal.
    void resetToPlaceholder();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLineEdit* box_;
    std::function<void(const QString&)> search_;
};

}  // namespace bravel
