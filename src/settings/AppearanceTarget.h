#pragma once

#include <QString>
#include <array>

namespace bravel {

// The four menu labels of the main window, in the order their load-time looks are kept.
enum class MenuLabel { Programm = 0, Katalog = 1, Bearbeiten = 2, Ausfuehren = 3 };

struct MenuLabelLook {
    QString font;
    qint64 foreColor = 0;  // 0x00BBGGRR
    qint64 backColor = 0;
};

// What the main window read at load (or took over when the setup was last confirmed): the values
// the setup window's undo and the apply-setup step fall back to.
struct BaselineAppearance {
    std::array<MenuLabelLook, 4> menuLabels;  // indexed by MenuLabel
    qint64 listColor = 0;
    qint64 buttonsColor = 0;
};

// The main window as the setup window and the apply-setup step see it: they change its look live
// without knowing its widgets. The main window's adapter implements it.
class AppearanceTarget {
  public:
    virtual ~AppearanceTarget() = default;

    virtual BaselineAppearance baseline() const = 0;
    virtual void setBaseline(const BaselineAppearance& baseline) = 0;

    virtual MenuLabelLook menuLabelLook(MenuLabel label) const = 0;
    virtual void setMenuLabelFont(MenuLabel label, const QString& family) = 0;
    virtual void setMenuLabelForeColor(MenuLabel label, qint64 bgr) = 0;
    virtual void setMenuLabelBackColor(MenuLabel label, qint64 bgr) = 0;
    // Sizes the four labels to their text and places them side by side from the left.
    virtual void lineUpMenuLabels() = 0;

    // Gives the title label, the window-button labels and the status labels the program-wide
    // caption colours gCaptionBackColor and gCaptionForeColor.
    virtual void applyCaptionColors() = 0;
    // The list background; the overlay takes it as its background and the caption text colour
    // as its text colour.
    virtual qint64 listColor() const = 0;
    virtual void setListColor(qint64 bgr) = 0;
    // Every command button and check box except chk_SearchInAllCols.
    virtual qint64 buttonsColor() const = 0;
    virtual void setButtonsColor(qint64 bgr) = 0;
    // A colour scheme: every command button, check box and label except chk_SearchInAllCols takes
    // back as its background; the labels also take fore as their text colour.
    virtual void applySchemeToControls(qint64 back, qint64 fore) = 0;

    virtual bool fullRowSelect() const = 0;
    virtual void setFullRowSelect(bool on) = 0;

    // Used when the setup window has closed.
    virtual void fitListColumns() = 0;
    virtual void focusNewEntryShortcut() = 0;
};

}  // namespace bravel
