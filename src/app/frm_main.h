#pragma once

#include <QWidget>

class QLabel;

namespace bravel {

// The main window.
class frm_main : public QWidget {
    Q_OBJECT
public:
    explicit frm_main(QWidget* parent = nullptr);

    QLabel* lbl_caption;
};

}  // namespace bravel
