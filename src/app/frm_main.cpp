#include "app/frm_main.h"

#include <QLabel>
#include <QVBoxLayout>

#include "app/AppValues.h"
#include "platform/Colors.h"
#include "platform/Twips.h"

namespace bravel {

frm_main::frm_main(QWidget* parent) : QWidget(parent, Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frm_main"));
    lbl_caption = new QLabel(QStringLiteral(" ") + gProductName + QLatin1Char(' ') + gVersion, this);
    lbl_caption->setObjectName(QStringLiteral("lbl_caption"));
    lbl_caption->setAutoFillBackground(true);
    QPalette colours = lbl_caption->palette();
    colours.setColor(QPalette::Window, colorFromBgr(gCaptionBackColor));
    colours.setColor(QPalette::WindowText, colorFromBgr(gCaptionForeColor));
    lbl_caption->setPalette(colours);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lbl_caption);
    layout->addStretch();
    resize(twipsToPixels(9345), twipsToPixels(5700));
}

}  // namespace bravel
