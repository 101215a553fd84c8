#include "settings/SetupAppearance.h"

#include "base/AppValues.h"
#include "platform/Err.h"
#include "settings/SettingKeys.h"
#include "settings/SetupValues.h"

namespace bravel {

namespace {
constexpr int kUndoForeColor = 3;
constexpr int kUndoBackColor = 4;
constexpr int kUndoFont = 5;
}  // namespace

SetupAppearance::SetupAppearance(AppearanceTarget& target) : target_(target) {
    const MenuLabelLook look = target_.menuLabelLook(MenuLabel::Programm);
    fontName = look.font;
    fontColor = look.foreColor;
    fontBackColor = look.backColor;
    listColor = target_.listColor();
    buttonColor = target_.buttonsColor();
}

void SetupAppearance::showMenuLabel(const QString& menuName) {
    const std::optional<MenuLabel> label = menuLabelForName(menuName);
    if (!label) return;
    const MenuLabelLook look = target_.menuLabelLook(*label);
    fontName = look.font;
    fontColor = look.foreColor;
    fontBackColor = look.backColor;
}

void SetupAppearance::mApplyMenuItemStyle(bool undo, int kind,
                                          const QStringList& selectedMenuNames) {
    const bool font = !undo || kind == kUndoFont;
    const bool fore = !undo || kind == kUndoForeColor;
    const bool back = !undo || kind == kUndoBackColor;
    for (const QString& name : selectedMenuNames)
        mSetMenuLabelStyle(name.trimmed().toLower(), font, fore, back, undo);
}

void SetupAppearance::mSetMenuLabelStyle(const QString& menuName, bool font, bool foreColor,
                                         bool backColor, bool undo) {
    const std::optional<MenuLabel> label = menuLabelForName(menuName);
    if (!label) return;
    const MenuLabelLook loaded = target_.baseline().menuLabels[static_cast<size_t>(*label)];
    if (font) target_.setMenuLabelFont(*label, undo ? loaded.font : fontName.trimmed());
    if (foreColor) target_.setMenuLabelForeColor(*label, undo ? loaded.foreColor : fontColor);
    if (backColor) target_.setMenuLabelBackColor(*label, undo ? loaded.backColor : fontBackColor);
    target_.lineUpMenuLabels();
}

void SetupAppearance::chooseFont(const QString& family, const QStringList& selectedMenuNames) {
    fontName = family;
    mApplyMenuItemStyle(false, 0, selectedMenuNames);
}

void SetupAppearance::chooseFontColor(qint64 bgr, const QStringList& selectedMenuNames) {
    fontColor = bgr;
    mApplyMenuItemStyle(false, 0, selectedMenuNames);
}

void SetupAppearance::chooseFontBackColor(qint64 bgr, const QStringList& selectedMenuNames) {
    fontBackColor = bgr;
    mApplyMenuItemStyle(false, 0, selectedMenuNames);
}

void SetupAppearance::chooseCaptionBackColor(qint64 bgr) {
    gCaptionBackColor = bgr;
    target_.applyCaptionColors();
}

void SetupAppearance::chooseCaptionForeColor(qint64 bgr) {
    gCaptionForeColor = bgr;
    target_.applyCaptionColors();
}

void SetupAppearance::chooseListColor(qint64 bgr) {
    listColor = bgr;
    target_.setListColor(bgr);
}

void SetupAppearance::chooseButtonColor(qint64 bgr) {
    buttonColor = bgr;
    target_.setButtonsColor(bgr);
}

void SetupAppearance::mApplySchemeColors(const QString& schemeKey) {
    const ColorScheme* scheme = colorScheme(schemeKey);
    if (!scheme) return;
    gCaptionBackColor = scheme->back;
    gCaptionForeColor = scheme->fore;
    target_.applySchemeToControls(scheme->back, scheme->fore);
    target_.applyCaptionColors();
    // The scheme recoloured the menu labels and buttons too; the swatches follow them.
    fontName = QStringLiteral("Arial");
    fontColor = scheme->fore;
    fontBackColor = scheme->back;
    buttonColor = target_.buttonsColor();
    for (MenuLabel label :
         {MenuLabel::Programm, MenuLabel::Katalog, MenuLabel::Bearbeiten, MenuLabel::Ausfuehren})
        target_.setMenuLabelFont(label, fontName);
    target_.lineUpMenuLabels();
}

void SetupAppearance::undo(int index, const QStringList& selectedMenuNames) {
    Err.Clear();
    switch (index) {
        case 0: {
            qint64 back = gCaptionBackColor;
            if (readInteger(keys::main_lbl_caption_backcolor, back)) chooseCaptionBackColor(back);
            break;
        }
        case 1:
            chooseListColor(target_.baseline().listColor);
            break;
        case 2:
            chooseButtonColor(target_.baseline().buttonsColor);
            break;
        case kUndoForeColor:
        case kUndoBackColor:
        case kUndoFont:
            mApplyMenuItemStyle(true, index, selectedMenuNames);
            break;
        case 6: {
            qint64 fore = gCaptionForeColor;
            if (readInteger(keys::main_lbl_caption_forecolor, fore)) chooseCaptionForeColor(fore);
            break;
        }
        default:
            break;  // button 7 has nothing to undo
    }
    Err.Clear();
}

}  // namespace bravel
