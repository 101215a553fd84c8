#include "app/frm_info.h"

#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStringList>
#include <QTimer>
#include <QVBoxLayout>

#include "base/AppValues.h"
#include "platform/ProgramResources.h"

namespace bravel {

frm_info::frm_info(QWidget* mainWindow, QLabel* captionLabel)
    : QDialog(mainWindow), main_(mainWindow) {
    setObjectName(QStringLiteral("frm_info"));
    setWindowTitle(QStringLiteral("Information"));
    setModal(true);
    setAttribute(Qt::WA_DeleteOnClose);

    lbl_titel = new QLabel(this);
    lbl_titel->setObjectName(QStringLiteral("lbl_titel"));
    lbl_titel->setAlignment(Qt::AlignCenter);
    lbl_titel->setTextFormat(Qt::PlainText);
    lbl_titel->setMargin(12);
    if (captionLabel) {
        // The caption colours of the main window, whatever they are at the moment.
        QPalette colours = lbl_titel->palette();
        colours.setColor(QPalette::Window, captionLabel->palette().color(QPalette::Window));
        colours.setColor(QPalette::WindowText, captionLabel->palette().color(QPalette::WindowText));
        lbl_titel->setPalette(colours);
        lbl_titel->setAutoFillBackground(true);
    }
    lbl_titel->setText(infoText());

    img_icon = new QLabel(this);
    img_icon->setObjectName(QStringLiteral("img_icon"));
    img_icon->setPixmap(programIcon().pixmap(48, 48));

    but_exit = new QPushButton(QStringLiteral("OK"), this);
    but_exit->setObjectName(QStringLiteral("but_exit"));
    connect(but_exit, &QPushButton::clicked, this, &QDialog::close);

    auto* root = new QVBoxLayout(this);
    root->addWidget(img_icon, 0, Qt::AlignHCenter);
    root->addWidget(lbl_titel, 1);
    root->addWidget(but_exit, 0, Qt::AlignHCenter);
    adjustSize();
    setFixedSize(sizeHint().expandedTo(QSize(280, 0)));
    if (main_) move(centredOver(main_->geometry(), size()));
}

QString frm_info::infoText() {
    const QStringList lines{QString(),
                            gProductName,
                            QStringLiteral("Version: ") + gVersion,
                            QString(),
                            QStringLiteral("ein Programm von ") + gCompanyName,
                            gAuthorName,
                            QString()};
    return lines.join(gCrLf);
}

QPoint frm_info::centredOver(const QRect& mainWindow, const QSize& own) {
    return QPoint(mainWindow.x() + mainWindow.width() / 2 - own.width() / 2,
                  mainWindow.y() + mainWindow.height() / 2 - own.height() / 2);
}

void frm_info::showAbout(QWidget* mainWindow, QLabel* captionLabel) {
    auto* window = new frm_info(mainWindow, captionLabel);
    window->exec();
}

void frm_info::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The window system may have placed the dialog itself; it belongs over the main window.
    if (main_) move(centredOver(main_->geometry(), size()));
    but_exit->setFocus();
}

}  // namespace bravel
