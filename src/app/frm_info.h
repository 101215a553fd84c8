#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace bravel {

// The about window: product, version and maker, centred over the main window.
class frm_info : public QDialog {
    Q_OBJECT
  public:
    // Loads the window over the given main window; exec() shows it. Closing releases it.
    explicit frm_info(QWidget* mainWindow, QLabel* captionLabel);

    // The label text: an empty line, product, version, an empty line, maker, author, and a
    // closing line break.
    static QString infoText();
    // Where a window of this size sits centred over the main window.
    static QPoint centredOver(const QRect& mainWindow, const QSize& own);
    // Opens the about window modally and releases it when it closes.
    static void showAbout(QWidget* mainWindow, QLabel* captionLabel);

    QLabel* img_icon = nullptr;
    QLabel* lbl_titel = nullptr;
    QPushButton* but_exit = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QWidget* main_;
};

}  // namespace bravel
