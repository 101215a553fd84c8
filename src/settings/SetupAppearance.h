#pragma once

#include <QString>
#include <QStringList>

#include "settings/AppearanceTarget.h"

namespace bravel {

// The appearance side of the setup window: the values its font label and colour swatches show,
// and the changes they make live on the main window. The window shows these values and passes
// the texts of the selected menu entries.
class SetupAppearance {
  public:
    explicit SetupAppearance(AppearanceTarget& target);

    // The swatches and the font label.
    QString fontName;
    qint64 fontColor = 0;
    qint64 fontBackColor = 0;
    qint64 listColor = 0;
    qint64 buttonColor = 0;
    // The caption swatches show gCaptionBackColor and gCaptionForeColor.

    // A menu entry was clicked: show that label's font and colours.
    void showMenuLabel(const QString& menuName);

    // Kinds of undo: 3 text colour, 4 background, 5 font. Without undo all three are applied.
    void mApplyMenuItemStyle(bool undo, int kind, const QStringList& selectedMenuNames);
    void mSetMenuLabelStyle(const QString& menuName, bool font, bool foreColor, bool backColor,
                            bool undo);

    void chooseFont(const QString& family, const QStringList& selectedMenuNames);
    void chooseFontColor(qint64 bgr, const QStringList& selectedMenuNames);
    void chooseFontBackColor(qint64 bgr, const QStringList& selectedMenuNames);
    void chooseCaptionBackColor(qint64 bgr);
    void chooseCaptionForeColor(qint64 bgr);
    void chooseListColor(qint64 bgr);
    void chooseButtonColor(qint64 bgr);
    void mApplySchemeColors(const QString& schemeKey);

    // Undo button 0 to 7 (7 does nothing).
    void undo(int index, const QStringList& selectedMenuNames);

  private:
    AppearanceTarget& target_;
};

}  // namespace bravel
